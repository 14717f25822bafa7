#include "app/fileoptionssheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/radiogroup.h"
#include "app/readtofilejob.h"
#include "audio/opusencoder.h"
#include "audio/vorbisencoder.h"
#include "platform/shell/usermessage.h"
#include "settings/preferences.h"

namespace {

const QStringList kQualities = {
    QStringLiteral("16 kbps / 16.0 KHz"),  QStringLiteral("32 kbps / 22.05 KHz"),
    QStringLiteral("40 kbps / 22.05 KHz"), QStringLiteral("48 kbps / 22.05 KHz"),
    QStringLiteral("56 kbps / 44.1 KHz"),  QStringLiteral("64 kbps / 44.1 KHz")};
// Selected before the stored bit rate is looked for.
constexpr int kFirstQuality = 1;
// The bit rate is the number the item begins with.
constexpr int kBitRateDigits = 2;
constexpr int kMp3Item = 1;
constexpr int kVorbisItem = 2;
constexpr int kOpusItem = 3;
// "Write to File Speed": 1x, then 5x up to 50x in steps of 5, then Max.
constexpr int kRateStep = 5;
constexpr int kRateSteps = 10;
const QString kMaxText = QStringLiteral("Max");

}  // namespace

const QString FileOptionsSheet::kMoreInfoText = QStringLiteral(
    "This setting controls the speed at which Quillsong MP3 attempts to save\rto a file.  1x "
    "means reading is done at the same speed as reading aloud.\r10x means reading to file takes "
    "1 tenth the time.\r\rThis setting is configurable because it determines the amount of "
    "cpu\rthe speech engine will use.  At high settings it can cause system wide\rproblems, "
    "particularly if you're actively using other applications.  We\rrecommend using a value of "
    "10, and if you want to increase it, do it\rgradually.\r\rAt the default 10x, reading a "
    "one-hour article to MP3\rtakes six minutes; the "
    "speech engine alone could do it\rin seconds.  Max writes as fast as the engine goes.");

