#include "app/singleoptionssheet.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/radiogroup.h"
#include "settings/preferences.h"

SingleOptionsSheet::SingleOptionsSheet(TPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("SingleOptionsSheet"));
    auto* layout = new QVBoxLayout(this);
    SIVoiceGrp = new RadioGroup(QStringLiteral("Voice Selection:"),
                                {QStringLiteral("Default"), QStringLiteral("Random")}, this);
    SIVoiceGrp->setObjectName(QStringLiteral("SIVoiceGrp"));
    layout->addWidget(SIVoiceGrp);
    // The caption's trailing blank is the program's own text.
    AutoSpeakCB = new QCheckBox(QStringLiteral("Automatically Speak New Text "), this);
    AutoSpeakCB->setObjectName(QStringLiteral("AutoSpeakCB"));
    layout->addWidget(AutoSpeakCB);
    AutoTitleCB = new QCheckBox(QStringLiteral("Generate Default Article Titles"), this);
    AutoTitleCB->setObjectName(QStringLiteral("AutoTitleCB"));
    layout->addWidget(AutoTitleCB);
    AskRemovalCB = new QCheckBox(QStringLiteral("Ask Before Removing Articles"), this);
    AskRemovalCB->setObjectName(QStringLiteral("AskRemovalCB"));
    layout->addWidget(AskRemovalCB);
    layout->addStretch();

    connect(SIVoiceGrp, &RadioGroup::itemChosen, this,
            [this](int index) { m_prefs.SI_Voice = uint8_t(index); });
    connect(AutoSpeakCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.SI_AutoSpeak = checked; });
    connect(AutoTitleCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.SI_DefaultTitles = checked; });
    // Unchecked, the articles go without a question, as "Do not ask again" with Remove.
    connect(AskRemovalCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.SI_ListRemoval = checked ? 0 : 1; });
}

void SingleOptionsSheet::Refresh() {
    SIVoiceGrp->SetItemIndex(m_prefs.VoiceSelection());
    for (auto [box, value] : {std::pair{AutoSpeakCB, m_prefs.AutoSpeak()},
                              std::pair{AutoTitleCB, m_prefs.DefaultTitles()},
                              std::pair{AskRemovalCB, m_prefs.SI_ListRemoval == 0}}) {
        const QSignalBlocker quiet(box);
        box->setChecked(value);
    }
}

void SingleOptionsSheet::showEvent(QShowEvent* event) {
    Refresh();
    QWidget::showEvent(event);
}
