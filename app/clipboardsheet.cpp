#include "app/clipboardsheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "settings/preferences.h"

namespace {

// A label, a field and a label after it, on one line.
QHBoxLayout* FieldLine(QLabel* before, QWidget* field, QLabel* after) {
    before->setBuddy(field);  // names the field for screen readers
    auto* line = new QHBoxLayout;
    line->addWidget(before);
    line->addWidget(field);
    if (after) {
        line->addWidget(after);
    }
    line->addStretch();
    return line;
}

}  // namespace

ClipboardSheet::ClipboardSheet(TPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("ClipboardSheet"));
    MonitorCB = new QCheckBox(QStringLiteral("Watch Clipboard"), this);
    MonitorCB->setObjectName(QStringLiteral("MonitorCB"));
    ClearClipboardCB = new QCheckBox(QStringLiteral("Clear Clipboard after Copy"), this);
    ClearClipboardCB->setObjectName(QStringLiteral("ClearClipboardCB"));
    ThreshHoldEdit = NumberField(kMaximumThreshold, QStringLiteral("ThreshHoldEdit"));
    PromptCkbx = new QCheckBox(QStringLiteral("Prompt to copy from clipboard"), this);
    PromptCkbx->setObjectName(QStringLiteral("PromptCkbx"));
    PromptDelayEdit = NumberField(kMaximumPromptSeconds, QStringLiteral("PromptDelayEdit"));
    PromptDfltActCBox = new QComboBox(this);
    PromptDfltActCBox->setObjectName(QStringLiteral("PromptDfltActCBox"));
    PromptDfltActCBox->addItems({QStringLiteral("New"), QStringLiteral("Append"),
                                 QStringLiteral("Cancel"), QStringLiteral("Remember Last")});
    m_delayLabel = new QLabel(QStringLiteral("Display Prompt for"), this);
    m_secondsLabel = new QLabel(QStringLiteral("seconds"), this);
    auto* actionLabel = new QLabel(QStringLiteral("Default Action:"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(MonitorCB, 0, 0);
    layout->addWidget(ClearClipboardCB, 0, 1);
    layout->addLayout(FieldLine(new QLabel(QStringLiteral("Ignore Clipboard Text less than"), this),
                                ThreshHoldEdit, new QLabel(QStringLiteral("characters"), this)),
                      1, 0, 1, 2);
    layout->addWidget(PromptCkbx, 2, 0, 1, 2);
    layout->addLayout(FieldLine(m_delayLabel, PromptDelayEdit, m_secondsLabel), 3, 0, 1, 2);
    layout->addLayout(FieldLine(actionLabel, PromptDfltActCBox, nullptr), 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(1, 1);

    connect(MonitorCB, &QCheckBox::clicked, this, &ClipboardSheet::monitorClicked);
    connect(ClearClipboardCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.CB_ClearOnCopy = checked; });
    connect(ThreshHoldEdit, &QSpinBox::valueChanged, this,
            [this](int value) { m_prefs.CB_ThreshHold = value; });
    connect(PromptCkbx, &QCheckBox::toggled, this, [this](bool checked) {
        m_prefs.CB_Prompt = checked;
        ShowPromptState();
    });
    connect(PromptDelayEdit, &QSpinBox::valueChanged, this,
            [this](int value) { m_prefs.CB_PromptDelay = value; });
    connect(PromptDfltActCBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_prefs.CB_DfltPromptAction = uint8_t(index);
        }
    });
}

QSpinBox* ClipboardSheet::NumberField(int maximum, const QString& name) {
    auto* field = new QSpinBox(this);
    field->setObjectName(name);
    field->setRange(0, maximum);
    // Written as the user types, not only when the field loses the focus.
    field->setKeyboardTracking(true);
    return field;
}

void ClipboardSheet::Load() {
    const QSignalBlocker quietThreshold(ThreshHoldEdit);
    const QSignalBlocker quietDelay(PromptDelayEdit);
    const QSignalBlocker quietAction(PromptDfltActCBox);
    SetMonitor(m_prefs.CB_Monitor);
    for (auto [box, value] : {std::pair{ClearClipboardCB, m_prefs.CB_ClearOnCopy},
                              std::pair{PromptCkbx, m_prefs.CB_Prompt}}) {
        const QSignalBlocker quiet(box);
        box->setChecked(value);
    }
    ThreshHoldEdit->setValue(m_prefs.CB_ThreshHold);
    PromptDelayEdit->setValue(m_prefs.CB_PromptDelay);
    PromptDfltActCBox->setCurrentIndex(m_prefs.CB_DfltPromptAction < PromptDfltActCBox->count()
                                           ? m_prefs.CB_DfltPromptAction
                                           : -1);
    ShowPromptState();
}

void ClipboardSheet::SetMonitor(bool watching) {
    const QSignalBlocker quiet(MonitorCB);
    MonitorCB->setChecked(watching);
}

void ClipboardSheet::ShowPromptState() {
    // The time matters only while the prompt is shown; the default action applies either way.
    for (QWidget* control :
         {static_cast<QWidget*>(m_delayLabel), static_cast<QWidget*>(PromptDelayEdit),
          static_cast<QWidget*>(m_secondsLabel)}) {
        control->setEnabled(m_prefs.CB_Prompt);
    }
}