FileOptionsSheet::FileOptionsSheet(TPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("FileOptionsSheet"));
    FileFormatRGrp = new RadioGroup(QStringLiteral("Output File Format"),
                                    {QStringLiteral("Wav"), QStringLiteral("MP3"),
                                     QStringLiteral("Ogg Vorbis"), QStringLiteral("Opus")},
                                    this);
    FileFormatRGrp->setObjectName(QStringLiteral("FileFormatRGrp"));
    AudioQltyCbx = new QComboBox(this);
    AudioQltyCbx->setObjectName(QStringLiteral("AudioQltyCbx"));
    AudioQltyCbx->addItems(kQualities);
    m_qualityLabel = new QLabel(QStringLiteral("MP3 Quality:"), this);
    m_qualityLabel->setBuddy(AudioQltyCbx);
    m_vorbisQuality = new QComboBox(this);
    m_vorbisQuality->setObjectName(QStringLiteral("VorbisQualityCbx"));
    for (const VorbisQuality& quality : kVorbisQualities) {
        m_vorbisQuality->addItem(QStringLiteral("%1 (quality %2)")
                                     .arg(QString::fromLatin1(quality.label))
                                     .arg(quality.level),
                                 quality.level);
    }
    m_opusQuality = new QComboBox(this);
    m_opusQuality->setObjectName(QStringLiteral("OpusQualityCbx"));
    for (const int rate : kOpusBitRates) {
        m_opusQuality->addItem(QStringLiteral("%1 kbps").arg(rate), rate);
    }
    m_hint = new QLabel(QStringLiteral("Hint: Opus at 24 kbps gives speech as clear as MP3 "
                                       "at 64 kbps in a third of the size."),
                        this);
    m_hint->setObjectName(QStringLiteral("FormatHint"));
    m_hint->setWordWrap(true);
    cbxTTSWavRate = new QComboBox(this);
    cbxTTSWavRate->setObjectName(QStringLiteral("cbxTTSWavRate"));
    cbxTTSWavRate->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* rateLabel = new QLabel(QStringLiteral("Write to File Speed:"), this);
    rateLabel->setBuddy(cbxTTSWavRate);
    Button2 = new QPushButton(QStringLiteral("More Info ..."), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    OutDirEdit = new QLineEdit(this);
    OutDirEdit->setObjectName(QStringLiteral("OutDirEdit"));
    auto* dirLabel = new QLabel(QStringLiteral("File Output Directory:"), this);
    dirLabel->setBuddy(OutDirEdit);
    Button1 = new QPushButton(QStringLiteral("Browse"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("Browse for the file output directory"));
    m_subtitles = new QCheckBox(
        QStringLiteral("Write subtitles (SRT) / lyrics (LRC) beside the audio file"), this);
    m_subtitles->setObjectName(QStringLiteral("SubtitlesCheck"));

    // The format on the left; its quality, the hint and the speed beside it; the folder and the
    // subtitles across the bottom.
    auto* layout = new QGridLayout(this);
    layout->addWidget(FileFormatRGrp, 0, 0, 3, 1);
    layout->addWidget(m_qualityLabel, 0, 1);
    // One quality list at a time, the chosen format's.
    auto* qualityLine = new QHBoxLayout;
    qualityLine->addWidget(AudioQltyCbx);
    qualityLine->addWidget(m_vorbisQuality);
    qualityLine->addWidget(m_opusQuality);
    qualityLine->addStretch();
    layout->addLayout(qualityLine, 0, 2);
    layout->addWidget(m_hint, 1, 1, 1, 2);
    layout->addWidget(rateLabel, 2, 1);
    auto* rateLine = new QHBoxLayout;
    rateLine->addWidget(cbxTTSWavRate);
    rateLine->addWidget(Button2);
    rateLine->addStretch();
    layout->addLayout(rateLine, 2, 2);
    layout->addWidget(dirLabel, 3, 0, 1, 3);
    auto* dirLine = new QHBoxLayout;
    dirLine->addWidget(OutDirEdit, 1);
    dirLine->addWidget(Button1);
    layout->addLayout(dirLine, 4, 0, 1, 3);
    layout->addWidget(m_subtitles, 5, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(6, 1);

    // Only a choice of the user writes the format: filling the group at start tells nothing.
    connect(FileFormatRGrp, &RadioGroup::itemChosen, this, [this](int index) {
        m_prefs.OUT_FileFormat = uint8_t(index);
        ShowQualityState();
    });
    connect(AudioQltyCbx, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_prefs.BitRate = AudioQltyCbx->itemText(index).left(kBitRateDigits).toInt();
        }
    });
    connect(m_vorbisQuality, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_prefs.OUT_VorbisQuality = m_vorbisQuality->itemData(index).toInt();
        }
    });
    connect(m_opusQuality, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_prefs.OUT_OpusBitRate = m_opusQuality->itemData(index).toInt();
        }
    });
    connect(OutDirEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_prefs.OUT_Directory = TrimmedDirectory(text); });
    connect(Button1, &QPushButton::clicked, this, &FileOptionsSheet::browseClicked);
    connect(cbxTTSWavRate, &QComboBox::currentIndexChanged, this,
            &FileOptionsSheet::cbxTTSWavRateChange);
    connect(Button2, &QPushButton::clicked, this, &FileOptionsSheet::Button2Click);
    connect(m_subtitles, &QCheckBox::toggled, this,
            [this](bool checked) { m_prefs.OUT_Subtitles = checked; });
    TabSheet2Show();
}

