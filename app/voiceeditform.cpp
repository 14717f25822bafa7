#include "app/voiceeditform.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include "settings/widgetplacement.h"
#include "speech/voicecatalogue.h"
#include "speech/voiceentry.h"

const QString TVoiceEditForm::kCaption = QStringLiteral("Voice Edit");

namespace {

constexpr int kSliderWidth = 281;
constexpr int kButtonWidth = 83;
// A page (Page Up/Down, a click beside the thumb) moves a tenth of the range.
constexpr int kPagesPerRange = 10;

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* MakeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumWidth(kButtonWidth);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TVoiceEditForm::TVoiceEditForm(const VoiceCatalogue& catalogue, QWidget* parent)
    : QDialog(parent), m_catalogue(catalogue) {
    setObjectName(QStringLiteral("VoiceEditForm"));
    setWindowTitle(kCaption);
    // A caption only: the dialog is closed by its own buttons (or Escape, as Cancel).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* label1 = MakeLabel(QStringLiteral("Label1"), QStringLiteral("Voice:"), this);
    VoiceCaptionLbl = MakeLabel(QStringLiteral("VoiceCaptionLbl"), QString(), this);
    auto* label3 = MakeLabel(QStringLiteral("Label3"), QStringLiteral("Pitch"), this);
    auto* label4 = MakeLabel(QStringLiteral("Label4"), QStringLiteral("Speed"), this);
    PitchMinLbl = MakeLabel(QStringLiteral("PitchMinLbl"), QString(), this);
    PitchMaxLbl = MakeLabel(QStringLiteral("PitchMaxLbl"), QString(), this);
    PitchValLbl = MakeLabel(QStringLiteral("PitchValLbl"), QString(), this);
    SpeedMinLbl = MakeLabel(QStringLiteral("SpeedMinLbl"), QString(), this);
    SpeedMaxLbl = MakeLabel(QStringLiteral("SpeedMaxLbl"), QString(), this);
    SpeedValLbl = MakeLabel(QStringLiteral("SpeedValLbl"), QString(), this);
    PitchSlider = MakeSlider(QStringLiteral("PitchSlider"), PitchValLbl, &m_pendingPitch);
    SpeedSlider = MakeSlider(QStringLiteral("SpeedSlider"), SpeedValLbl, &m_pendingSpeed);
    PitchSlider->setAccessibleName(label3->text());
    SpeedSlider->setAccessibleName(label4->text());
    OkBtn = MakeButton(QStringLiteral("OkBtn"), QStringLiteral("Ok"), this);
    ResetBtn = MakeButton(QStringLiteral("ResetBtn"), QStringLiteral("Reset Defaults"), this);
    TestBtn = MakeButton(QStringLiteral("TestBtn"), QStringLiteral("Test"), this);
    CancelBtn = MakeButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), this);
    connect(OkBtn, &QPushButton::clicked, this, &TVoiceEditForm::OkBtnClick);
    connect(ResetBtn, &QPushButton::clicked, this, &TVoiceEditForm::ResetBtnClick);
    connect(TestBtn, &QPushButton::clicked, this, &TVoiceEditForm::TestBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TVoiceEditForm::CancelBtnClick);

    // The value labels keep their width whatever number they show, so the sliders stay put.
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("-000000"));
    PitchValLbl->setMinimumWidth(valueWidth);
    SpeedValLbl->setMinimumWidth(valueWidth);

    auto* header = new QHBoxLayout;
    header->addStretch();
    header->addWidget(label1);
    header->addWidget(VoiceCaptionLbl);
    header->addStretch();

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    const auto addSliderRows = [grid](int row, QLabel* caption, QSlider* slider, QLabel* value,
                                      QLabel* minimum, QLabel* maximum) {
        grid->addWidget(caption, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(slider, row, 1);
        grid->addWidget(value, row, 2, Qt::AlignLeft | Qt::AlignVCenter);
        auto* limits = new QHBoxLayout;
        limits->addWidget(minimum);
        limits->addStretch();
        limits->addWidget(maximum);
        grid->addLayout(limits, row + 1, 1);
    };
    addSliderRows(0, label3, PitchSlider, PitchValLbl, PitchMinLbl, PitchMaxLbl);
    grid->setRowMinimumHeight(2, 16);
    addSliderRows(3, label4, SpeedSlider, SpeedValLbl, SpeedMinLbl, SpeedMaxLbl);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(20);
    for (QPushButton* button : {OkBtn, ResetBtn, TestBtn, CancelBtn}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 12, 24, 16);
    layout->addLayout(header);
    layout->addSpacing(16);
    layout->addLayout(grid);
    layout->addSpacing(24);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(PitchSlider, SpeedSlider);
    setTabOrder(SpeedSlider, OkBtn);
    setTabOrder(OkBtn, ResetBtn);
    setTabOrder(ResetBtn, TestBtn);
    setTabOrder(TestBtn, CancelBtn);

    RestoreFormPlacement(this);
}

