#include "speech/ttsform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "audio/soundcardcheck.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"
#include "settings/preferences.h"
#include "speech/espeecherror.h"
#include "text/textfile.h"

namespace {

void Log(const QString& text) {
    UtilsClass::WriteDebugLine(text);
}

QString ErrorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

}  // namespace

TTTSForm::TTTSForm(TPreferences& prefs, QObject* parent)
    : QObject(parent), TTS1(this), prefs_(prefs) {
    TTS1.Tag = 0;
    try {
        TTS1.SetAudioDeviceID(prefs.TTS_AudioDeviceID);
    } catch (const std::exception& error) {
        Log(QStringLiteral("Audio device ") + QString::number(prefs.TTS_AudioDeviceID) +
            QStringLiteral(" not available: ") + ErrorText(error));
    }
    TTS1.OnAudioStop = [this](TTTS*, uint64_t) { AudioStopHandler(); };
    TTS1.OnWordPosition = [this](TTTS*, uint64_t, uint32_t offset) { WordPositionHandler(offset); };
    SoundCardCheck = [](int device) { return CheckSoundCard(device); };
    Timer1.setSingleShot(true);
    Timer1.setInterval(kCompletionDelayMs);
    connect(&Timer1, &QTimer::timeout, this, &TTTSForm::Timer1Timer);
}

TTTSForm::~TTTSForm() {
    OnComplete = nullptr;
    OnWordPosition = nullptr;
}

