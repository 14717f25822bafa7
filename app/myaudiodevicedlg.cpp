#include "app/myaudiodevicedlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <array>

#include "platform/wavedevices/waveoutdevices.h"

namespace {

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 302;
constexpr int kListWidth = 170;
constexpr int kListPadding = 8;
constexpr int kDeviceRole = Qt::UserRole;

struct FlagText {
    uint32_t flag;
    const char* text;
};

constexpr std::array<FlagText, 12> kFormatTexts{{
    {WAVE_FORMAT_1M08, "11.025 kHz, Mono, 8-bit"},
    {WAVE_FORMAT_1S08, "11.025 kHz, Stereo, 8-bit"},
    {WAVE_FORMAT_1M16, "11.025 kHz, Mono, 16-bit"},
    {WAVE_FORMAT_1S16, "11.025 kHz, Stereo, 16-bit"},
    {WAVE_FORMAT_2M08, "22.05 kHz, Mono, 8-bit "},
    {WAVE_FORMAT_2S08, "22.05 kHz, Stereo, 8-bit"},
    {WAVE_FORMAT_2M16, "22.05 kHz, Mono, 16-bit"},
    {WAVE_FORMAT_2S16, "22.05 kHz, Stereo, 16-bit"},
    {WAVE_FORMAT_4M08, "44.1 kHz, Mono, 8-bit"},
    {WAVE_FORMAT_4S08, "44.1 kHz, Stereo, 8-bit"},
    {WAVE_FORMAT_4M16, "44.1 kHz, Mono, 16-bit"},
    {WAVE_FORMAT_4S16, "44.1 kHz, Stereo, 16-bit"},
}};

// The function flags of a wave output device, in the order the support line lists them.
constexpr uint32_t kPitch = 0x0001;
constexpr uint32_t kPlaybackRate = 0x0002;
constexpr uint32_t kLeftRightVolume = 0x0008;
constexpr uint32_t kSync = 0x0010;
constexpr uint32_t kSampleAccurate = 0x0020;

constexpr std::array<FlagText, 6> kSupportTexts{{
    {kLeftRightVolume, "Supports separate left and right volume control. "},
    {kPitch, "Supports pitch control. "},
    {kPlaybackRate, "Support playback rate control. "},
    {kSync, "The driver is synchronous and will block while playing a buffer. "},
    {WAVECAPS_VOLUME, "Supports volume control. "},
    {kSampleAccurate, "Returns sample-accurate position information."},
}};

QString FormatText(uint32_t formats) {
    QString text;
    for (const FlagText& entry : kFormatTexts) {
        if (formats & entry.flag) {
            text += QString::fromLatin1(entry.text);
            if (&entry != &kFormatTexts.back()) {
                text += QLatin1Char('\n');
            }
        }
    }
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);  // the largest format is missing: no line follows
    }
    return text.isEmpty() ? TMyAudioDeviceDlg::kNotReported : text;
}

QString ChannelsText(int channels) {
    // A device with more than two channels plays stereo as well.
    if (channels <= 0) {
        return TMyAudioDeviceDlg::kNotReported;
    }
    return channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
}

QString SupportsText(uint32_t support) {
    QString text;
    for (const FlagText& entry : kSupportTexts) {
        if (support & entry.flag) {
            text += QString::fromLatin1(entry.text);
        }
    }
    return text;
}

}  // namespace

const QString TMyAudioDeviceDlg::kMapperItem = QStringLiteral("Wave_Mapper (MS Default)");
const QString TMyAudioDeviceDlg::kNotReported = QStringLiteral("not reported");

