#include "app/miscsheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "settings/preferences.h"

namespace {

QCheckBox* CheckBox(const QString& caption, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

MiscSheet::MiscSheet(TPreferences& prefs, QWidget* parent) : QWidget(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("MiscSheet"));
    DfltVoiceCB = new QComboBox(this);
    DfltVoiceCB->setObjectName(QStringLiteral("DfltVoiceCB"));
    // Voice names are long; the list opens wide enough, the box stays within the sheet.
    DfltVoiceCB->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DfltVoiceCB->setMinimumContentsLength(kVoiceNameChars);
    ToolbarMinCB = new QComboBox(this);
    ToolbarMinCB->setObjectName(QStringLiteral("ToolbarMinCB"));
    ToolbarMinCB->addItems({QStringLiteral("On request only"), QStringLiteral("When minimized"),
                            QStringLiteral("When minimized and reading starts")});
    TBOnTopCB = CheckBox(QStringLiteral("Floating Toolbar Always on Top"),
                         QStringLiteral("TBOnTopCB"), this);
    FilterCB =
        CheckBox(QStringLiteral("Filter non-alpha symbols"), QStringLiteral("FilterCB"), this);
    FilterCB->setToolTip(QStringLiteral("Symbols such as # * _ | are not read out"));
    HighlightPosn =
        CheckBox(QStringLiteral("Highlight Spoken Word"), QStringLiteral("HighlightPosn"), this);
    AutoStartAppCB = CheckBox(QStringLiteral("Start Quillsong at Login"),
                              QStringLiteral("AutoStartAppCB"), this);
    AutoStartAppCB->setToolTip(
        QStringLiteral("Quillsong starts hidden in the tray when you log in to your desktop"));

    auto* fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    fields->addRow(QStringLiteral("Default Voice:"), DfltVoiceCB);
    fields->addRow(QStringLiteral("Show Floating Toolbar:"), ToolbarMinCB);
    auto* layout = new QGridLayout(this);
    layout->addLayout(fields, 0, 0, 1, 2);
    layout->addWidget(TBOnTopCB, 1, 0);
    layout->addWidget(HighlightPosn, 1, 1);
    layout->addWidget(FilterCB, 2, 0);
    layout->addWidget(AutoStartAppCB, 2, 1);
    layout->setRowStretch(3, 1);
    // Tab goes as the eye reads: along each row of boxes.
    QWidget::setTabOrder(ToolbarMinCB, TBOnTopCB);
    QWidget::setTabOrder(TBOnTopCB, HighlightPosn);
    QWidget::setTabOrder(HighlightPosn, FilterCB);
    QWidget::setTabOrder(FilterCB, AutoStartAppCB);

    connect(DfltVoiceCB, &QComboBox::textActivated, this, [this](const QString& name) {
        m_prefs.TTS_DefaultVoiceName = name;
        Q_EMIT defaultVoiceChosen();
    });
    connect(ToolbarMinCB, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_prefs.ToolbarOnMinOption = uint8_t(index);
        }
    });
    connect(TBOnTopCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.ToolbarOnTop = checked; });
    connect(FilterCB, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.TTS_FilterSymbols = checked; });
    connect(HighlightPosn, &QCheckBox::toggled, this, [this](bool checked) {
        m_prefs.TTS_HighlightPosition = checked;
        Q_EMIT highlightClicked();
    });
    connect(AutoStartAppCB, &QCheckBox::clicked, this, &MiscSheet::autoStartClicked);
}

void MiscSheet::Load() {
    {
        const QSignalBlocker quiet(ToolbarMinCB);
        ToolbarMinCB->setCurrentIndex(
            m_prefs.ToolbarOnMinOption < ToolbarMinCB->count() ? m_prefs.ToolbarOnMinOption : -1);
    }
    for (auto [box, value] : {std::pair{TBOnTopCB, m_prefs.ToolbarOnTop},
                              std::pair{FilterCB, m_prefs.TTS_FilterSymbols},
                              std::pair{HighlightPosn, m_prefs.TTS_HighlightPosition}}) {
        const QSignalBlocker quiet(box);
        box->setChecked(value);
    }
}

void MiscSheet::FillDefaultVoiceList(const QStringList& voices) {
    const QSignalBlocker quiet(DfltVoiceCB);
    DfltVoiceCB->clear();
    DfltVoiceCB->addItems(voices);
    const int stored = DfltVoiceCB->findText(m_prefs.TTS_DefaultVoiceName, Qt::MatchExactly);
    DfltVoiceCB->setCurrentIndex(stored >= 0 ? stored : 0);
}

void MiscSheet::SetAutoStart(bool enabled) {
    const QSignalBlocker quiet(AutoStartAppCB);
    AutoStartAppCB->setChecked(enabled);
}

void MiscSheet::showEvent(QShowEvent* event) {
    Q_EMIT shown();
    QWidget::showEvent(event);
}
