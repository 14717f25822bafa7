#include "app/lexicondialog.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/lexiconentrydialog.h"
#include "platform/speechapi/lexiconspeaker.h"
#include "platform/speechapi/ttsenumerator.h"
#include "speech/lexiconstore.h"
#include "speech/lexicontablemodel.h"
#include "text/printabletext.h"

namespace {

const QString kFileFilter = QStringLiteral("Lexicon files (*.txt);;All files (*)");
constexpr int kTableWidth = 560;
constexpr int kTableRows = 8;
constexpr int kExtraRows = 6;
// Problems of the file shown at most; the debug log has them all.
constexpr int kShownProblems = 5;

QString describeProblems(const QString& file, const QList<LexiconProblem>& problems) {
    QStringList lines;
    for (int i = 0; i < problems.size() && i < kShownProblems; ++i) {
        lines << LexiconFile::describe(problems[i]);
    }
    if (problems.size() > kShownProblems) {
        lines << QStringLiteral("and %1 more").arg(problems.size() - kShownProblems);
    }
    const QString count = problems.size() == 1 ? QStringLiteral("A line")
                                               : QStringLiteral("%1 lines").arg(problems.size());
    return QStringLiteral("%1 of %2 could not be read and %3 skipped:\n%4")
        .arg(count, PrintableText::escaped(QDir::toNativeSeparators(file)),
             problems.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"),
             lines.join(QLatin1Char('\n')));
}

// A message about a file in plain text: a line of the file that looks like markup is shown as
// it stands.
void tell(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, parent->windowTitle(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

LexiconDialog::LexiconDialog(LexiconStore& store, const Voice& voice, const QString& title,
                             QWidget* parent)
    : QDialog(parent), m_store(store), m_voice(voice) {
    setObjectName(QStringLiteral("LexiconDialog"));
    setWindowTitle(title.isEmpty() ? QStringLiteral("Pronunciation") : title);
    auto* layout = new QVBoxLayout(this);

    m_problems = new QLabel(this);
    m_problems->setObjectName(QStringLiteral("ProblemsLabel"));
    m_problems->setWordWrap(true);
    m_problems->setTextFormat(Qt::PlainText);
    m_problems->setStyleSheet(
        QStringLiteral("QLabel { background: #fff4ce; border: 1px solid #e0c060; padding: 6px; }"));
    layout->addWidget(m_problems);

    auto* intro = new QLabel(
        QStringLiteral("Teach every voice how to say a name, an abbreviation or a foreign word. "
                       "Each entry replaces the written form, found as a whole word, by what "
                       "is said instead."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* findRow = new QHBoxLayout;
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("FindEdit"));
    m_find->setPlaceholderText(QStringLiteral("Type to find an entry"));
    m_find->setClearButtonEnabled(true);
    auto* findLabel = new QLabel(QStringLiteral("&Find:"), this);
    findLabel->setBuddy(m_find);
    findRow->addWidget(findLabel);
    findRow->addWidget(m_find, 1);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("CountLabel"));
    findRow->addWidget(m_count);
    layout->addLayout(findRow);

    auto* middle = new QHBoxLayout;
    m_model = new LexiconTableModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(LexiconTableModel::Written);
    m_proxy->setFilterRole(LexiconTableModel::SearchRole);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("EntryTable"));
    m_table->setAccessibleName(QStringLiteral("Pronunciations"));
    m_table->setModel(m_proxy);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(LexiconTableModel::Written, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setSectionResizeMode(LexiconTableModel::Written,
                                                      QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(LexiconTableModel::Spoken,
                                                      QHeaderView::Stretch);
    m_table->setTabKeyNavigation(false);  // Tab leaves the table; the arrows move in it
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->setMinimumSize(kTableWidth,
                            m_table->verticalHeader()->defaultSectionSize() * (kTableRows + 1));
    m_table->installEventFilter(this);
    middle->addWidget(m_table, 1);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& text, const char* name, void (LexiconDialog::*slot)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button(QStringLiteral("&Add..."), "AddButton", &LexiconDialog::addEntry);
    m_edit = button(QStringLiteral("&Edit..."), "EditButton", &LexiconDialog::editEntry);
    m_delete = button(QStringLiteral("&Delete"), "DeleteButton", &LexiconDialog::deleteEntries);
    m_sayEntry = button(QStringLiteral("Say &it"), "SayItButton", &LexiconDialog::sayEntry);
    m_sayEntry->setToolTip(QStringLiteral("Hear the selected entry"));
    buttons->addSpacing(16);
    button(QStringLiteral("I&mport..."), "ImportButton", &LexiconDialog::importFile);
    button(QStringLiteral("E&xport..."), "ExportButton", &LexiconDialog::exportFile);
    buttons->addStretch();
    middle->addLayout(buttons);
    layout->addLayout(middle, 1);

    auto* sampleRow = new QHBoxLayout;
    m_sample = new QLineEdit(this);
    m_sample->setObjectName(QStringLiteral("SampleEdit"));
    m_sample->setPlaceholderText(QStringLiteral("Type a sentence to hear it with these entries"));
    auto* sampleLabel = new QLabel(QStringLiteral("&Try:"), this);
    sampleLabel->setBuddy(m_sample);
    sampleRow->addWidget(sampleLabel);
    sampleRow->addWidget(m_sample, 1);
    m_sayText = new QPushButton(QStringLiteral("Say t&he text"), this);
    m_sayText->setObjectName(QStringLiteral("SayTextButton"));
    m_sayText->setAutoDefault(false);
    connect(m_sayText, &QPushButton::clicked, this, &LexiconDialog::sayText);
    sampleRow->addWidget(m_sayText);
    layout->addLayout(sampleRow);

    auto* bottom = new QHBoxLayout;
    auto* note = new QLabel(
        m_voice.name.isEmpty()
            ? QStringLiteral("Changes hold from the next sentence spoken.")
            : QStringLiteral("Heard with %1. Changes hold from the next sentence spoken.")
                  .arg(m_voice.name),
        this);
    note->setObjectName(QStringLiteral("NoteLabel"));
    bottom->addWidget(note, 1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_find, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_proxy->setFilterFixedString(text.trimmed());
        if (m_proxy->rowCount() > 0) {
            m_table->selectRow(0);
        }
        updateButtons();
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LexiconDialog::updateButtons);
    connect(m_table, &QTableView::doubleClicked, this, &LexiconDialog::editEntry);
    connect(m_sample, &QLineEdit::textChanged, this, &LexiconDialog::updateButtons);
    connect(m_sample, &QLineEdit::returnPressed, this, &LexiconDialog::sayText);

    m_model->setEntries(m_store.entries());
    if (m_proxy->rowCount() > 0) {
        m_table->selectRow(0);
    }
    showProblems();
    updateButtons();
    m_find->setFocus();
    // Room for a few more entries than the least it needs.
    resize(sizeHint().width(),
           sizeHint().height() + kExtraRows * m_table->verticalHeader()->defaultSectionSize());
}

bool LexiconDialog::eventFilter(QObject* watched, QEvent* event) {
    // The Delete key deletes the selected entries, as in a file manager; Enter edits one.
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Delete)) {
            deleteEntries();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            editEntry();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

LexiconDialog::~LexiconDialog() {
    if (m_voice.speaker) {
        m_voice.speaker->hush();
    }
}

QString LexiconDialog::sampleText() const {
    return m_sample->text();
}

void LexiconDialog::setSampleText(const QString& text) {
    m_sample->setText(text);
}

QStringList LexiconDialog::installedLanguages() {
    QStringList tags;
    for (const TTSMODEINFO& mode : TtsEnumerator::modes()) {
        const QString primary = mode.szDialect.section(QLatin1Char('-'), 0, 0).toLower();
        if (!primary.isEmpty() && !tags.contains(primary)) {
            tags << primary;
        }
    }
    std::sort(tags.begin(), tags.end(), [](const QString& a, const QString& b) {
        return LexiconTableModel::languageName(a).localeAwareCompare(
                   LexiconTableModel::languageName(b)) < 0;
    });
    return tags;
}

void LexiconDialog::showProblems() {
    const QList<LexiconProblem>& problems = m_store.problems();
    QString text = m_store.loadError();
    if (!problems.isEmpty()) {
        text = describeProblems(m_store.path(), problems) +
               QStringLiteral("\nThey stay in the file as they are.");
    }
    m_problems->setText(text);
    m_problems->setVisible(!text.isEmpty());
}

void LexiconDialog::updateButtons() {
    const int selected = int(selectedRows().size());
    m_edit->setEnabled(selected == 1);
    m_delete->setEnabled(selected > 0);
    m_sayEntry->setEnabled(selected == 1 && m_voice.speaker);
    m_sayText->setEnabled(m_voice.speaker && !m_sample->text().trimmed().isEmpty());
    const int total = m_model->rowCount();
    const int shown = m_proxy->rowCount();
    const QString entries = total == 1 ? QStringLiteral("entry") : QStringLiteral("entries");
    m_count->setText(shown == total
                         ? QStringLiteral("%1 %2").arg(total).arg(entries)
                         : QStringLiteral("%1 of %2 %3").arg(shown).arg(total).arg(entries));
}

QList<int> LexiconDialog::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) {
        rows << m_proxy->mapToSource(index).row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void LexiconDialog::selectEntry(const LexiconEntry& entry) {
    const int row = int(m_model->entries().indexOf(entry));
    QModelIndex index = m_proxy->mapFromSource(m_model->index(row, 0));
    if (!index.isValid() && row >= 0) {
        m_find->clear();  // the search hides it: show everything
        index = m_proxy->mapFromSource(m_model->index(row, 0));
    }
    if (index.isValid()) {
        m_table->selectRow(index.row());
        m_table->scrollTo(index);
    }
}

bool LexiconDialog::runEntryDialog(LexiconEntry* entry, int editedRow) {
    const LexiconEntries entries = m_model->entries();
    LexiconEntryDialog dialog(
        *entry, installedLanguages(), m_voice.acceptsPhonemes,
        [entries, editedRow](const LexiconEntry& candidate) {
            for (int row = 0; row < entries.size(); ++row) {
                if (row != editedRow && LexiconStore::sameWords(entries[row], candidate)) {
                    return QStringLiteral("there is an entry for \"%1\" already")
                        .arg(PrintableText::escaped(entries[row].written));
                }
            }
            return QString();
        },
        this);
    connect(&dialog, &LexiconEntryDialog::sayRequested, this, [this](const LexiconEntry& e) {
        if (m_voice.speaker) {
            m_voice.speaker->sayWithEntries(e.written, {e});
        }
    });
    dialog.sayButton()->setVisible(m_voice.speaker != nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    *entry = dialog.entry();
    return true;
}

void LexiconDialog::store(const LexiconEntries& entries, const LexiconEntry* select) {
    QString error;
    if (!m_store.setEntries(entries, &error)) {
        tell(this, QMessageBox::Warning,
             error + QStringLiteral("\n\nThe change holds until Quillsong MP3 ends; "
                                    "Export can keep the entries in another file."));
    }
    m_model->setEntries(m_store.entries());
    if (select) {
        selectEntry(*select);
    }
    updateButtons();
}

void LexiconDialog::addEntry() {
    LexiconEntry entry;
    // What the user was looking for is most likely the word to add.
    entry.written = m_proxy->rowCount() == 0 ? m_find->text().trimmed() : QString();
    if (!runEntryDialog(&entry, -1)) {
        return;
    }
    LexiconEntries entries = m_model->entries();
    entries << entry;
    store(entries, &entry);
}

void LexiconDialog::editEntry() {
    const QList<int> rows = selectedRows();
    if (rows.size() != 1) {
        return;
    }
    LexiconEntry entry = m_model->entry(rows.front());
    if (!runEntryDialog(&entry, rows.front())) {
        return;
    }
    LexiconEntries entries = m_model->entries();
    entries[rows.front()] = entry;
    store(entries, &entry);
}

void LexiconDialog::deleteEntries() {
    const QList<int> rows = selectedRows();
    if (rows.isEmpty()) {
        return;
    }
    const QString what =
        rows.size() == 1
            ? QStringLiteral("the entry for \"%1\"").arg(m_model->entry(rows.front()).written)
            : QStringLiteral("these %1 entries").arg(rows.size());
    if (QMessageBox::question(this, windowTitle(), QStringLiteral("Delete %1?").arg(what)) !=
        QMessageBox::Yes) {
        return;
    }
    LexiconEntries entries = m_model->entries();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        entries.removeAt(*it);
    }
    store(entries);
}

void LexiconDialog::sayEntry() {
    const QList<int> rows = selectedRows();
    if (rows.size() == 1 && m_voice.speaker) {
        const LexiconEntry& entry = m_model->entry(rows.front());
        m_voice.speaker->sayWithEntries(entry.written, {entry});
    }
}

void LexiconDialog::sayText() {
    if (m_voice.speaker && !m_sample->text().trimmed().isEmpty()) {
        m_voice.speaker->sayWithLexicon(m_sample->text());
    }
}

void LexiconDialog::importFile() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Import Pronunciations"),
                                                      QDir::homePath(), kFileFilter);
    if (path.isEmpty()) {
        return;
    }
    int added = 0;
    int replaced = 0;
    QList<LexiconProblem> problems;
    QString error;
    const bool imported = m_store.import(path, &added, &replaced, &problems, &error);
    m_model->setEntries(m_store.entries());
    updateButtons();
    QString text = error.isEmpty()
                       ? QStringLiteral(
                             "From %1: %2 new entries added, %3 entries for the same "
                             "words replaced.")
                             .arg(PrintableText::escaped(QDir::toNativeSeparators(path)),
                                  QString::number(added), QString::number(replaced))
                       : error;
    if (!problems.isEmpty()) {
        text += QStringLiteral("\n\n") + describeProblems(path, problems);
    }
    if (imported && problems.isEmpty()) {
        tell(this, QMessageBox::Information, text);
    } else {
        tell(this, QMessageBox::Warning, text);
    }
}

void LexiconDialog::exportFile() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export Pronunciations"),
        QDir::homePath() + QStringLiteral("/pronunciations.txt"), kFileFilter);
    if (path.isEmpty()) {
        return;
    }
    QString error;
    if (!m_store.exportTo(path, &error)) {
        tell(this, QMessageBox::Warning, error);
    }
}