bool TTTSForm::SoundCardReady() {
    const int check = SoundCardCheck ? SoundCardCheck(TTS1.AudioDeviceID()) : 0;
    if (check == 1) {
        Log(QStringLiteral("Detected Sound Card Busy"));
        UserMessage::showError(QStringLiteral("Sound card is busy.  Wait and try again."));
        return false;
    }
    if (check != 0 && prefs_.TTS_SoundCardCheckErr && SoundCardErrorDialog) {
        return SoundCardErrorDialog();
    }
    return true;
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

bool TTTSForm::Play(const QString& voiceName) {
    try {
        TTS1.SetActive(false);
        TTS1.OutputDest = odAudioDevice;
        TTS1.SetOutputFile(QString());
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
        return false;
    }
    TVoiceEntry* voice = FindVoice(voiceName);
    if (!SoundCardReady()) {
        return false;
    }
    if (!voice) {
        UserMessage::showError(QStringLiteral("Voice ") + voiceName +
                               QStringLiteral(" does not exist"));
        return false;
    }
    try {
        if (voice->Speed < 1) {
            Catalogue.ReadVoiceLimits(*voice);
        }
        return Activate(voice, "TTS Activation failed in Play");
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
        return false;
    }
}

bool TTTSForm::PlayToFileInit(const QString& voiceName, const QString& wavePath) {
    try {
        TTS1.SetActive(false);
        TTS1.OutputDest = odFile;
        TTS1.SetOutputFile(wavePath);
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
        return false;
    }
    TVoiceEntry* voice = FindVoice(voiceName);
    if (!voice) {
        UserMessage::showError(QStringLiteral("Voice ") + voiceName +
                               QStringLiteral(" does not exist"));
        return false;
    }
    if (!SoundCardReady()) {
        return false;
    }
    try {
        if (voice->Speed < 1) {
            Catalogue.ReadVoiceLimits(*voice);
        }
        const QString folder = QFileInfo(wavePath).path();
        if (folder.trimmed().isEmpty() || wavePath.trimmed().isEmpty()) {
            UserMessage::showError(QStringLiteral("Output Directory must be specified"));
            return false;
        }
        if (!QFileInfo(folder).isDir()) {
            UserMessage::showError(QStringLiteral("Output Directory ") + folder +
                                   QStringLiteral(" is not valid"));
            return false;
        }
        Activate(voice, "TTS Activation failed in PlayToFileInit");
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
        return false;
    }
    const uint32_t rate = uint32_t(prefs_.TTS_WaveConvRate) & 0xFFFF;
    try {
        TTS1.RealTimeSet(rate);
    } catch (const std::exception&) {
        Log(QStringLiteral("Exception setting real time property to ") +
            QString::number(prefs_.TTS_WaveConvRate));
    }
    return true;
}

bool TTTSForm::PlayText(const QString& text, const QString& voiceName) {
    if (!Play(voiceName)) {
        return false;
    }
    CurrentVoice = FindVoice(voiceName);
    TTS1.Speak(
        Filter.FilterText(CurrentVoice->Engine->FilterFlags, text, prefs_.TTS_FilterSymbols));
    return true;
}

void TTTSForm::SpeakChunk(const QByteArray& chunk, bool first) {
    const QString text = TextFile::Decode(chunk);
    // Positions count characters of the text as spoken, not bytes of the file.
    (first ? reader_->CurrentBufferSize : reader_->NextBufferSize) = text.size();
    TTS1.Speak(
        Filter.FilterText(CurrentVoice->Engine->FilterFlags, text, prefs_.TTS_FilterSymbols));
}

bool TTTSForm::StartFile(const QString& path, bool logErrors) {
    bool spoken = false;
    try {
        reader_ = std::make_unique<TTTSFileStream>(path);
        reader_->ProcessEvents = [] { QCoreApplication::processEvents(); };
        fileSize_ = QFileInfo(path).size();
        QByteArray chunk;
        if (reader_->ReadChunk(chunk) > 0) {
            SpeakChunk(chunk, true);
            spoken = true;
        }
    } catch (const std::exception& error) {
        if (logErrors) {
            Log(ErrorText(error));
        }
        UserMessage::showError(ErrorText(error));
    }
    if (!spoken) {
        reader_.reset();
    }
    return spoken;
}

bool TTTSForm::PlayFile(const QString& path, const QString& voiceName) {
    if (!Play(voiceName)) {
        return false;
    }
    CurrentVoice = FindVoice(voiceName);
    if (!StartFile(path, false)) {
        CurrentVoice = nullptr;
        return false;
    }
    return true;
}

bool TTTSForm::PlayTextToFile(const QString& voiceName, const QString& text) {
    CurrentVoice = FindVoice(voiceName);
    try {
        TTS1.Speak(Filter.FilterText(CurrentVoice ? CurrentVoice->Engine->FilterFlags : 0, text,
                                     prefs_.TTS_FilterSymbols));
    } catch (const std::exception& error) {
        UserMessage::showError(ErrorText(error));
    }
    return true;
}

bool TTTSForm::PlayFileToFile(const QString& voiceName, const QString& path) {
    CurrentVoice = FindVoice(voiceName);
    if (!StartFile(path, true)) {
        CurrentVoice = nullptr;
        return false;
    }
    return true;
}

void TTTSForm::Pause() {
    try {
        TTS1.SetAudioPaused(true);
    } catch (const std::exception& error) {
        Log(QStringLiteral("Pause Exception: ") + ErrorText(error));
    }
}

void TTTSForm::Resume() {
    try {
        TTS1.SetAudioPaused(false);
    } catch (const std::exception& error) {
        Log(QStringLiteral("Resume Exception: ") + ErrorText(error));
    }
}

void TTTSForm::StopAudio() {
    TTS1.AudioReset();
    reader_.reset();
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

void TTTSForm::WordPositionHandler(uint32_t byteOffset) {
    int64_t pos = byteOffset / 2;
    if (TTTSFileStream* reader = reader_.get()) {
        if (pos < reader->LastPosition) {
            // The engine has started the chunk queued behind the last one.
            reader->NextAllowed = true;
            reader->SpokenTotal += reader->CurrentBufferSize;
            reader->CurrentBufferSize = reader->NextBufferSize;
            if (reader->EndOfFile) {
                Log(QStringLiteral("audio complete is true"));
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
                    Log(QStringLiteral("Speak %1 %2 %3 %4")
                            .arg(pos)
                            .arg(reader->CurrentBufferSize)
                            .arg(reader->NextBufferSize)
                            .arg(reader->SpokenTotal));
                    SpeakChunk(chunk, false);
                }
            } catch (const std::exception& error) {
                Log(QStringLiteral("Speak exception inside word position handler with error:"));
                Log(ErrorText(error));
                UserMessage::showError(ErrorText(error));
                return;
            }
        }
        pos += reader->SpokenTotal;
    }
    if (OnWordPosition) {
        OnWordPosition(this, pos, reader_ ? fileSize_ : 0);
    }
}

void TTTSForm::AudioStopHandler() {
    Log(QStringLiteral("AudioStopHandler"));
    if (TTS1.AudioPaused()) {
        return;
    }
    if (reader_ && !reader_->AudioComplete) {
        // A file whose whole text came in the chunk being spoken has nothing more to come.
        const bool nothingQueued = reader_->EndOfFile && reader_->NextAllowed;
        if (!nothingQueued) {
            return;
        }
    }
    CurrentVoice = nullptr;
    reader_.reset();
    if (OnComplete) {
        Timer1.start();
    }
}

void TTTSForm::Timer1Timer() {
    Timer1.stop();
    if (OnComplete) {
        OnComplete(this);
    }
}
