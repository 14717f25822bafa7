#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/speechapi.h"
#include "platform/speechapi/synthengine.h"

// One activated mode: speaks the texts handed to TextData in order on a thread of its own,
// into its audio destination, and reports on the thread that created it: text started and
// done, each word when its audio is reached, audio start and stop. It also answers pitch,
// speed, pacing and volume (the attributes) and, having no dialogs, "not implemented" for them.
class TtsCentral : public QObject,
                   public ITTSCentralW,
                   public ITTSAttributesW,
                   public ITTSDialogsW {
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

    // Dialogs: this platform's engines have none.
    HRESULT AboutDlg() override { return E_NOTIMPL; }
    HRESULT GeneralDlg() override { return E_NOTIMPL; }
    HRESULT LexiconDlg() override { return E_NOTIMPL; }
    HRESULT TranslateDlg() override { return E_NOTIMPL; }

    ITTSAttributesW* Attributes() override { return this; }
    ITTSDialogsW* Dialogs() override { return this; }
    AudioDestination* Destination() const override { return destination_.get(); }

  private:
    struct Job {
        uint64_t id;
        QString text;
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

    void Run();  // the synthesis thread
    void Post(const Event& event);
    void Release();
    uint64_t TimeStamp(int64_t sample) const;
    ITTSBufNotifySink* SinkOf(uint64_t job) const { return jobSinks_.value(job, nullptr); }

    SynthEngine* engine_;
    SynthVoice voice_;
    TTSMODEINFO mode_;
    std::unique_ptr<AudioDestination> destination_;
    int rate_;
    SynthParams params_;
    SynthParams min_, max_;
    uint32_t volume_ = 0xFFFFFFFF;

    // Shared with the synthesis thread.
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool stopping_ = false;
    uint64_t generation_ = 0;  // raised by a reset: jobs of older generations are dropped
    bool busy_ = false;
    std::thread thread_;

    // UI thread only.
    uint64_t nextJob_ = 1;
    QHash<uint64_t, ITTSBufNotifySink*> jobSinks_;
    std::deque<Event> pending_;
    QHash<uint32_t, ITTSNotifySinkW*> notifySinks_;
    uint32_t nextKey_ = 1;
    bool audioRunning_ = false;
    uint64_t uiGeneration_ = 0;  // events of texts from before the last reset are dropped
    int outstanding_ = 0;        // texts handed over and not yet done
    QTimer releaseTimer_;
};
