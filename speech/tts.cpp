#include "speech/tts.h"

#include <QMetaMethod>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/soundcarddestination.h"
#include "platform/speechapi/ttsenumerator.h"
#include "platform/speechapi/wavefiledestination.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "speech/eoleerror.h"
#include "speech/espeecherror.h"

bool SpeechAPIPresent = false;
bool TTSEnginesPresent = false;
bool WaveOutPresent = false;

void ProbeSpeechInstallation() {
    SpeechAPIPresent = true;  // the service is part of the program on this platform
    TTSEnginesPresent = !TtsEnumerator::modes().isEmpty();
    WaveOutPresent = WaveOutDevices::count() > 0;
}

namespace {

// The longest output file name the component hands on.
constexpr int kMaxOutputPath = 511;
// A dialog title is passed as wide text of up to 512 characters.
constexpr int kMaxDialogTitle = 512;
constexpr int64_t kHighestPitch = 0xFFFF;
constexpr int64_t kHighestSpeed = 0xFFFFFFFFll;
constexpr int64_t kNoLimit = 0;
constexpr int64_t kFallbackLimit = 100;

const QString kMustBeInactive =
    QStringLiteral("The Active property must be FALSE before you can set the %1 property");
const QString kMustBeActive =
    QStringLiteral("The Active property must be TRUE before the %1 method can be called");
const QString kNotImplemented = QStringLiteral("%1 is not implemented in the %2 engine");
const QString kInvalidMode =
    QStringLiteral("The value assigned to the ModeName property is invalid");

}  // namespace

// Forwards the engine's notifications to the component's events.
class TTTS::TTSNotifySink : public ITTSNotifySinkW {
  public:
    explicit TTSNotifySink(TTTS* owner) : m_owner(owner) {}
    HRESULT AttribChanged(uint32_t attribute) override {
        Q_EMIT m_owner->OnAttribChanged(attribute);
        return S_OK;
    }
    HRESULT AudioStart(uint64_t time) override {
        Q_EMIT m_owner->OnAudioStart(time);
        return S_OK;
    }
    HRESULT AudioStop(uint64_t time) override {
        Q_EMIT m_owner->OnAudioStop(time);
        return S_OK;
    }
    HRESULT Visual(uint64_t time, QChar ipa, QChar engine, uint32_t hints) override {
        Q_EMIT m_owner->OnVisual(time, ipa, engine, hints);
        return S_OK;
    }

  private:
    TTTS* m_owner;
};

class TTTS::TTSBufNotifySink : public ITTSBufNotifySink {
  public:
    explicit TTSBufNotifySink(TTTS* owner) : m_owner(owner) {}
    HRESULT TextDataDone(uint64_t time, uint32_t flags) override {
        Q_EMIT m_owner->OnTextDataDone(time, flags);
        return S_OK;
    }
    HRESULT TextDataStarted(uint64_t time) override {
        Q_EMIT m_owner->OnTextDataStarted(time);
        return S_OK;
    }
    HRESULT BookMark(uint64_t time, uint32_t mark) override {
        Q_EMIT m_owner->OnBookMark(time, mark);
        return S_OK;
    }
    HRESULT WordPosition(uint64_t time, uint32_t offset) override {
        Q_EMIT m_owner->OnWordPosition(time, offset);
        return S_OK;
    }

  private:
    TTTS* m_owner;
};

TTTS::TTTS(QObject* owner) : TSpeechComponent(owner) {
    SpeechAPIPresent = true;
    TtsEnumerator enumerator;
    TTSMODEINFO first;
    uint32_t fetched = 0;
    enumerator.Reset();
    enumerator.Next(1, &first, &fetched);
    TTSEnginesPresent = fetched == 1;
    if (!TTSEnginesPresent) {
        return;
    }
    TTSMODEINFO found;
    if (enumerator.Find({}, nullptr, &found) == S_OK) {
        m_mode = found;
        m_modeId = found.gModeID;
    }
}

