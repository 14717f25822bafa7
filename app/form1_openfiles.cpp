// Opening text files and documents into the article list: small files are loaded, large ones
// become file articles that are read from disk piece by piece.
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QThread>
#include <atomic>
#include <cstdlib>
#include <memory>

#include "app/form1.h"
#include "articles/articletext.h"
#include "articles/documentarticles.h"
#include "articles/documenttextfile.h"
#include "articles/getfilesize.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "documents/documentreader.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"
#include "text/textfile.h"

namespace {

constexpr int64_t kLargeFile = 5120;  // from this size on a file is read from disk, not loaded

// How long the program's end waits for a document being read to stop: it ends within 2 s of
// being asked, whatever it was opening.
constexpr int kExitWaitMs = 1500;

// What the reading thread shares with the window; the thread keeps it alive should the program
// end without it.
struct DocumentReading {
    std::atomic<bool> cancel{false};
    Document document;
};

// Reads a document on a worker thread while the window goes on answering. Escape stops the
// reading at its next piece, page or chapter (stopped is then set), and so does the program's
// end.
Document ReadWhileResponsive(QWidget* window, const QString& file, bool* stopped) {
    const auto reading = std::make_shared<DocumentReading>();
    auto worker = std::unique_ptr<QThread>(QThread::create(
        [reading, file] { reading->document = DocumentReader::read(file, &reading->cancel); }));
    worker->setObjectName(QStringLiteral("document reader"));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QShortcut escape(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(&escape, &QShortcut::activated, &loop, [reading, stopped] {
        *stopped = true;
        reading->cancel = true;
    });
    worker->start();
    loop.exec();  // also ends when the program quits
    reading->cancel = true;
    if (!worker->wait(kExitWaitMs)) {
        // Only the program's end leaves the loop before the reading has ended, and everything
        // is saved by then: a page still inside Qt's layout is not waited for.
        UtilsClass::WriteDebugLine(file + QStringLiteral(" was still being read at the end"));
        std::_Exit(EXIT_SUCCESS);
    }
    return reading->document;
}

// The local files a drag carries; none when it carries anything else.
QStringList DroppedFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) {
            return {};
        }
        files << url.toLocalFile();
    }
    return files;
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    if (m_prefs->ML_ListMode != 1) {
        files = files.mid(0, 1);  // one article at a time, as the open dialog takes one file
    }
    // Opened once the drop is over, so that the dragging program is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, files] { OpenTextFiles(files); }, Qt::QueuedConnection);
}

void TForm1::ReadFileBtnClick() {
    QFileDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Open Text File"));
    dialog.setNameFilters(DocumentReader::dialogFilters());
    dialog.setFileMode(m_prefs->ML_ListMode == 1 ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    dialog.setDirectory(m_prefs->OpenDlgInitialDir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QStringList files = dialog.selectedFiles();
    m_prefs->OpenDlgInitialDir = QFileInfo(files.first()).absolutePath() + QLatin1Char('/');
    OpenTextFiles(files);
}

void TForm1::OpenTextFiles(const QStringList& files) {
    if (!MayAddArticle([this, files] { OpenTextFiles(files); })) {
        return;
    }
    // A file that cannot be opened says why and the files after it still open; the store is
    // written once, when all are in the list.
    m_openingStopped = false;
    {
        const QScopedValueRollback hold(m_exportHeld, true);
        for (const QString& file : files) {
            if (!OpenTextFile(file)) {
                break;
            }
        }
    }
    if (m_readingState == rsExiting) {
        return;  // the articles went to the store as the program ended
    }
    ExportArticles();
    if (m_readingState == rsIdle && !m_openingStopped) {
        UpdateStatus(ArticleCountText());  // the count now includes the loaded articles
    }
}

bool TForm1::OpenTextFile(const QString& file) {
    if (DocumentReader::isDocument(file)) {
        OpenDocument(file);
        return m_readingState != rsExiting;
    }
    QString error;
    const int64_t size = GetFileSize(file, error);
    if (size < 0) {
        UserMessage::showError(error);
        return true;
    }
    if (size == 0) {
        UserMessage::show(QFileInfo(file).absoluteFilePath() + QStringLiteral(" is empty"));
        return true;
    }
    // A program, picture or archive would only be read as noise.
    QString notText;
    if (!TextFile::isTextFile(file, &notText)) {
        UtilsClass::WriteDebugLine(notText);
        UserMessage::showError(notText);
        return true;
    }
    TMemoEntry* entry = AddNewArticle();
    if (!entry) {
        return false;  // the list refused a new article and has said why
    }
    entry->SetDefaultTitleFrom(QFileInfo(file).baseName(), m_list->TitleLength);
    if (size >= kLargeFile) {
        entry->SetArticleText(ArticleText::FileArticleText(QFileInfo(file).absoluteFilePath()));
        entry->SetFileEntry(true);
    } else {
        entry->SetFileEntry(false);
        QString readError;
        if (!entry->LoadFromFile(file, readError)) {
            UtilsClass::WriteDebugLine(QStringLiteral("Could not open ") + file);
        } else if (!readError.isEmpty()) {
            UserMessage::showError(readError);
        }
    }
    if (m_prefs->AutoSpeak()) {
        ReadSingleArticle(entry, otSpeakers, -1, -1);
        if (m_readingState == rsReading) {
            UpdateStatus(QStringLiteral("Reading input text file ") + QFileInfo(file).fileName());
        }
    }
    return true;
}

void TForm1::OpenDocument(const QString& file) {
    const QString name = QFileInfo(file).fileName();
    UpdateStatus(QStringLiteral("Opening ") + name + QStringLiteral(" (Escape stops it)"));
    ++m_openingDocuments;
    bool stopped = false;
    const Document document = ReadWhileResponsive(this, file, &stopped);
    --m_openingDocuments;
    if (m_readingState == rsExiting) {
        return;  // the program ended while the document was read: nothing is added
    }
    if (stopped) {
        m_openingStopped = true;
        UpdateStatus(QStringLiteral("Opening of ") + name + QStringLiteral(" stopped"));
        return;
    }
    if (!document.ok()) {
        UserMessage::showError(document.error);
        return;
    }
    QString error;
    const QList<DocumentArticles::Article> articles =
        DocumentArticles::make(document, file, m_prefs->ML_ListMode == 1, &error);
    if (articles.isEmpty()) {
        UserMessage::showError(error);
        return;
    }
    TMemoEntry* first = nullptr;
    for (qsizetype i = 0; i < articles.size(); ++i) {
        TMemoEntry* entry = AddNewArticle();
        if (!entry) {
            for (qsizetype unused = i; unused < articles.size(); ++unused) {
                DocumentTextFile::removeForArticle(articles[unused].text);
            }
            return;  // the list refused a new article and has said why
        }
        entry->SetDefaultTitleFrom(articles[i].title, m_list->TitleLength);
        entry->SetArticleText(articles[i].text);
        entry->SetFileEntry(articles[i].fileArticle);
        entry->SetAlbum(articles[i].album);
        first = first ? first : entry;
    }
    if (m_prefs->AutoSpeak()) {
        ReadSingleArticle(first, otSpeakers, -1, -1);
        if (m_readingState == rsReading) {
            UpdateStatus(QStringLiteral("Reading input document ") + name);
        }
    }
}
