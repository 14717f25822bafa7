#include "app/outdirdialog.h"

#include <sys/stat.h>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <cerrno>
#include <cstring>

#include "app/readtofilejob.h"
#include "platform/shell/usermessage.h"
#include "settings/preferences.h"
#include "settings/widgetplacement.h"

namespace {

// The files a reading to file makes, in every output format; matched without regard to case.
QStringList SoundFilePatterns() {
    QStringList patterns;
    for (const uint8_t format :
         {OutputFormat::Wav, OutputFormat::Mp3, OutputFormat::Vorbis, OutputFormat::Opus}) {
        patterns << QLatin1Char('*') + ReadToFileJob::Suffix(format);
    }
    return patterns;
}
const QSize kDesignedSize(560, 360);
constexpr mode_t kFolderMode = 0777;  // narrowed by the user's umask

}  // namespace

TOutDirDialog::TOutDirDialog(TPreferences& prefs, QWidget* parent)
    : QDialog(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("OutDirDialog"));
    setWindowTitle(QStringLiteral("Select Output Directory"));
    setModal(true);

    // Folders only; the model reads them on its own thread, so a slow or unreadable folder
    // never holds the dialog up.
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot | QDir::Hidden);
    m_folders->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setAccessibleName(QStringLiteral("Folders"));
    DirectoryListBox1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column) {
        DirectoryListBox1->hideColumn(column);  // size, type and date say nothing of a folder
    }
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    DirectoryListBox1->header()->setStretchLastSection(false);

    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setAccessibleName(QStringLiteral("Sound files in the folder"));
    FileListBox1->setSelectionMode(QAbstractItemView::NoSelection);

    auto* directoryLabel = new QLabel(QStringLiteral("Current Directory:"), this);
    m_currentDirectory = new QLabel(this);
    m_currentDirectory->setObjectName(QStringLiteral("DirLabel"));
    m_currentDirectory->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path is shortened in the middle rather than widening the dialog.
    m_currentDirectory->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    NewFolderBtn = new QPushButton(QStringLiteral("New Folder"), this);
    NewFolderBtn->setObjectName(QStringLiteral("NewFolderBtn"));
    NewFolderBtn->setAutoDefault(false);  // Enter keeps meaning OK
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* layout = new QGridLayout(this);
    auto* pathLine = new QHBoxLayout;
    pathLine->addWidget(directoryLabel);
    pathLine->addWidget(m_currentDirectory, 1);
    layout->addLayout(pathLine, 0, 0, 1, 2);
    auto* foldersLabel = new QLabel(QStringLiteral("Folders:"), this);
    foldersLabel->setBuddy(DirectoryListBox1);
    auto* filesLabel = new QLabel(QStringLiteral("Sound files:"), this);
    filesLabel->setBuddy(FileListBox1);
    layout->addWidget(foldersLabel, 1, 0);
    layout->addWidget(filesLabel, 1, 1);
    layout->addWidget(DirectoryListBox1, 2, 0);
    layout->addWidget(FileListBox1, 2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(NewFolderBtn);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TOutDirDialog::DirectoryChanged);
    // The folders above the selected one are read one by one and then sorted; each moves the
    // list, so it is kept on the selected folder until the user moves it.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, &TOutDirDialog::ScheduleReveal);
    connect(m_folders, &QFileSystemModel::layoutChanged, this, &TOutDirDialog::ScheduleReveal);
    DirectoryListBox1->installEventFilter(this);
    DirectoryListBox1->viewport()->installEventFilter(this);
    DirectoryListBox1->verticalScrollBar()->installEventFilter(this);
    connect(NewFolderBtn, &QPushButton::clicked, this, &TOutDirDialog::NewFolderClick);
    connect(OKBtn, &QPushButton::clicked, this, &TOutDirDialog::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    resize(kDesignedSize);
    RestoreFormPlacement(this);
    SelectDirectory(m_prefs.OUT_Directory);
}

