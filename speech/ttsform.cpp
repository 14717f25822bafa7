#include "speech/ttsform.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "platform/speechapi/soundcarddestination.h"
#include "platform/speechapi/wavefiledestination.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "settings/preferences.h"
#include "speech/eoleerror.h"
#include "speech/espeecherror.h"
#include "text/textfile.h"

namespace {

// The pacing of a wave file is the low word of its setting.
constexpr uint32_t kRealTimeMask = 0xFFFF;

QString NoSuchVoice(const QString& voiceName) {
    return QStringLiteral("Voice ") + voiceName + QStringLiteral(" does not exist");
}

QString ErrorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

// How often a reading's progress is sampled: often enough to notice a stall soon after the
// limit, at most once a second.
int SampleInterval(int quietLimitMs) {
    return qBound(10, quietLimitMs / 10, 1000);
}

}  // namespace

const QString TTTSForm::kSoundCardBusyText =
    QStringLiteral("Sound card is busy.  Wait and try again.");
const QString TTTSForm::kAudioDeviceCheckFailedText = QStringLiteral(
    "Audio device check failed. \rVerify that the device you have selected is a valid audio "
    "device\r\rPlease contact Halcyx Support if you're having problems");

TTTSForm::TTTSForm(TPreferences& prefs, QObject* parent)
    : QObject(parent), TTS1(this), m_prefs(prefs), m_gate(std::make_unique<SoundCardGate>()) {
    TTS1.Tag = 0;
    // Device numbers follow the audio server's list: a device unplugged since the last run
    // leaves its number pointing at nothing, and the default device takes over.
    QAudioDevice stored;
    if (prefs.TTS_AudioDeviceID != WaveOutDevices::kDefaultDevice && WaveOutDevices::count() > 0 &&
        !WaveOutDevices::device(prefs.TTS_AudioDeviceID, &stored)) {
        debugLog(QStringLiteral("Audio device ") + QString::number(prefs.TTS_AudioDeviceID) +
                 QStringLiteral(" no longer exists: using the default device"));
        prefs.TTS_AudioDeviceID = WaveOutDevices::kDefaultDevice;
    }
    try {
        TTS1.SetAudioDeviceID(prefs.TTS_AudioDeviceID);
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Audio device ") + QString::number(prefs.TTS_AudioDeviceID) +
                 QStringLiteral(" not available: ") + ErrorText(error));
    }
    connect(&TTS1, &TTTS::OnAudioStop, this, &TTTSForm::AudioStopHandler);
    connect(&TTS1, &TTTS::OnWordPosition, this, [this](uint64_t timeStamp, uint32_t offset) {
        WordPositionHandler(timeStamp, offset);
    });
    Timer1.setSingleShot(true);
    Timer1.setInterval(kCompletionDelayMs);
    connect(&Timer1, &QTimer::timeout, this, &TTTSForm::Timer1Timer);
    m_progressTimer.setInterval(SampleInterval(m_quietLimitMs));
    connect(&m_progressTimer, &QTimer::timeout, this, &TTTSForm::CheckProgress);
}

TTTSForm::~TTTSForm() {
    // The engine may still report a word while it is torn down (its audio output lets timers
    // run as it closes): nothing of this form, whose filter goes first, may hear it.
    QObject::disconnect(&TTS1, nullptr, this, nullptr);
    Timer1.stop();
    m_progressTimer.stop();
}

void TTTSForm::SetSoundCardGate(std::unique_ptr<SoundCardGate> gate) {
    m_gate = std::move(gate);
}

void TTTSForm::SetQuietLimit(int ms) {
    m_quietLimitMs = qMax(1, ms);
    m_progressTimer.setInterval(SampleInterval(m_quietLimitMs));
}

Outcome TTTSForm::SoundCardReady() {
    const SoundCardGate::State state = m_gate->check(TTS1);
    if (state == SoundCardGate::State::Busy) {
        debugLog(QStringLiteral("Detected Sound Card Busy"));
        return Outcome::failure(kSoundCardBusyText);
    }
    if (state == SoundCardGate::State::Failed && m_prefs.TTS_SoundCardCheckErr &&
        !m_gate->proceedAfterFailedCheck()) {
        return Outcome::failure(QString());  // the user chose not to go on: nothing to show
    }
    return Outcome::success();
}

