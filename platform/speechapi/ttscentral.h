#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/lexiconmatcher.h"
#include "platform/speechapi/lexiconspeaker.h"
#include "platform/speechapi/speechapi.h"
#include "platform/speechapi/synthengine.h"

// One activated mode: speaks the texts handed to TextData in order on a thread of its own,
// into its audio destination, and reports on the thread that created it: text started and
// done, each word when its audio is reached, audio start and stop. Every text passes through
// the pronunciation lexicon first; word positions are reported in the text as handed over. It
// also answers pitch, speed, pacing and volume (the attributes), and opens the program's
// lexicon dialog; its other dialogs are "not implemented".
class TtsCentral : public QObject,
                   public ITTSCentralW,
                   public ITTSAttributesW,
                   public ITTSDialogsW,
                   public LexiconSpeaker {
    Q_OBJECT
  public:
    TtsCentral(SynthEngine* engine, const SynthVoice& voice, const TTSMODEINFO& mode,
               std::unique_ptr<AudioDestination> destination);
    ~TtsCentral() override;

    // Central.
    HRESULT TextData(VOICECHARSET charset, uint32_t flags, const QString& text,
                     ITTSBufNotifySink* sink) override;
    HRESULT Inject(const QString& text) override;
    HRESULT AudioPause() override;
    HRESULT AudioResume() override;
    HRESULT AudioReset() override;
    HRESULT Phoneme(VOICECHARSET charset, uint32_t flags, const QString& text,
                    QString* phonemes) override;
    HRESULT Register(ITTSNotifySinkW* sink, uint32_t* key) override;
    HRESULT UnRegister(uint32_t key) override;
    HRESULT ModeGet(TTSMODEINFO* mode) const;

    // Attributes.
    HRESULT PitchGet(uint16_t* pitch) const override;
    HRESULT PitchSet(uint16_t pitch) override;
    HRESULT SpeedGet(uint32_t* speed) const override;
    HRESULT SpeedSet(uint32_t speed) override;
    HRESULT RealTimeGet(uint32_t* realTime) const override;
    HRESULT RealTimeSet(uint32_t realTime) override;
    HRESULT VolumeGet(uint32_t* volume) const override;
    HRESULT VolumeSet(uint32_t volume) override;

    // Dialogs: the lexicon is the program's own, when it has one; the engines have no others.
    HRESULT AboutDlg(QObject*, const QString&) override { return E_NOTIMPL; }
    HRESULT GeneralDlg(QObject*, const QString&) override { return E_NOTIMPL; }
    HRESULT LexiconDlg(QObject* window, const QString& title) override;
    HRESULT TranslateDlg(QObject*, const QString&) override { return E_NOTIMPL; }

    // Speaking for the lexicon dialog.
    void sayWithLexicon(const QString& text) override;
    void sayWithEntries(const QString& text, const LexiconEntries& entries) override;
    void hush() override { AudioReset(); }

    ITTSAttributesW* attributes() override { return this; }
    ITTSDialogsW* dialogs() override { return this; }
    AudioDestination* destination() const override { return m_destination.get(); }

  private:
    struct Job {
        uint64_t id;
        std::shared_ptr<const LexiconText> text;
        ITTSBufNotifySink* sink;
        SynthParams params;
    };
    enum class EventKind { Started, Word, Done };
    struct Event {
        int64_t sample;
        EventKind kind;
        uint64_t job;
        uint32_t byteOffset;
        uint64_t generation;
    };

    void queue(const LexiconMatcher& lexicon, const QString& text, ITTSBufNotifySink* sink);
    const LexiconMatcher& lexicon();
    void run();  // the synthesis thread
    void post(const Event& event);
    void release();
    // Tells every registered listener; false when one of them ended this service meanwhile.
    bool notifyAll(const QPointer<TtsCentral>& alive,
                   HRESULT (ITTSNotifySinkW::*notification)(uint64_t), uint64_t time);
    uint64_t timeStamp(int64_t sample) const;
    ITTSBufNotifySink* sinkOf(uint64_t job) const { return m_jobSinks.value(job, nullptr); }

    SynthEngine* m_engine;
    SynthVoice m_voice;
    TTSMODEINFO m_mode;
    std::unique_ptr<AudioDestination> m_destination;
    int m_rate;
    SynthParams m_params;
    SynthParams m_min, m_max;
    uint32_t m_volume = 0xFFFFFFFF;
    LexiconMatcher m_lexicon;
    uint64_t m_lexiconRevision = 0;
    bool m_lexiconBuilt = false;

    // Shared with the synthesis thread.
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Job> m_queue;
    bool m_stopping = false;
    uint64_t m_generation = 0;  // raised by a reset: jobs of older generations are dropped
    bool m_busy = false;
    std::thread m_thread;

    // UI thread only.
    uint64_t m_nextJob = 1;
    QHash<uint64_t, ITTSBufNotifySink*> m_jobSinks;
    std::deque<Event> m_pending;
    QHash<uint32_t, ITTSNotifySinkW*> m_notifySinks;
    uint32_t m_nextKey = 1;
    bool m_audioRunning = false;
    uint64_t m_uiGeneration = 0;  // events of texts from before the last reset are dropped
    int m_outstanding = 0;        // texts handed over and not yet done
    QTimer m_releaseTimer;
};
