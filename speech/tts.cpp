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
    explicit TTSNotifySink(TTTS* owner) : owner_(owner) {}
    HRESULT AttribChanged(uint32_t attribute) override {
        Q_EMIT owner_->OnAttribChanged(attribute);
        return S_OK;
    }
    HRESULT AudioStart(uint64_t time) override {
        Q_EMIT owner_->OnAudioStart(time);
        return S_OK;
    }
    HRESULT AudioStop(uint64_t time) override {
        Q_EMIT owner_->OnAudioStop(time);
        return S_OK;
    }
    HRESULT Visual(uint64_t time, QChar ipa, QChar engine, uint32_t hints) override {
        Q_EMIT owner_->OnVisual(time, ipa, engine, hints);
        return S_OK;
    }

  private:
    TTTS* owner_;
};

class TTTS::TTSBufNotifySink : public ITTSBufNotifySink {
  public:
    explicit TTSBufNotifySink(TTTS* owner) : owner_(owner) {}
    HRESULT TextDataDone(uint64_t time, uint32_t flags) override {
        Q_EMIT owner_->OnTextDataDone(time, flags);
        return S_OK;
    }
    HRESULT TextDataStarted(uint64_t time) override {
        Q_EMIT owner_->OnTextDataStarted(time);
        return S_OK;
    }
    HRESULT BookMark(uint64_t time, uint32_t mark) override {
        Q_EMIT owner_->OnBookMark(time, mark);
        return S_OK;
    }
    HRESULT WordPosition(uint64_t time, uint32_t offset) override {
        Q_EMIT owner_->OnWordPosition(time, offset);
        return S_OK;
    }

  private:
    TTTS* owner_;
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
        mode_ = found;
        modeId_ = found.gModeID;
    }
}

TTTS::~TTTS() {
    // Releases everything without completing a wave file: an owner that wants the file
    // complete deactivates first.
    central_.reset();
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
            throw EOleError(kNotImplemented.arg(operation, mode_.szProductName));
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
    if (!active_ || !central_) {
        throw EOleError(kMustBeActive.arg(what));
    }
}