bool TTTSForm::CheckAudioDevice(int deviceId) {
    const int previousDevice = TTS1.AudioDeviceID();
    const TOutputDest previousDest = TTS1.OutputDest;
    const QString previousFile = TTS1.OutputFile();
    bool active = false;
    try {
        // The sound card with the device under test: a wave file of an earlier reading is
        // never opened again by the check.
        TTS1.SetActive(false);
        TTS1.OutputDest = odAudioDevice;
        TTS1.SetOutputFile(QString());
        if (TTS1.ModeID().isNull()) {
            TVoiceEntry* voice = FindVoice(m_prefs.TTS_DefaultVoiceName);
            if (!voice && !Catalogue.voiceList.empty()) {
                voice = Catalogue.voiceList.front().get();
            }
            if (voice) {
                TTS1.SetModeID(voice->ModeID);
            }
        }
        TTS1.SetAudioDeviceID(deviceId);
        TTS1.SetActive(true);
        active = TTS1.Active();
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
    } catch (...) {
        UserMessage::showError(QStringLiteral("Audio Device check failed"));
    }
    if (!active) {
        UserMessage::show(kAudioDeviceCheckFailedText);
    }
    try {
        TTS1.SetActive(false);
        TTS1.SetAudioDeviceID(previousDevice);
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Audio device check: ") + ErrorText(error));
    }
    TTS1.OutputDest = previousDest;
    TTS1.SetOutputFile(previousFile);
    return active;
}

bool TTTSForm::Activate(TVoiceEntry* voice, const char* failure) {
    TTS1.SetModeID(voice->ModeID);
    TTS1.SetActive(true);
    if (!TTS1.Active()) {
        throw EOleError(QString::fromLatin1(failure));
    }
    TTS1.SetPitch(voice->Pitch);
    TTS1.SetSpeed(uint32_t(qMax(0, voice->Speed)));
    return true;
}

Outcome TTTSForm::Play(const QString& voiceName) {
    try {
        TTS1.SetActive(false);
        TTS1.OutputDest = odAudioDevice;
        TTS1.SetOutputFile(QString());
    } catch (const std::exception& error) {
        return Outcome::failure(ErrorText(error));
    }
    TVoiceEntry* voice = FindVoice(voiceName);
    if (Outcome ready = SoundCardReady(); !ready) {
        return ready;
    }
    if (!voice) {
        return Outcome::failure(NoSuchVoice(voiceName));
    }
    try {
        if (voice->Speed < 1) {
            Catalogue.ReadVoiceLimits(*voice);
        }
        Activate(voice, "TTS Activation failed in Play");
    } catch (const std::exception& error) {
        return Outcome::failure(ErrorText(error));
    }
    WatchDestination();
    return Outcome::success();
}

void TTTSForm::WatchDestination() {
    ITTSCentralW* central = TTS1.EngineObject();
    AudioDestination* destination = central ? central->destination() : nullptr;
    // Queued: the reading is ended from the event loop, not from inside the destination's own
    // work; a report of a destination that a later activation has replaced is dropped.
    const auto fail = [this,
                       watched = QPointer<AudioDestination>(destination)](const QString& message) {
        const ITTSCentralW* current = TTS1.EngineObject();
        if (watched && current && current->destination() == watched) {
            FailReading(message);
        }
    };
    if (auto* device = qobject_cast<SoundCardDestination*>(destination)) {
        connect(device, &SoundCardDestination::deviceFailed, this, fail, Qt::QueuedConnection);
    } else if (auto* wave = qobject_cast<WaveFileDestination*>(destination)) {
        connect(wave, &WaveFileDestination::writeFailed, this, fail, Qt::QueuedConnection);
    }
}