TTTS::~TTTS() {
    // Releases everything without completing a wave file: an owner that wants the file
    // complete deactivates first.
    m_central.reset();
}

void TTTS::Test(HRESULT result, const QString& operation) const {
    if (result == S_OK) {
        return;
    }
    const ESpeechError error(result);
    if (operation.isEmpty()) {
        throw error;
    }
    Translate(error, operation);
}

void TTTS::Translate(const ESpeechError& error, const QString& operation) const {
    switch (error.ErrorCode) {
        case 0x80004001:
        case 0x80040208:
            throw EOleError(kNotImplemented.arg(operation, m_mode.szProductName));
        case 0x80040801:
            throw EOleError(QStringLiteral("Lexicon error - Invalid Text Character"));
        case 0x80040802:
            throw EOleError(QStringLiteral("Lexicon error - Invalid Sense"));
        case 0x80040803:
            throw EOleError(QStringLiteral("Lexicon error - Lexicon not found in dictionary"));
        case 0x80040804:
            throw EOleError(QStringLiteral("Lexicon error - Out of Disk Space"));
        case 0x80040805:
            throw EOleError(QStringLiteral("Lexicon error - Invalid Pronouncation error"));
        case 0x00040806:
            throw EOleError(QStringLiteral("Lexicon error - Lexicon already in dictionary"));
        case 0x80040807:
            throw EOleError(QStringLiteral("Lexicon error - Pronounce buffer to small"));
        case 0x80040808:
            throw EOleError(QStringLiteral("Lexicon error - Engine info buffer to small"));
        default:
            throw error;
    }
}

void TTTS::RequireActive(const QString& what) const {
    if (!m_active || !m_central) {
        throw EOleError(kMustBeActive.arg(what));
    }
}

void TTTS::RequireInactive(const QString& property) const {
    if (m_active) {
        throw EOleError(kMustBeInactive.arg(property));
    }
}

QString TTTS::CharsetName(TChrSet charset) const {
    switch (charset) {
        case csText:
            return QStringLiteral("csText");
        case csIPAPhonetic:
            return QStringLiteral("csIPAPhonetic");
        case csEnginePhonetic:
            return QStringLiteral("csEnginePhonetic");
    }
    return {};
}

std::unique_ptr<AudioDestination> TTTS::MakeAudioDest() {
    switch (OutputDest) {
        case odAudioDevice: {
            if (!WaveOutPresent && WaveOutDevices::count() == 0) {
                throw EOleError(QStringLiteral("No wave out devices available on system."));
            }
            auto device = std::make_unique<SoundCardDestination>(AudioDeviceID());
            if (!device->isValid()) {
                throw ESpeechError(AUDERR_BADDEVICEID);
            }
            return device;
        }
        case odFile:
            if (m_outputFile.isEmpty()) {
                throw EOleError(
                    QStringLiteral("OutputDest of odFile requres a valid path and file name in the "
                                   "OutputFile property"));
            }
            return std::make_unique<WaveFileDestination>(m_outputFile.left(kMaxOutputPath));
        case odDirect:
            return nullptr;  // no direct output on this platform
        case odOther: {
            if (!isSignalConnected(QMetaMethod::fromSignal(&TTTS::OnMakeOtherDest))) {
                throw EOleError(QStringLiteral(
                    "An OnMakeOtherDest event must be defined to use an OutputDest of odOther."));
            }
            AudioDestination* made = nullptr;
            Q_EMIT OnMakeOtherDest(made);
            std::unique_ptr<AudioDestination> destination(made);
            if (!destination) {
                throw EOleError(
                    QStringLiteral("OnMakeOtherDest must assign DestInterface parameter"));
            }
            return destination;
        }
    }
    return nullptr;
}

void TTTS::SetActive(bool active) {
    if (active == m_active) {
        return;
    }
    active ? Activate() : Deactivate();
}