QString TOutDirDialog::SelectedDirectory() const {
    const QModelIndex current = DirectoryListBox1->currentIndex();
    return current.isValid() ? m_folders->filePath(current) : QString();
}

void TOutDirDialog::SelectDirectory(const QString& folder) {
    // A folder that is gone opens the nearest one above it, or the home folder.
    QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder.trimmed()));
    while (!path.isEmpty() && !QFileInfo(path).isDir()) {
        const QString above = QFileInfo(path).path();
        path = above == path ? QString() : above;
    }
    if (path.isEmpty() || !QFileInfo(path).isAbsolute()) {
        path = QDir::homePath();
    }
    const QModelIndex index = m_folders->index(path);
    DirectoryListBox1->setCurrentIndex(index);
    DirectoryListBox1->expand(index);
    m_revealing = true;
    RevealSelected();
}

void TOutDirDialog::ScheduleReveal() {
    if (m_revealing) {
        QTimer::singleShot(0, this, [this] {
            if (m_revealing) {
                RevealSelected();
            }
        });
    }
}

void TOutDirDialog::RevealSelected() {
    for (QModelIndex above = DirectoryListBox1->currentIndex().parent(); above.isValid();
         above = above.parent()) {
        DirectoryListBox1->expand(above);
    }
    DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex(),
                                QAbstractItemView::PositionAtCenter);
    // The names start at the left, with the lines that show their nesting.
    DirectoryListBox1->horizontalScrollBar()->setValue(0);
}

bool TOutDirDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            m_revealing = false;  // the user takes over the list
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void TOutDirDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RevealSelected();
}

QStringList TOutDirDialog::ListedFiles() const {
    QStringList files;
    for (int i = 0; i < FileListBox1->count(); ++i) {
        files << FileListBox1->item(i)->text();
    }
    return files;
}

void TOutDirDialog::DirectoryChanged() {
    FileListBox1->clear();
    const QString folder = SelectedDirectory();
    if (!folder.isEmpty()) {
        // An unreadable folder lists nothing.
        FileListBox1->addItems(
            QDir(folder).entryList(SoundFilePatterns(), QDir::Files | QDir::Readable, QDir::Name));
    }
    OKBtn->setEnabled(!folder.isEmpty());
    NewFolderBtn->setEnabled(!folder.isEmpty());
    ShowCurrentDirectory();
}

void TOutDirDialog::ShowCurrentDirectory() {
    const QString folder = QDir::toNativeSeparators(SelectedDirectory());
    m_currentDirectory->setToolTip(folder);
    m_currentDirectory->setText(m_currentDirectory->fontMetrics().elidedText(
        folder, Qt::ElideMiddle, m_currentDirectory->width()));
}

void TOutDirDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ShowCurrentDirectory();
}

void TOutDirDialog::NewFolderClick() {
    const QString parent = SelectedDirectory();
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("New Folder"),
                              QStringLiteral("Name of the new folder in ") +
                                  QDir::toNativeSeparators(parent) + QLatin1Char(':'),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok || name.isEmpty()) {
        return;
    }
    const QString folder = QDir(parent).filePath(name);
    QString problem;
    if (name.contains(QLatin1Char('/'))) {
        problem = QStringLiteral("a folder name cannot contain /");
    } else if (::mkdir(QFile::encodeName(folder).constData(), kFolderMode) != 0) {
        problem = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!problem.isEmpty()) {
        UserMessage::showError(QStringLiteral("Cannot create the folder ") +
                               QDir::toNativeSeparators(folder) + QStringLiteral(": ") + problem);
        return;
    }
    SelectDirectory(folder);
    DirectoryListBox1->setFocus();
}

void TOutDirDialog::OKBtnClick() {
    m_prefs.OUT_Directory = QDir::toNativeSeparators(SelectedDirectory());
    accept();
}

void TOutDirDialog::done(int result) {
    SaveFormPlacement(this);
    QDialog::done(result);
}