Outcome TTTSForm::PlayToFileInit(const QString& voiceName, const QString& wavePath) {
    try {
        TTS1.SetActive(false);
        TTS1.OutputDest = odFile;
        TTS1.SetOutputFile(wavePath);
    } catch (const std::exception& error) {
        return Outcome::failure(ErrorText(error));
    }
    // A file is written without a sound device: whether one is there, busy or reachable at all
    // is not asked.
    TVoiceEntry* voice = FindVoice(voiceName);
    if (!voice) {
        return Outcome::failure(NoSuchVoice(voiceName));
    }
    try {
        if (voice->Speed < 1) {
            Catalogue.ReadVoiceLimits(*voice);
        }
        const QString folder = QFileInfo(wavePath).path();
        if (folder.trimmed().isEmpty() || wavePath.trimmed().isEmpty()) {
            return Outcome::failure(QStringLiteral("Output Directory must be specified"));
        }
        if (!QFileInfo(folder).isDir()) {
            return Outcome::failure(QStringLiteral("Output Directory ") + folder +
                                    QStringLiteral(" is not valid"));
        }
        Activate(voice, "TTS Activation failed in PlayToFileInit");
    } catch (const std::exception& error) {
        return Outcome::failure(ErrorText(error));
    }
    WatchDestination();
    const uint32_t rate = uint32_t(m_prefs.TTS_WaveConvRate) & kRealTimeMask;
    try {
        TTS1.RealTimeSet(rate);
    } catch (const std::exception&) {
        debugLog(QStringLiteral("Exception setting real time property to ") +
                 QString::number(m_prefs.TTS_WaveConvRate));
    }
    return Outcome::success();
}

Outcome TTTSForm::PlayText(const QString& text, const QString& voiceName) {
    if (Outcome played = Play(voiceName); !played) {
        return played;
    }
    CurrentVoice = FindVoice(voiceName);
    TTS1.Speak(
        Filter.FilterText(CurrentVoice->Engine->FilterFlags, text, m_prefs.TTS_FilterSymbols));
    BeginReading();
    return Outcome::success();
}

void TTTSForm::SpeakChunk(const QByteArray& chunk, bool first) {
    const QString text = TextFile::decode(chunk);
    // Positions count characters of the text as spoken, not bytes of the file; the file bytes
    // each chunk stands for measure the progress against the file's size.
    const int unit = m_reader->WideUnitBytes();
    (first ? m_reader->CurrentBufferSize : m_reader->NextBufferSize) = text.size();
    (first ? m_reader->CurrentFileBytes : m_reader->NextFileBytes) =
        unit > 0 ? text.size() * unit : chunk.size();
    const QString filtered =
        Filter.FilterText(CurrentVoice->Engine->FilterFlags, text, m_prefs.TTS_FilterSymbols);
    (first ? m_currentOffsets : m_nextOffsets) = Filter.Offsets;
    Q_EMIT OnChunkText(text);
    TTS1.Speak(filtered);
}

Outcome TTTSForm::StartFile(const QString& path, bool logErrors) {
    QString failure;
    try {
        m_reader = std::make_unique<TTTSFileStream>(path);
        m_fileSize = QFileInfo(path).size();
        QByteArray chunk;
        if (m_reader->ReadChunk(chunk) > 0) {
            SpeakChunk(chunk, true);
            return Outcome::success();
        }
    } catch (const std::exception& error) {
        failure = ErrorText(error);
        if (logErrors) {
            debugLog(failure);
        }
    }
    m_reader.reset();
    return Outcome::failure(failure);  // empty: a file with nothing to read ends quietly
}

Outcome TTTSForm::PlayFile(const QString& path, const QString& voiceName) {
    if (Outcome played = Play(voiceName); !played) {
        return played;
    }
    CurrentVoice = FindVoice(voiceName);
    if (Outcome started = StartFile(path, false); !started) {
        CurrentVoice = nullptr;
        return started;
    }
    BeginReading();
    return Outcome::success();
}

Outcome TTTSForm::PlayTextToFile(const QString& voiceName, const QString& text) {
    CurrentVoice = FindVoice(voiceName);
    try {
        TTS1.Speak(Filter.FilterText(CurrentVoice ? CurrentVoice->Engine->FilterFlags : 0, text,
                                     m_prefs.TTS_FilterSymbols));
    } catch (const std::exception& error) {
        // Nothing was handed to the engine, so no completion follows: the reading has failed.
        debugLog(ErrorText(error));
        CurrentVoice = nullptr;
        return Outcome::failure(ErrorText(error));
    }
    BeginReading();
    return Outcome::success();
}