void TTTS::Activate() {
    TtsEnumerator enumerator;
    std::unique_ptr<AudioDestination> destination = MakeAudioDest();
    if (!destination) {
        return;
    }
    std::unique_ptr<ITTSCentralW> central;
    Test(enumerator.Select(m_mode.gModeID, &central, std::move(destination)));
    ITTSAttributesW* attributes = nullptr;
    if (m_mode.dwInterfaces & TTSI_ITTSATTRIBUTES) {
        attributes = central->attributes();
        if (!attributes) {
            throw EOleError(
                QStringLiteral("Couldn''t create attributes Interface: Is engine registered?"));
        }
    }
    auto notifySink = std::make_unique<TTSNotifySink>(this);
    uint32_t key = 0;
    if (central->Register(notifySink.get(), &key) != S_OK) {
        notifySink.reset();  // goes on without engine notifications
    }
    ITTSDialogsW* dialogs = central->dialogs();
    if (!dialogs) {
        if (notifySink) {
            central->UnRegister(key);  // nothing stays registered with a mode that failed
        }
        throw EOleError(QStringLiteral("Could''t create TTSDialogs Object. Is it registered?"));
    }
    m_notifySink = std::move(notifySink);
    m_notifyKey = key;
    m_bufSink = std::make_unique<TTSBufNotifySink>(this);
    m_attributes = attributes;
    m_dialogs = dialogs;
    m_central = std::move(central);
    m_paused = false;
    m_active = true;
}

void TTTS::Deactivate() {
    HRESULT flushed = S_OK;
    if (OutputDest == odFile && m_central && !m_central->destination()->flush()) {
        flushed = TTSERR_DISKERROR;
    }
    if (m_central && m_notifySink) {
        m_central->UnRegister(m_notifyKey);
    }
    m_attributes = nullptr;
    m_dialogs = nullptr;
    m_central.reset();
    m_notifySink.reset();
    m_bufSink.reset();
    m_active = false;
    m_paused = false;
    Test(flushed);
}

void TTTS::SetModeID(const QUuid& mode) {
    RequireInactive(QStringLiteral("ModeID"));
    TtsEnumerator enumerator;
    TTSMODEINFO criteria, found;
    criteria.gModeID = mode;
    TTSMODEINFORANK ranks;
    ranks.dwModeID = 10;
    Test(enumerator.Find(criteria, &ranks, &found));
    if (found.gModeID != mode) {
        const auto& modes = TtsEnumerator::modes();
        const auto it = std::find_if(modes.begin(), modes.end(),
                                     [&](const TTSMODEINFO& m) { return m.gModeID == mode; });
        if (it == modes.end()) {
            throw EOleError(kInvalidMode);
        }
        found = *it;
    }
    m_mode = found;
    m_modeId = mode;
    m_modeName = found.szModeName;
}

QString TTTS::ModeName() const {
    if (m_mode.gModeID.isNull()) {
        return {};
    }
    return m_modeName == QStringLiteral("Default") ? m_modeName : m_mode.szModeName;
}

void TTTS::SetModeName(const QString& name) {
    if (name.isEmpty() || !SpeechAPIPresent || !TTSEnginesPresent) {
        return;
    }
    RequireInactive(QStringLiteral("ModeName"));
    const bool isDefault = name == QStringLiteral("Default");
    TtsEnumerator enumerator;
    TTSMODEINFO criteria, found;
    if (!isDefault) {
        criteria.szModeName = name;
    }
    TTSMODEINFORANK ranks;
    ranks.dwModeName = 10;
    Test(enumerator.Find(criteria, &ranks, &found));
    if (isDefault && !found.szModeName.isEmpty()) {
        m_mode = found;
        m_modeName = name;
        return;
    }
    const auto& modes = TtsEnumerator::modes();
    const auto it = std::find_if(modes.begin(), modes.end(),
                                 [&](const TTSMODEINFO& m) { return m.szModeName == name; });
    if (it == modes.end()) {
        throw EOleError(kInvalidMode);
    }
    m_mode = *it;
    m_modeName = name;
}