void TTTS::RequireInactive(const QString& property) const {
    if (active_) {
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
            if (outputFile_.isEmpty()) {
                throw EOleError(
                    QStringLiteral("OutputDest of odFile requres a valid path and file name in the "
                                   "OutputFile property"));
            }
            return std::make_unique<WaveFileDestination>(outputFile_.left(511));
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
    if (active == active_) {
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
    Test(enumerator.Select(mode_.gModeID, &central, std::move(destination)));
    ITTSAttributesW* attributes = nullptr;
    if (mode_.dwInterfaces & TTSI_ITTSATTRIBUTES) {
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
    notifySink_ = std::move(notifySink);
    notifyKey_ = key;
    bufSink_ = std::make_unique<TTSBufNotifySink>(this);
    attributes_ = attributes;
    dialogs_ = dialogs;
    central_ = std::move(central);
    paused_ = false;
    active_ = true;
}

void TTTS::Deactivate() {
    HRESULT flushed = S_OK;
    if (OutputDest == odFile && central_ && !central_->destination()->flush()) {
        flushed = TTSERR_DISKERROR;
    }
    if (central_ && notifySink_) {
        central_->UnRegister(notifyKey_);
    }
    attributes_ = nullptr;
    dialogs_ = nullptr;
    central_.reset();
    notifySink_.reset();
    bufSink_.reset();
    active_ = false;
    paused_ = false;
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
    mode_ = found;
    modeId_ = mode;
    modeName_ = found.szModeName;
}

QString TTTS::ModeName() const {
    if (mode_.gModeID.isNull()) {
        return {};
    }
    return modeName_ == QStringLiteral("Default") ? modeName_ : mode_.szModeName;
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
        mode_ = found;
        modeName_ = name;
        return;
    }
    const auto& modes = TtsEnumerator::modes();
    const auto it = std::find_if(modes.begin(), modes.end(),
                                 [&](const TTSMODEINFO& m) { return m.szModeName == name; });
    if (it == modes.end()) {
        throw EOleError(kInvalidMode);
    }
    mode_ = *it;
    modeName_ = name;
}

int TTTS::AudioDeviceID() const {
    return audioDevice_ < -1 || audioDevice_ > WaveOutDevices::count() ? -1 : audioDevice_;
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
    audioDevice_ = device;
}

void TTTS::SetOutputFile(const QString& file) {
    outputFile_ = file;
    if (active_ && OutputDest == odFile && central_) {
        if (auto* wave = qobject_cast<WaveFileDestination*>(central_->destination())) {
            wave->setFile(file.left(511));
        }
    }
}

void TTTS::SetCharacterSet(TChrSet charset) {
    const TChrSet previous = charset_;
    charset_ = charset;
    if (!active_ || !central_) {
        return;
    }
    const HRESULT result = central_->TextData(VOICECHARSET(charset), 0, QString(), nullptr);
    if (result != S_OK) {
        charset_ = previous;
        Test(result, CharsetName(charset));
    }
}

void TTTS::SetControlTags(TCtrlTags tags) {
    controlTags_ = ctNone;
    if (tags != ctTagged) {
        return;
    }
    if (!(mode_.dwFeatures & TTSFEATURE_TAGGED)) {
        throw EOleError(
            kNotImplemented.arg(QStringLiteral("Control Tagging"), mode_.szProductName));
    }
    controlTags_ = ctTagged;
}

int TTTS::Pitch() const {
    if (!attributes_) {
        return -1;
    }
    uint16_t pitch = 0;
    const HRESULT result = attributes_->PitchGet(&pitch);
    if (result == E_NOTIMPL) {
        return -1;
    }
    Test(result);
    return pitch;
}

void TTTS::SetPitch(int pitch) {
    if (!attributes_) {
        throw EOleError(kMustBeActive.arg(QStringLiteral("Pitch")));
    }
    const HRESULT result = attributes_->PitchSet(uint16_t(qBound(0, pitch, 0xFFFF)));
    if (result != E_NOTIMPL) {
        Test(result, QStringLiteral("Pitch attribute"));
    }
}

uint32_t TTTS::Speed() const {
    if (!attributes_) {
        return 0;
    }
    uint32_t speed = 0;
    const HRESULT result = attributes_->SpeedGet(&speed);
    if (result == E_NOTIMPL) {
        return 0;
    }
    Test(result);
    return speed;
}

void TTTS::SetSpeed(uint32_t speed) {
    if (!attributes_) {
        throw EOleError(kMustBeActive.arg(QStringLiteral("Speed")));
    }
    const HRESULT result = attributes_->SpeedSet(speed);
    if (result != E_NOTIMPL) {
        Test(result, QStringLiteral("Speed attribute"));
    }
}

int64_t TTTS::Probe(bool pitch, int64_t value, int64_t whenNotImplemented) {
    if (!attributes_) {
        return whenNotImplemented;
    }
    ITTSAttributesW* const a = attributes_;
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

int TTTS::MinPitch() {
    return int(Probe(true, 0, 0));
}
int TTTS::MaxPitch() {
    return int(Probe(true, 0xFFFF, 100));
}
uint32_t TTTS::MinSpeed() {
    return uint32_t(Probe(false, 0, 0));
}
uint32_t TTTS::MaxSpeed() {
    return uint32_t(Probe(false, 0xFFFFFFFFll, 100));
}

void TTTS::RealTimeSet(uint32_t realTime) {
    RequireActive(QStringLiteral("RealTimeSet"));
    if (attributes_) {
        Test(attributes_->RealTimeSet(realTime));
    }
}

void TTTS::SetAudioPaused(bool paused) {
    if (paused == paused_) {
        return;
    }
    RequireActive(QStringLiteral("AudioPaused"));
    Test(paused ? central_->AudioPause() : central_->AudioResume());
    paused_ = paused;
}

void TTTS::AudioReset() {
    RequireActive(QStringLiteral("AudioReset"));
    paused_ = false;
    Test(central_->AudioReset());
}

void TTTS::Speak(const QString& text) {
    RequireActive(QStringLiteral("Speak"));
    Test(
        central_->TextData(VOICECHARSET(charset_),
                           controlTags_ == ctTagged ? TTSDATAFLAG_TAGGED : 0, text, bufSink_.get()),
        QStringLiteral("Speak method failed.  ") + CharsetName(charset_));
}

void TTTS::Inject(const QString& text) {
    RequireActive(QStringLiteral("Inject"));
    Test(central_->Inject(text.left(511)), QStringLiteral("The Inject function"));
}

QString TTTS::ConvertToPhoneme(TChrSet charset, uint32_t flags, const QString& text) {
    RequireActive(QStringLiteral("ConvertToPhoneme"));
    QString phonemes;
    Test(central_->Phoneme(VOICECHARSET(charset), flags, text, &phonemes),
         QStringLiteral("ConvertToPhoneme method failed.  ") + CharsetName(charset));
    return phonemes;
}

void TTTS::ShowDlg(const QString& kind, QObject*, const QString&) {
    RequireActive(QStringLiteral("Show") + kind + QStringLiteral("Dlg"));
    HRESULT result = S_OK;
    switch (kind.isEmpty() ? 0 : int(kind.at(0).toUpper().unicode())) {
        case 'A':
            result = dialogs_->AboutDlg();
            break;
        case 'L':
            result = dialogs_->LexiconDlg();
            break;
        case 'G':
            result = dialogs_->GeneralDlg();
            break;
        case 'T':
            result = dialogs_->TranslateDlg();
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