Outcome TTTSForm::PlayFileToFile(const QString& voiceName, const QString& path) {
    CurrentVoice = FindVoice(voiceName);
    if (Outcome started = StartFile(path, true); !started) {
        CurrentVoice = nullptr;
        return started;
    }
    BeginReading();
    return Outcome::success();
}

void TTTSForm::Pause() {
    try {
        TTS1.SetAudioPaused(true);
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Pause Exception: ") + ErrorText(error));
    }
}

void TTTSForm::Resume() {
    try {
        TTS1.SetAudioPaused(false);
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Resume Exception: ") + ErrorText(error));
    }
}

void TTTSForm::CancelReading() {
    m_completionWanted = false;
    StopAudio();
}

void TTTSForm::StopAudio() {
    // The reader goes first: the audio stop that the reset raises then ends the reading instead
    // of fetching the file's next chunk.
    m_reader.reset();
    m_stopSeen = false;
    TTS1.AudioReset();
    if (m_reading && !m_stopSeen) {
        // No audio had started, so no audio stop follows: the reading ends here.
        AudioStopHandler();
    }
}

void TTTSForm::ApplyPitch(const TVoiceEntry& voice) {
    if (TTS1.Active() && TTS1.ModeName() == voice.Name) {
        TTS1.Inject(QStringLiteral("\\Pit=") + QString::number(voice.Pitch) + QLatin1Char('\\'));
    }
}

void TTTSForm::ApplySpeed(const TVoiceEntry& voice) {
    if (TTS1.Active() && TTS1.ModeName() == voice.Name) {
        TTS1.Inject(QStringLiteral("\\Spd=") + QString::number(voice.Speed) + QLatin1Char('\\'));
    }
}

void TTTSForm::WordPositionHandler(uint64_t timeStamp, uint32_t byteOffset) {
    m_quiet.restart();
    int64_t pos = byteOffset / 2;
    if (TTTSFileStream* reader = m_reader.get()) {
        if (pos < reader->LastPosition) {
            // The engine has started the chunk queued behind the last one.
            reader->NextAllowed = true;
            MoveToNextChunk(*reader);
            if (reader->EndOfFile) {
                debugLog(QStringLiteral("audio complete is true"));
                reader->AudioComplete = true;
            }
        }
        reader->LastPosition = pos;
        if (pos > reader->PrefetchPosition && reader->NextAllowed) {
            reader->NextAllowed = false;
            try {
                QByteArray chunk;
                const int64_t read = reader->ReadChunk(chunk);
                if (read == 0 && reader->EndOfFile) {
                    // Nothing more will be queued: the chunk being spoken is the last.
                    reader->AudioComplete = true;
                }
                if (read > 0) {
                    debugLog(QStringLiteral("Speak %1 %2 %3 %4")
                                 .arg(pos)
                                 .arg(reader->CurrentBufferSize)
                                 .arg(reader->NextBufferSize)
                                 .arg(reader->SpokenTotal));
                    SpeakChunk(chunk, false);
                }
            } catch (const std::exception& error) {
                debugLog(
                    QStringLiteral("Speak exception inside word position handler with error:"));
                FailReading(ErrorText(error));  // the file cannot be read on: the reading ends
                return;
            }
        }
        Q_EMIT OnWordTimed(timeStamp, reader->SpokenTotal + m_currentOffsets.MapPosition(pos));
        pos = FilePosition(*reader, pos);
    } else {
        Q_EMIT OnWordTimed(timeStamp, Filter.MapPosition(pos));
    }
    Q_EMIT OnWordPosition(pos, m_reader ? m_fileSize : 0);
}