int TTTS::AudioDeviceID() const {
    return m_audioDevice < -1 || m_audioDevice > WaveOutDevices::count() ? -1 : m_audioDevice;
}

void TTTS::SetAudioDeviceID(int device) {
    if (!WaveOutPresent) {
        return;
    }
    RequireInactive(QStringLiteral("AudioDeviceID"));
    if (device < -1 || device > WaveOutDevices::count()) {
        throw EOleError(QStringLiteral(
            "The value specified for the AudioDeviceID is outside the range of available IDs"));
    }
    m_audioDevice = device;
}

void TTTS::SetOutputFile(const QString& file) {
    m_outputFile = file;
    if (m_active && OutputDest == odFile && m_central) {
        if (auto* wave = qobject_cast<WaveFileDestination*>(m_central->destination())) {
            wave->setFile(file.left(kMaxOutputPath));
        }
    }
}

void TTTS::SetCharacterSet(TChrSet charset) {
    const TChrSet previous = m_charset;
    m_charset = charset;
    if (!m_active || !m_central) {
        return;
    }
    const HRESULT result = m_central->TextData(VOICECHARSET(charset), 0, QString(), nullptr);
    if (result != S_OK) {
        m_charset = previous;
        Test(result, CharsetName(charset));
    }
}

void TTTS::SetControlTags(TCtrlTags tags) {
    m_controlTags = ctNone;
    if (tags != ctTagged) {
        return;
    }
    if (!(m_mode.dwFeatures & TTSFEATURE_TAGGED)) {
        throw EOleError(
            kNotImplemented.arg(QStringLiteral("Control Tagging"), m_mode.szProductName));
    }
    m_controlTags = ctTagged;
}

int TTTS::Pitch() const {
    if (!m_attributes) {
        return -1;
    }
    uint16_t pitch = 0;
    const HRESULT result = m_attributes->PitchGet(&pitch);
    if (result == E_NOTIMPL) {
        return -1;
    }
    Test(result);
    return pitch;
}

void TTTS::SetPitch(int pitch) {
    if (!m_attributes) {
        throw EOleError(kMustBeActive.arg(QStringLiteral("Pitch")));
    }
    const HRESULT result = m_attributes->PitchSet(uint16_t(qBound(0, pitch, 0xFFFF)));
    if (result != E_NOTIMPL) {
        Test(result, QStringLiteral("Pitch attribute"));
    }
}

uint32_t TTTS::Speed() const {
    if (!m_attributes) {
        return 0;
    }
    uint32_t speed = 0;
    const HRESULT result = m_attributes->SpeedGet(&speed);
    if (result == E_NOTIMPL) {
        return 0;
    }
    Test(result);
    return speed;
}

void TTTS::SetSpeed(uint32_t speed) {
    if (!m_attributes) {
        throw EOleError(kMustBeActive.arg(QStringLiteral("Speed")));
    }
    const HRESULT result = m_attributes->SpeedSet(speed);
    if (result != E_NOTIMPL) {
        Test(result, QStringLiteral("Speed attribute"));
    }
}

int64_t TTTS::Probe(bool pitch, int64_t value, int64_t whenNotImplemented) {
    if (!m_attributes) {
        return whenNotImplemented;
    }
    ITTSAttributesW* const a = m_attributes;
    // The engine clamps what it is given; reading back gives its limit.
    if (pitch) {
        uint16_t current = 0, limit = 0;
        if (a->PitchGet(&current) == E_NOTIMPL) {
            return whenNotImplemented;
        }
        a->PitchSet(uint16_t(value));
        a->PitchGet(&limit);
        a->PitchSet(current);
        return limit;
    }
    uint32_t current = 0, limit = 0;
    if (a->SpeedGet(&current) == E_NOTIMPL) {
        return whenNotImplemented;
    }
    a->SpeedSet(uint32_t(value));
    a->SpeedGet(&limit);
    a->SpeedSet(current);
    return limit;
}

