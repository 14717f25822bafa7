#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <cstdint>
#include <memory>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/speechapi.h"

class ESpeechError;

enum TOutputDest { odAudioDevice = 0, odFile = 1, odDirect = 2, odOther = 3 };
enum TChrSet { csText = 0, csIPAPhonetic = 1, csEnginePhonetic = 2 };
enum TCtrlTags { ctNone = 0, ctTagged = 1 };
enum TDlgUse { duNone, duTTS, duSR, duVCmd, duVDct, duVTxt };

// Whether the speech service, its engines and a wave output device are there; set by
// ProbeSpeechInstallation at start.
extern bool SpeechAPIPresent;
extern bool TTSEnginesPresent;
extern bool WaveOutPresent;
void ProbeSpeechInstallation();

// A speech component: owns an engine object while it is active.
class TSpeechComponent : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    virtual ITTSCentralW* EngineObject() const = 0;
};

// The program's speech component: selects one engine mode, activates it against the sound
// card or a wave file, speaks text and turns the service's notifications into events. Raises
// ESpeechError for failures of the service and EOleError for misuse.
class TTTS : public TSpeechComponent {
    Q_OBJECT
  public:
    explicit TTTS(QObject* owner = nullptr);
    ~TTTS() override;

    bool Active() const { return m_active; }
    void SetActive(bool active);
    QUuid ModeID() const { return m_modeId; }
    void SetModeID(const QUuid& mode);
    QString ModeName() const;
    void SetModeName(const QString& name);
    const TTSMODEINFO& GetModeInfo() const { return m_mode; }
    int AudioDeviceID() const;
    void SetAudioDeviceID(int device);
    TOutputDest OutputDest = odAudioDevice;
    QString OutputFile() const { return m_outputFile; }
    void SetOutputFile(const QString& file);
    TChrSet CharacterSet() const { return m_charset; }
    void SetCharacterSet(TChrSet charset);
    TCtrlTags ControlTags() const { return m_controlTags; }
    void SetControlTags(TCtrlTags tags);

    int Pitch() const;
    void SetPitch(int pitch);
    uint32_t Speed() const;
    void SetSpeed(uint32_t speed);
    int MinPitch();
    int MaxPitch();
    uint32_t MinSpeed();
    uint32_t MaxSpeed();
    // Pacing of a wave file: at most n/256 times real time, 0 unpaced.
    void RealTimeSet(uint32_t realTime);

    bool AudioPaused() const { return m_paused; }
    void SetAudioPaused(bool paused);
    void AudioReset();
    void Speak(const QString& text);
    void Inject(const QString& text);
    QString ConvertToPhoneme(TChrSet charset, uint32_t flags, const QString& text);
    void ShowDlg(const QString& kind, QObject* window, const QString& title);
    void ShowLexiconDlg(QObject* window, const QString& title) {
        ShowDlg(QStringLiteral("Lexicon"), window, title);
    }
    // The engine object while active, null otherwise.
    ITTSCentralW* EngineObject() const override { return m_central.get(); }

    int Tag = 0;

  Q_SIGNALS:
    // The engine's notifications, raised on the thread that owns the component. Word
    // positions count bytes of the wide text handed to Speak.
    void OnTextDataDone(uint64_t timeStamp, uint32_t flags);
    void OnTextDataStarted(uint64_t timeStamp);
    void OnBookMark(uint64_t timeStamp, uint32_t mark);
    void OnWordPosition(uint64_t timeStamp, uint32_t byteOffset);
    void OnAttribChanged(uint32_t attribute);
    void OnAudioStart(uint64_t timeStamp);
    void OnAudioStop(uint64_t timeStamp);
    void OnVisual(uint64_t timeStamp, QChar ipaPhoneme, QChar enginePhoneme, uint32_t hints);
    // Asked at activation with odOther: a receiver (connected directly) makes the destination,
    // which the component then owns.
    void OnMakeOtherDest(AudioDestination*& destination);

  protected:
    // Makes the audio destination for OutputDest; null when there is none to make.
    virtual std::unique_ptr<AudioDestination> MakeAudioDest();

  private:
    class TTSNotifySink;
    class TTSBufNotifySink;
    void Activate();
    void Deactivate();
    void RequireActive(const QString& what) const;
    void RequireInactive(const QString& property) const;
    [[noreturn]] void Translate(const ESpeechError& error, const QString& operation) const;
    void Test(HRESULT result, const QString& operation = QString()) const;
    QString CharsetName(TChrSet charset) const;
    // Sets and reads back an attribute, leaving the engine as it was.
    int64_t Probe(bool pitch, int64_t value, int64_t whenNotImplemented);

    bool m_active = false;
    bool m_paused = false;
    TTSMODEINFO m_mode;
    QUuid m_modeId;
    QString m_modeName = QStringLiteral("Default");
    int m_audioDevice = -1;
    QString m_outputFile;
    TChrSet m_charset = csText;
    TCtrlTags m_controlTags = ctNone;
    std::unique_ptr<ITTSCentralW> m_central;
    ITTSAttributesW* m_attributes = nullptr;
    ITTSDialogsW* m_dialogs = nullptr;
    std::unique_ptr<TTSNotifySink> m_notifySink;
    std::unique_ptr<TTSBufNotifySink> m_bufSink;
    uint32_t m_notifyKey = 0;
};

// The mode names of all installed modes, in enumeration order; the result of the enumeration.
HRESULT ListTTSModeNames(QStringList& names);
// The identifier of the first mode whose name, without surrounding blanks, equals name.
QUuid FindTTSModeID(const QString& name);