void FileOptionsSheet::Load() {
    FileFormatRGrp->SetItemIndex(m_prefs.OUT_FileFormat);
    {
        const QSignalBlocker quiet(AudioQltyCbx);
        AudioQltyCbx->setCurrentIndex(kFirstQuality);
        for (int i = 0; i < AudioQltyCbx->count(); ++i) {
            if (AudioQltyCbx->itemText(i).left(kBitRateDigits) ==
                QString::number(m_prefs.BitRate)) {
                AudioQltyCbx->setCurrentIndex(i);
            }
        }
    }
    SelectData(m_vorbisQuality, m_prefs.OUT_VorbisQuality, kDefaultVorbisQuality);
    SelectData(m_opusQuality, m_prefs.OUT_OpusBitRate, kDefaultOpusBitRate);
    {
        const QSignalBlocker quiet(OutDirEdit);
        OutDirEdit->setText(m_prefs.OUT_Directory);
    }
    {
        const QSignalBlocker quiet(m_subtitles);
        m_subtitles->setChecked(m_prefs.OUT_Subtitles);
    }
    ShowQualityState();
    TabSheet2Show();
}

void FileOptionsSheet::SetOutputDirectory(const QString& folder) {
    OutDirEdit->setText(folder);
}

void FileOptionsSheet::FocusOutputDirectory() {
    OutDirEdit->setFocus(Qt::OtherFocusReason);
    OutDirEdit->selectAll();
}

QString FileOptionsSheet::TrimmedDirectory(const QString& text) {
    QString folder = text.trimmed();
    // The root folder keeps its separator: without it the path would name no folder.
    if (folder.size() > 1 &&
        (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))) {
        folder.chop(1);
    }
    return folder;
}

QString FileOptionsSheet::RateText(int rate) {
    if (rate == kMaxRate) {
        return kMaxText;
    }
    return QString::number(rate / kRateUnit) + QLatin1Char('x');
}

void FileOptionsSheet::showEvent(QShowEvent* event) {
    TabSheet2Show();
    QWidget::showEvent(event);
}

void FileOptionsSheet::TabSheet2Show() {
    const QSignalBlocker quiet(cbxTTSWavRate);
    if (cbxTTSWavRate->count() == 0) {
        cbxTTSWavRate->addItem(QStringLiteral("1x"));
        for (int i = 1; i <= kRateSteps; ++i) {
            cbxTTSWavRate->addItem(QString::number(kRateStep * i) + QLatin1Char('x'));
        }
        cbxTTSWavRate->addItem(kMaxText);
    }
    cbxTTSWavRate->setCurrentIndex(cbxTTSWavRate->findText(RateText(m_prefs.TTS_WaveConvRate)));
}

void FileOptionsSheet::cbxTTSWavRateChange(int index) {
    if (index < 0) {
        return;
    }
    const QString text = cbxTTSWavRate->itemText(index);
    if (text == kMaxText) {
        m_prefs.TTS_WaveConvRate = kMaxRate;
        return;
    }
    m_prefs.TTS_WaveConvRate = text.chopped(1).toInt() * kRateUnit;
}

void FileOptionsSheet::Button2Click() {
    UserMessage::show(kMoreInfoText);
}

void FileOptionsSheet::ShowQualityState() {
    const int format = FileFormatRGrp->ItemIndex();
    const bool mp3 = format == kMp3Item;
    AudioQltyCbx->setVisible(format != kVorbisItem && format != kOpusItem);
    m_vorbisQuality->setVisible(format == kVorbisItem);
    m_opusQuality->setVisible(format == kOpusItem);
    m_qualityLabel->setText(format == kVorbisItem || format == kOpusItem
                                ? ReadToFileJob::FormatName(uint8_t(format)) +
                                      QStringLiteral(" Quality:")
                                : QStringLiteral("MP3 Quality:"));
    m_qualityLabel->setBuddy(format == kVorbisItem ? m_vorbisQuality
                             : format == kOpusItem ? m_opusQuality
                                                   : AudioQltyCbx);
    // WAV has no quality: the MP3 list stays in sight, dimmed.
    m_qualityLabel->setEnabled(format != OutputFormat::Wav);
    AudioQltyCbx->setEnabled(mp3);
}

void FileOptionsSheet::SelectData(QComboBox* list, int value, int fallback) {
    const QSignalBlocker quiet(list);
    const int index = list->findData(value);
    list->setCurrentIndex(index >= 0 ? index : list->findData(fallback));
}
