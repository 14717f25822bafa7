#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "speech/tts.h"
#include "speech/voicecatalogue.h"
#include "text/ttsfilestream.h"
#include "text/ttsfilter.h"

class TPreferences;

// The speaking driver: owns the speech component, the voice catalogue and the text filter,
// speaks texts and large files (chunk by chunk) with a named voice on the sound card or into a
// wave file, reports each spoken word, and reports the end of a reading 500 ms after its audio
// stopped. It has no window.
class TTTSForm : public QObject {
    Q_OBJECT
  public:
    static constexpr int kCompletionDelayMs = 500;

    explicit TTTSForm(TPreferences& prefs, QObject* parent = nullptr);
    ~TTTSForm() override;

    void Initialize() { Catalogue.Initialize(prefs_); }
    void LoadVoiceSettings() { Catalogue.LoadVoiceSettings(prefs_); }
    void SaveVoiceSettings() { Catalogue.SaveVoiceSettings(prefs_); }
    TVoiceEntry* FindVoice(const QString& name) const { return Catalogue.FindVoice(name); }
    TVoiceEntry* FindEnglishVoice() const { return Catalogue.FindEnglishVoice(); }

    bool Play(const QString& voiceName);
    bool PlayToFileInit(const QString& voiceName, const QString& wavePath);
    bool PlayText(const QString& text, const QString& voiceName);
    bool PlayFile(const QString& path, const QString& voiceName);
    bool PlayTextToFile(const QString& voiceName, const QString& text);
    bool PlayFileToFile(const QString& voiceName, const QString& path);
    void Pause();
    void Resume();
    void StopAudio();
    void ApplyPitch(const TVoiceEntry& voice);
    void ApplySpeed(const TVoiceEntry& voice);

    TTTS TTS1;
    TVoiceCatalogue Catalogue;
    TTTSFilter Filter;
    TTTSFileStream* Reader() const { return reader_.get(); }
    TVoiceEntry* CurrentVoice = nullptr;
    int ReadingTarget = 0;

    // Called once after a reading has ended (500 ms after its audio stopped).
    std::function<void(TTTSForm*)> OnComplete;
    // Called for every spoken word: its position in the text handed over (for a large file, in
    // the file's text) and the file's size in bytes (0 for a text).
    std::function<void(TTTSForm*, int64_t position, int64_t fileSize)> OnWordPosition;
    // The sound card check (0 free, 1 busy, -1 failed) and the dialog that lets the user go on
    // after a failed check (true: proceed).
    std::function<int(int deviceId)> SoundCardCheck;
    std::function<bool()> SoundCardErrorDialog;
    QTimer Timer1;

  private:
    bool SoundCardReady();
    bool Activate(TVoiceEntry* voice, const char* failure);
    void SpeakChunk(const QByteArray& chunk, bool first);
    bool StartFile(const QString& path, bool logErrors);
    void WordPositionHandler(uint32_t byteOffset);
    void AudioStopHandler();
    void Timer1Timer();

    TPreferences& prefs_;
    std::unique_ptr<TTTSFileStream> reader_;
    int64_t fileSize_ = 0;
};