QSlider* TVoiceEditForm::MakeSlider(const QString& name, QLabel* valueLabel, int* pending) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(name);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setMinimumWidth(kSliderWidth);
    connect(slider, &QSlider::valueChanged, this, [slider, valueLabel, pending](int value) {
        valueLabel->setText(QString::number(value));
        if (!slider->isSliderDown()) {
            *pending = value;  // a key, the wheel or a click beside the thumb: the move is over
        }
    });
    connect(slider, &QSlider::sliderReleased, this,
            [slider, pending] { *pending = slider->value(); });
    return slider;
}

void TVoiceEditForm::SetLimits(QSlider* slider, QLabel* minLabel, QLabel* maxLabel, int minimum,
                               int maximum, int position) {
    slider->setRange(minimum, maximum);
    slider->setPageStep(qMax(1, (maximum - minimum) / kPagesPerRange));
    slider->setValue(position);
    minLabel->setText(QString::number(minimum));
    maxLabel->setText(QString::number(maximum));
}

void TVoiceEditForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TVoiceEditForm::FormShow() {
    m_failure.clear();
    if (!m_voice) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    VoiceCaptionLbl->setText(m_voice->Name);
    if (m_voice->MinPitch == -1) {
        try {
            m_catalogue.ReadVoiceLimits(*m_voice);
        } catch (const std::exception& error) {
            // Without its limits the voice cannot be edited: the caller tells why.
            m_failure = QString::fromUtf8(error.what());
            QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
            return;
        }
    }
    SetLimits(PitchSlider, PitchMinLbl, PitchMaxLbl, m_voice->MinPitch, m_voice->MaxPitch,
              m_voice->Pitch);
    SetLimits(SpeedSlider, SpeedMinLbl, SpeedMaxLbl, m_voice->MinSpeed, m_voice->MaxSpeed,
              m_voice->Speed);
    // The labels show the voice's own values even where the slider's range cut them.
    PitchValLbl->setText(QString::number(m_voice->Pitch));
    SpeedValLbl->setText(QString::number(m_voice->Speed));
    m_pendingPitch = m_voice->Pitch;
    m_pendingSpeed = m_voice->Speed;
    PitchSlider->setFocus();
}

void TVoiceEditForm::ResetBtnClick() {
    if (!m_voice) {
        return;
    }
    m_pendingPitch = m_voice->DefaultPitch;
    PitchSlider->setValue(m_voice->DefaultPitch);
    m_pendingSpeed = m_voice->DefaultSpeed;
    SpeedSlider->setValue(m_voice->DefaultSpeed);
}

void TVoiceEditForm::TestBtnClick() {
    if (!m_voice) {
        return;
    }
    // The test starts with the values to try; the voice keeps its own once it has started.
    const int pitch = m_voice->Pitch;
    const int speed = m_voice->Speed;
    m_voice->Pitch = m_pendingPitch;
    m_voice->Speed = m_pendingSpeed;
    Q_EMIT testRequested(m_catalogue.TestText(*m_voice), m_voice->Name);
    m_voice->Pitch = pitch;
    m_voice->Speed = speed;
}

void TVoiceEditForm::OkBtnClick() {
    if (m_voice) {
        m_voice->Pitch = m_pendingPitch;
        m_voice->Speed = m_pendingSpeed;
    }
    accept();
}

void TVoiceEditForm::CancelBtnClick() {
    reject();
}

void TVoiceEditForm::done(int result) {
    SaveFormPlacement(this);
    QDialog::done(result);
}