void TTTSForm::AudioStopHandler() {
    debugLog(QStringLiteral("AudioStopHandler"));
    m_stopSeen = true;
    if (m_discarding || m_lexiconOpen || TTS1.AudioPaused()) {
        return;
    }
    if (m_reader && !m_reader->AudioComplete && SpeakNextChunkAfterStop()) {
        return;
    }
    CurrentVoice = nullptr;
    m_reader.reset();
    EndReading();
    if (m_completionWanted) {
        Timer1.start();
    }
}

void TTTSForm::MoveToNextChunk(TTTSFileStream& reader) {
    reader.SpokenTotal += reader.CurrentBufferSize;
    reader.SpokenFileBytes += reader.CurrentFileBytes;
    reader.CurrentBufferSize = reader.NextBufferSize;
    reader.CurrentFileBytes = reader.NextFileBytes;
    m_currentOffsets = m_nextOffsets;
}

int64_t TTTSForm::FilePosition(const TTTSFileStream& reader, int64_t position) {
    if (reader.CurrentBufferSize <= 0) {
        return reader.SpokenFileBytes;
    }
    const int64_t within = std::min(position, reader.CurrentBufferSize);
    return reader.SpokenFileBytes + within * reader.CurrentFileBytes / reader.CurrentBufferSize;
}

bool TTTSForm::SpeakNextChunkAfterStop() {
    // The audio stops only when everything handed to the engine has been spoken, also a chunk
    // whose words never reached the point where the next one is fetched (a text without words,
    // or with a character that ends it early).
    TTTSFileStream* reader = m_reader.get();
    if (!reader->NextAllowed) {
        // The queued chunk has been spoken too, though no word of it said so.
        MoveToNextChunk(*reader);
        reader->NextAllowed = true;
    }
    if (reader->EndOfFile) {
        return false;
    }
    QByteArray chunk;
    try {
        if (reader->ReadChunk(chunk) <= 0) {
            return false;  // the end of the file, or a read error the reader has shown
        }
        MoveToNextChunk(*reader);  // the chunk read now takes the current place
        reader->LastPosition = 0;  // the new chunk's positions start again
        debugLog(QStringLiteral("Speak after audio stop %1").arg(reader->SpokenTotal));
        SpeakChunk(chunk, true);
    } catch (const std::exception& error) {
        FailReading(ErrorText(error));
        return true;  // the reading has ended as an error
    }
    m_quiet.restart();
    return true;
}

void TTTSForm::BeginReading() {
    m_reading = true;
    m_completionWanted = true;
    m_quiet.restart();
    m_lastAudio = AudioProgress();
    m_progressTimer.start();
}

void TTTSForm::EndReading() {
    m_reading = false;
    m_progressTimer.stop();
}

void TTTSForm::FailReading(const QString& message) {
    if (!m_reading) {
        return;  // the reading has already ended
    }
    debugLog(message);
    EndReading();
    Timer1.stop();
    m_reader.reset();
    CurrentVoice = nullptr;
    m_discarding = true;
    try {
        if (TTS1.Active()) {
            TTS1.AudioReset();  // the engine stops, and what it still had queued is dropped
        }
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Reset after a failed reading: ") + ErrorText(error));
    }
    m_discarding = false;
    Q_EMIT OnError(message);
}

int64_t TTTSForm::AudioProgress() const {
    const ITTSCentralW* central = TTS1.EngineObject();
    const AudioDestination* destination = central ? central->destination() : nullptr;
    return destination ? destination->written() + destination->played() : 0;
}

void TTTSForm::CheckProgress() {
    if (!m_reading || !TTS1.Active()) {
        EndReading();  // the component was closed under the reading: nothing is left to watch
        return;
    }
    const int64_t audio = AudioProgress();
    if (audio != m_lastAudio || TTS1.AudioPaused()) {
        m_lastAudio = audio;
        m_quiet.restart();
        return;
    }
    if (m_quiet.elapsed() >= m_quietLimitMs) {
        FailReading(QStringLiteral("The reading stopped: the voice %1 gave no speech for %2 "
                                   "seconds.")
                        .arg(CurrentVoice ? CurrentVoice->Name : TTS1.ModeName())
                        .arg(m_quietLimitMs / 1000.0));
    }
}

void TTTSForm::Timer1Timer() {
    Timer1.stop();
    Q_EMIT OnComplete();
}