TMyAudioDeviceDlg::TMyAudioDeviceDlg(TDlgUse use, int deviceId, QWidget* parent)
    : QDialog(parent), m_use(use), m_deviceId(deviceId) {
    setObjectName(QStringLiteral("MyAudioDeviceDlg"));
    setWindowTitle(QStringLiteral("Audio Device"));
    // A dialog frame with the system menu only: no minimise or maximise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Devices"));
    ListBox1->setFixedWidth(kListWidth);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TMyAudioDeviceDlg::ShowSelected);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* details = new QFrame(this);
    details->setObjectName(QStringLiteral("DetailPanel"));
    details->setFrameShape(QFrame::StyledPanel);
    auto* form = new QFormLayout(details);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    lDeviceID = AddDetail(form, QStringLiteral("Device ID"), "lDeviceID");
    lManufacturer = AddDetail(form, QStringLiteral("Manufacturer ID"), "lManufacturer");
    lProduct = AddDetail(form, QStringLiteral("Product ID"), "lProduct");
    lVersion = AddDetail(form, QStringLiteral("Version"), "lVersion");
    lFormat = AddDetail(form, QStringLiteral("Formats"), "lFormat");
    // One format a line: the lines are broken where the formats end, never inside one, and the
    // dialog grows to show them all.
    lFormat->setMinimumSize(
        lFormat->fontMetrics().horizontalAdvance(QStringLiteral("11.025 kHz, Stereo, 16-bit")),
        int(kFormatTexts.size()) * lFormat->fontMetrics().lineSpacing());
    lFormat->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lChannels = AddDetail(form, QStringLiteral("Channels"), "lChannels");

    auto* supportsPanel = new QFrame(this);
    supportsPanel->setObjectName(QStringLiteral("SupportsPanel"));
    supportsPanel->setFrameShape(QFrame::StyledPanel);
    auto* supportsLayout = new QVBoxLayout(supportsPanel);
    lSupports = new QLabel(supportsPanel);
    lSupports->setObjectName(QStringLiteral("lSupports"));
    lSupports->setWordWrap(true);
    lSupports->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    supportsLayout->addWidget(lSupports);

    auto* right = new QVBoxLayout;
    right->addWidget(details, 1);
    right->addWidget(supportsPanel);

    auto* top = new QHBoxLayout;
    top->addWidget(ListBox1);
    top->addLayout(right, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);

    // The devices as they are now: one plugged in since the last time is listed.
    FillList();
    // A dialog frame: sized by what it shows, not by the user.
    setFixedSize(sizeHint().expandedTo(QSize(kClientWidth, kClientHeight)));
    // Centred on the screen, not on the window that opened it.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

QLabel* TMyAudioDeviceDlg::AddDetail(QFormLayout* layout, const QString& caption,
                                     const char* name) {
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* label = new QLabel(caption, this);
    label->setBuddy(value);
    value->setAccessibleName(caption);
    layout->addRow(label, value);
    return value;
}

void TMyAudioDeviceDlg::FillList() {
    // Only wave output devices exist on this platform, whatever the use.
    Q_UNUSED(m_use);
    const int count = WaveOutDevices::count();
    if (count < 1) {
        return;
    }
    setWindowTitle(QStringLiteral("Audio Destination Device ID"));
    auto* mapper = new QListWidgetItem(kMapperItem, ListBox1);
    mapper->setData(kDeviceRole, WaveOutDevices::kDefaultDevice);
    int selectRow = 0;
    for (int device = 0; device < count; ++device) {
        WaveOutCaps caps;
        if (WaveOutDevices::getCaps(device, &caps) != MMSYSERR_NOERROR || caps.formats == 0) {
            continue;
        }
        auto* item = new QListWidgetItem(caps.name, ListBox1);
        item->setData(kDeviceRole, device);
        QAudioDevice full;
        if (WaveOutDevices::device(device, &full)) {
            item->setToolTip(full.description());
        }
        if (device == m_deviceId) {
            selectRow = ListBox1->count() - 1;
        }
    }
    // Wide enough for the longest name, so that no name is cut.
    int widest = 0;
    for (int row = 0; row < ListBox1->count(); ++row) {
        widest =
            qMax(widest, ListBox1->fontMetrics().horizontalAdvance(ListBox1->item(row)->text()));
    }
    const int chrome = 2 * ListBox1->frameWidth() +
                       ListBox1->verticalScrollBar()->sizeHint().width() + kListPadding;
    ListBox1->setFixedWidth(qMax(kListWidth, widest + chrome));
    ListBox1->setCurrentRow(selectRow);
    ListBox1->scrollToItem(ListBox1->currentItem());
}

void TMyAudioDeviceDlg::ShowSelected() {
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item) {
        return;
    }
    const int device = item->data(kDeviceRole).toInt();
    WaveOutCaps caps;
    if (WaveOutDevices::getCaps(device, &caps) != MMSYSERR_NOERROR) {
        return;
    }
    lDeviceID->setText(device == WaveOutDevices::kDefaultDevice ? QStringLiteral("-1 (Wave_mapper)")
                                                                : QString::number(device));
    // The audio server names its devices but gives no maker, product or driver numbers.
    lManufacturer->setText(kNotReported);
    lProduct->setText(kNotReported);
    lVersion->setText(kNotReported);
    lFormat->setText(FormatText(caps.formats));
    lChannels->setText(ChannelsText(caps.channels));
    lSupports->setText(SupportsText(caps.support));
}

int TMyAudioDeviceDlg::DeviceID() const {
    const QListWidgetItem* item = ListBox1->currentItem();
    return item ? item->data(kDeviceRole).toInt() : WaveOutDevices::kDefaultDevice;
}
