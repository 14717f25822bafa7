#include "app/lexiconentrydialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "speech/lexiconfile.h"
#include "speech/lexicontablemodel.h"

namespace {

constexpr int kFieldWidth = 320;

}  // namespace

LexiconEntryDialog::LexiconEntryDialog(const LexiconEntry& entry, const QStringList& languages,
                                       bool phonemesHeard, Checker checker, QWidget* parent)
    : QDialog(parent), m_checker(std::move(checker)), m_phonemesHeard(phonemesHeard) {
    setObjectName(QStringLiteral("LexiconEntryDialog"));
    setWindowTitle(entry.written.isEmpty() ? QStringLiteral("Add Pronunciation")
                                           : QStringLiteral("Edit Pronunciation"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_written = new QLineEdit(entry.written, this);
    m_written->setObjectName(QStringLiteral("WrittenEdit"));
    m_written->setPlaceholderText(QStringLiteral("as it stands in the text, e.g. Nguyen"));
    m_written->setMinimumWidth(kFieldWidth);
    form->addRow(QStringLiteral("&Written:"), m_written);

    auto* kinds = new QHBoxLayout;
    m_words = new QRadioButton(QStringLiteral("W&ords"), this);
    m_words->setObjectName(QStringLiteral("WordsButton"));
    m_phonemes = new QRadioButton(QStringLiteral("eSpeak NG &phonemes"), this);
    m_phonemes->setObjectName(QStringLiteral("PhonemesButton"));
    (entry.phonemes ? m_phonemes : m_words)->setChecked(true);
    kinds->addWidget(m_words);
    kinds->addWidget(m_phonemes);
    kinds->addStretch();
    form->addRow(QStringLiteral("Say as:"), kinds);

    m_spoken = new QLineEdit(entry.spoken, this);
    m_spoken->setObjectName(QStringLiteral("SpokenEdit"));
    m_say = new QPushButton(QStringLiteral("Say &it"), this);
    m_say->setObjectName(QStringLiteral("SayItButton"));
    m_say->setAutoDefault(false);
    m_say->setToolTip(QStringLiteral("Hear the written form as this entry makes it sound"));
    connect(m_say, &QPushButton::clicked, this, [this] { Q_EMIT sayRequested(this->entry()); });
    auto* spokenRow = new QHBoxLayout;
    spokenRow->addWidget(m_spoken, 1);
    spokenRow->addWidget(m_say);
    auto* spokenLabel = new QLabel(QStringLiteral("&Spoken as:"), this);
    spokenLabel->setBuddy(m_spoken);
    form->addRow(spokenLabel, spokenRow);
    m_kindHint = new QLabel(this);
    m_kindHint->setObjectName(QStringLiteral("KindHint"));
    m_kindHint->setWordWrap(true);
    m_kindHint->setMinimumWidth(kFieldWidth);
    form->addRow(QString(), m_kindHint);

    m_matchCase = new QCheckBox(QStringLiteral("&Match capitals exactly"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCaseBox"));
    m_matchCase->setChecked(entry.matchCase);
    form->addRow(QString(), m_matchCase);

    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("LanguageBox"));
    m_language->addItem(LexiconTableModel::languageName(QString()), QString());
    QStringList tags = languages;
    if (!entry.language.isEmpty() && !tags.contains(entry.language, Qt::CaseInsensitive)) {
        tags << entry.language;
    }
    for (const QString& tag : tags) {
        m_language->addItem(LexiconTableModel::languageName(tag), tag);
    }
    m_language->setCurrentIndex(qMax(0, m_language->findData(entry.language)));
    form->addRow(QStringLiteral("&Language:"), m_language);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("ProblemLabel"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #b00020"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &LexiconEntryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_phonemes, &QRadioButton::toggled, this, &LexiconEntryDialog::updateKind);
    const auto enableSay = [this] {
        m_say->setEnabled(!m_written->text().trimmed().isEmpty() &&
                          !m_spoken->text().trimmed().isEmpty());
    };
    connect(m_written, &QLineEdit::textChanged, this, enableSay);
    connect(m_spoken, &QLineEdit::textChanged, this, enableSay);
    // A problem shown goes as soon as it is mended.
    const auto recheck = [this] {
        if (m_problem->isVisible()) {
            validate();
        }
    };
    for (QLineEdit* edit : {m_written, m_spoken}) {
        connect(edit, &QLineEdit::textChanged, this, recheck);
    }
    connect(m_phonemes, &QRadioButton::toggled, this, recheck);
    connect(m_matchCase, &QCheckBox::toggled, this, recheck);
    connect(m_language, &QComboBox::currentIndexChanged, this, recheck);
    enableSay();
    updateKind();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void LexiconEntryDialog::updateKind() {
    if (m_phonemes->isChecked()) {
        m_spoken->setPlaceholderText(QStringLiteral("e.g. w'In"));
        m_kindHint->setText(
            m_phonemesHeard
                ? QStringLiteral("In eSpeak NG's phoneme letters, without [[ ]]. Only eSpeak NG "
                                 "voices use them; other voices say the written form.")
                : QStringLiteral("In eSpeak NG's phoneme letters, without [[ ]]. Only eSpeak NG "
                                 "voices use them: the voice of this dialog says the written "
                                 "form."));
    } else {
        m_spoken->setPlaceholderText(QStringLiteral("in plain words, e.g. Win"));
        m_kindHint->setText(QStringLiteral("Plain words, said by every voice."));
    }
}

LexiconEntry LexiconEntryDialog::entry() const {
    LexiconEntry entry;
    entry.written = m_written->text().simplified();
    entry.spoken = m_spoken->text().trimmed();
    entry.phonemes = m_phonemes->isChecked();
    entry.matchCase = m_matchCase->isChecked();
    entry.language = m_language->currentData().toString();
    return entry;
}

bool LexiconEntryDialog::validate() {
    const LexiconEntry current = entry();
    QString problem = LexiconFile::check(current);
    if (problem.isEmpty() && m_checker) {
        problem = m_checker(current);
    }
    if (!problem.isEmpty()) {
        problem[0] = problem[0].toUpper();
    }
    m_problem->setText(problem.isEmpty() ? QString() : problem + QLatin1Char('.'));
    m_problem->setVisible(!problem.isEmpty());
    return problem.isEmpty();
}

void LexiconEntryDialog::accept() {
    if (validate()) {
        QDialog::accept();
    }
}
