#include "app/multioptionssheet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QSignalBlocker>

#include "app/radiogroup.h"
#include "settings/preferences.h"

MultiOptionsSheet::MultiOptionsSheet(TPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("MultiOptionsSheet"));
    auto* layout = new QGridLayout(this);
    MIVoiceGrp = new RadioGroup(
        QStringLiteral("Voice Selection:"),
        {QStringLiteral("Default"), QStringLiteral("Random"), QStringLiteral("Round Robin")}, this);
    MIVoiceGrp->setObjectName(QStringLiteral("MIVoiceGrp"));
    ODestGrp =
        new RadioGroup(QStringLiteral("File Output:"),
                       {QStringLiteral("Single File"), QStringLiteral("Multiple Files")}, this);
    ODestGrp->setObjectName(QStringLiteral("ODestGrp"));
    AutoDeleteCB = new QCheckBox(QStringLiteral("Automatically Delete Text after play"), this);
    AutoDeleteCB->setObjectName(QStringLiteral("AutoDeleteCB"));
    layout->addWidget(MIVoiceGrp, 0, 0);
    layout->addWidget(ODestGrp, 0, 1);
    layout->addWidget(AutoDeleteCB, 1, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(MIVoiceGrp, &RadioGroup::itemChosen, this,
            [this](int index) { m_prefs.MI_Voice = uint8_t(index); });
    // The next reading to files takes the destination from the setting.
    connect(ODestGrp, &RadioGroup::itemChosen, this,
            [this](int index) { m_prefs.OUT_FileDest = uint8_t(index); });
    connect(AutoDeleteCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.ML_AutoDelete = checked; });
}

void MultiOptionsSheet::Refresh() {
    MIVoiceGrp->SetItemIndex(m_prefs.VoiceSelection());
    ODestGrp->SetItemIndex(m_prefs.FileDest());
    const QSignalBlocker quiet(AutoDeleteCB);
    AutoDeleteCB->setChecked(m_prefs.AutoDelete());
}

void MultiOptionsSheet::showEvent(QShowEvent* event) {
    Refresh();
    QWidget::showEvent(event);
}