// The limits are found by asking for the extreme value and reading back what the engine kept;
// an engine that cannot tell answers the fallback.
int TTTS::MinPitch() {
    return int(Probe(true, 0, kNoLimit));
}
int TTTS::MaxPitch() {
    return int(Probe(true, kHighestPitch, kFallbackLimit));
}
uint32_t TTTS::MinSpeed() {
    return uint32_t(Probe(false, 0, kNoLimit));
}
uint32_t TTTS::MaxSpeed() {
    return uint32_t(Probe(false, kHighestSpeed, kFallbackLimit));
}

void TTTS::RealTimeSet(uint32_t realTime) {
    RequireActive(QStringLiteral("RealTimeSet"));
    if (m_attributes) {
        Test(m_attributes->RealTimeSet(realTime));
    }
}

void TTTS::SetAudioPaused(bool paused) {
    if (paused == m_paused) {
        return;
    }
    RequireActive(QStringLiteral("AudioPaused"));
    Test(paused ? m_central->AudioPause() : m_central->AudioResume());
    m_paused = paused;
}

void TTTS::AudioReset() {
    RequireActive(QStringLiteral("AudioReset"));
    m_paused = false;
    Test(m_central->AudioReset());
}

void TTTS::Speak(const QString& text) {
    RequireActive(QStringLiteral("Speak"));
    Test(m_central->TextData(VOICECHARSET(m_charset),
                             m_controlTags == ctTagged ? TTSDATAFLAG_TAGGED : 0, text,
                             m_bufSink.get()),
         QStringLiteral("Speak method failed.  ") + CharsetName(m_charset));
}

void TTTS::Inject(const QString& text) {
    RequireActive(QStringLiteral("Inject"));
    Test(m_central->Inject(text.left(511)), QStringLiteral("The Inject function"));
}

QString TTTS::ConvertToPhoneme(TChrSet charset, uint32_t flags, const QString& text) {
    RequireActive(QStringLiteral("ConvertToPhoneme"));
    QString phonemes;
    Test(m_central->Phoneme(VOICECHARSET(charset), flags, text, &phonemes),
         QStringLiteral("ConvertToPhoneme method failed.  ") + CharsetName(charset));
    return phonemes;
}

void TTTS::ShowDlg(const QString& kind, QObject* window, const QString& title) {
    RequireActive(QStringLiteral("Show") + kind + QStringLiteral("Dlg"));
    HRESULT result = S_OK;
    switch (kind.isEmpty() ? 0 : int(kind.at(0).toUpper().unicode())) {
        case 'A':
            result = m_dialogs->AboutDlg(window, title.left(kMaxDialogTitle));
            break;
        case 'L':
            result = m_dialogs->LexiconDlg(window, title.left(kMaxDialogTitle));
            break;
        case 'G':
            result = m_dialogs->GeneralDlg(window, title.left(kMaxDialogTitle));
            break;
        case 'T':
            result = m_dialogs->TranslateDlg(window, title.left(kMaxDialogTitle));
            break;
        default:
            return;
    }
    Test(result, QStringLiteral("The Show") + kind + QStringLiteral("Dlg function"));
}

HRESULT ListTTSModeNames(QStringList& names) {
    TtsEnumerator enumerator;
    enumerator.Reset();
    TTSMODEINFO mode;
    uint32_t fetched = 0;
    while (enumerator.Next(1, &mode, &fetched) == S_OK && fetched == 1) {
        names << mode.szModeName;
    }
    return S_OK;
}

QUuid FindTTSModeID(const QString& name) {
    const QString wanted = name.trimmed();
    for (const TTSMODEINFO& mode : TtsEnumerator::modes()) {
        if (mode.szModeName.trimmed() == wanted) {
            return mode.gModeID;
        }
    }
    return {};
}
