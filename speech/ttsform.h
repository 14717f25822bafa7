#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

#include "platform/shell/outcome.h"
#include "platform/shell/usermessage.h"
#include "speech/soundcardgate.h"
#include "speech/tts.h"
#include "speech/voicecatalogue.h"
#include "text/ttsfilestream.h"
#include "text/ttsfilter.h"

class TPreferences;

// The speaking driver: owns the speech component, the voice catalogue and the text filter,
// speaks texts and large files (chunk by chunk) with a named voice on the sound card or into a
// wave file, reports each spoken word, and reports the end of a reading 500 ms after its audio
// stopped. A reading whose sound device fails, or whose engine goes quiet, ends as an error
// instead. It has no window: what goes wrong is returned or signalled with the message that
// says why, and the caller shows it.
class TTTSForm : public QObject {
    Q_OBJECT
  public:
    static constexpr int kCompletionDelayMs = 500;
    static const QString kSoundCardBusyText;
    static const QString kAudioDeviceCheckFailedText;
    // A reading whose engine gives neither a word nor audio for this long has stalled.
    static constexpr int kQuietLimitMs = 30000;

    explicit TTTSForm(TPreferences& prefs, QObject* parent = nullptr);
    ~TTTSForm() override;

    void Initialize() { Catalogue.Initialize(m_prefs); }
    void LoadVoiceSettings() { Catalogue.LoadVoiceSettings(m_prefs); }
    void SaveVoiceSettings() { Catalogue.SaveVoiceSettings(m_prefs); }
    TVoiceEntry* FindVoice(const QString& name) const { return Catalogue.FindVoice(name); }
    TVoiceEntry* FindEnglishVoice() const { return Catalogue.FindEnglishVoice(); }

    // Each answers the message of its failure; nothing has started then. A failure without a
    // message needs no telling (the user declined to go on, the file had nothing to read).
    Outcome Play(const QString& voiceName);
    Outcome PlayToFileInit(const QString& voiceName, const QString& wavePath);
    Outcome PlayText(const QString& text, const QString& voiceName);
    Outcome PlayFile(const QString& path, const QString& voiceName);
    Outcome PlayTextToFile(const QString& voiceName, const QString& text);
    Outcome PlayFileToFile(const QString& voiceName, const QString& path);
    void Pause();
    void Resume();
    // Ends the reading in progress; its completion follows as for a reading that ran out.
    void StopAudio();
    // Ends the reading in progress; no completion follows.
    void CancelReading();
    // Whether a reading has started and not yet ended.
    bool Reading() const { return m_reading; }
    // How long the engine may stay quiet (no word, no audio, not paused) before the reading
    // fails; tests shorten it.
    void SetQuietLimit(int ms);
    // Whether the speech component can be made active on the sound card with that device;
    // tells the user why not. The component is left inactive with its own device.
    bool CheckAudioDevice(int deviceId);
    void ApplyPitch(const TVoiceEntry& voice);
    // What the window is to tell after the pronunciation editor was asked for: nothing (an
    // empty text), or why it could not open.
    struct EditorMessage {
        UserMessage::Kind kind = UserMessage::Kind::Error;
        QString text;
    };
    // Opens the pronunciation lexicon dialog with a voice to try entries with; nothing while a
    // reading is in progress. What stands in its way is returned for the window to show.
    [[nodiscard]] EditorMessage LaunchPronunciationEditor(QObject* window, const QString& title);
    static const QString kLexiconActivationFailed;
    void ApplySpeed(const TVoiceEntry& voice);

    TTTS TTS1;
    VoiceCatalogue Catalogue;
    TTTSFilter Filter;
    TTTSFileStream* Reader() const { return m_reader.get(); }
    TVoiceEntry* CurrentVoice = nullptr;
    int ReadingTarget = 0;

    // Replaces what the driver asks before a reading about the sound device.
    void SetSoundCardGate(std::unique_ptr<SoundCardGate> gate);
    QTimer Timer1;

  Q_SIGNALS:
    // Once after a reading has ended (500 ms after its audio stopped).
    void OnComplete();
    // Once, instead of the completion, when a reading ends by a failure after it has started
    // (the sound device went away, the wave file cannot be written, the engine went quiet),
    // with the text that says why.
    void OnError(const QString& message);
    // For every spoken word: its position in the text handed over (for a large file, in the
    // file's bytes) and the file's size in bytes (0 for a text).
    void OnWordPosition(int64_t position, int64_t fileSize);
    // With each OnWordPosition: when the word's audio starts (the engine's time stamp, in 100 ns
    // units of audio written since the speech component was made active, however fast it was
    // written) and where the word stands in the text as given, before filtering (for a large
    // file, in the characters of its chunks as OnChunkText handed them out, one after another).
    void OnWordTimed(uint64_t timeStamp, int64_t textPosition);
    // A large file's chunk as it is handed to the engine, before filtering.
    void OnChunkText(const QString& text);
    // The information about which voices the lexicon affects is wanted: a receiver shows it
    // modally before returning.
    void OnPronEditorInfo();

  private:
    bool PronunciationEngineReady(TEngineEntry** engine, EditorMessage* message);
    TVoiceEntry* PronunciationVoice(const TEngineEntry* engine) const;
    Outcome SoundCardReady();
    bool Activate(TVoiceEntry* voice, const char* failure);
    void SpeakChunk(const QByteArray& chunk, bool first);
    Outcome StartFile(const QString& path, bool logErrors);
    void WordPositionHandler(uint64_t timeStamp, uint32_t byteOffset);
    void AudioStopHandler();
    // At an audio stop of a large file before its end: queues the next chunk, or ends the
    // reading when that fails (true); false when the file has nothing more.
    bool SpeakNextChunkAfterStop();
    // The chunk queued behind the current one becomes the current one.
    void MoveToNextChunk(TTTSFileStream& reader);
    // A position in the current chunk's text as a byte offset in the file.
    static int64_t FilePosition(const TTTSFileStream& reader, int64_t position);
    void Timer1Timer();
    // A failure of the sound device or of the wave file ends the reading as an error.
    void WatchDestination();
    void BeginReading();
    void EndReading();
    // Ends the reading in progress as an error: its audio is discarded, OnError is raised.
    void FailReading(const QString& message);
    // Samples the engine has produced and played so far: grows while it is not quiet.
    int64_t AudioProgress() const;
    void CheckProgress();

    TPreferences& m_prefs;
    std::unique_ptr<SoundCardGate> m_gate;
    bool m_completionWanted = true;  // cleared by CancelReading
    std::unique_ptr<TTTSFileStream> m_reader;
    // The filter's changes of the chunk being spoken and of the one queued behind it: the
    // filter itself holds those of the latest chunk filtered.
    TOffsetList m_currentOffsets;
    TOffsetList m_nextOffsets;
    int64_t m_fileSize = 0;
    bool m_reading = false;
    bool m_lexiconOpen = false;  // what the lexicon dialog speaks is no reading
    bool m_stopSeen = false;     // an audio stop has arrived since StopAudio began
    bool m_discarding = false;   // the audio stop of a failed reading's reset completes nothing
    int m_quietLimitMs = kQuietLimitMs;
    QTimer m_progressTimer;   // samples the engine's progress while a reading is in progress
    QElapsedTimer m_quiet;    // since the last word or audio
    int64_t m_lastAudio = 0;  // AudioProgress at the last sample
};
