#include "platform/speechapi/ttscentral.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// Scales an attribute value of the interface into an engine range and back.
int Clamp(int64_t value, int low, int high) {
    return int(std::clamp<int64_t>(value, low, high));
}

}  // namespace

TtsCentral::TtsCentral(SynthEngine* engine, const SynthVoice& voice, const TTSMODEINFO& mode,
                       std::unique_ptr<AudioDestination> destination)
    : engine_(engine),
      voice_(voice),
      mode_(mode),
      destination_(std::move(destination)),
      rate_(engine->SampleRate(voice)),
      params_(engine->DefaultParams(voice)),
      min_(engine->MinParams()),
      max_(engine->MaxParams()) {
    releaseTimer_.setInterval(10);
    connect(&releaseTimer_, &QTimer::timeout, this, &TtsCentral::Release);
    thread_ = std::thread([this] { Run(); });
}

TtsCentral::~TtsCentral() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        ++generation_;
        queue_.clear();
    }
    destination_->Reset();
    wake_.notify_all();
    thread_.join();
}

uint64_t TtsCentral::TimeStamp(int64_t sample) const {
    // The service's audio time: 100-nanosecond units from the start of the audio.
    return rate_ > 0 ? uint64_t(sample) * 10000000ull / uint64_t(rate_) : 0;
}

HRESULT TtsCentral::TextData(VOICECHARSET charset, uint32_t, const QString& text,
                             ITTSBufNotifySink* sink) {
    if (charset != CHARSET_TEXT) {
        return E_NOTIMPL;
    }
    const uint64_t id = nextJob_++;
    jobSinks_.insert(id, sink);
    ++outstanding_;
    {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back({id, text, sink, params_});
    }
    wake_.notify_all();
    releaseTimer_.start();
    return S_OK;
}

HRESULT TtsCentral::Inject(const QString& text) {
    // Control tags: "\Pit=n\" and "\Spd=n\" change the voice for the texts that follow.
    static const QRegularExpression tag(QStringLiteral("\\\\(Pit|Spd)=(\\d+)\\\\"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (const auto& match : tag.globalMatch(text)) {
        const int64_t value = match.captured(2).toLongLong();
        if (match.captured(1).compare(QStringLiteral("Pit"), Qt::CaseInsensitive) == 0) {
            PitchSet(uint16_t(qMin<int64_t>(value, 0xFFFF)));
        } else {
            SpeedSet(uint32_t(qMin<int64_t>(value, 0xFFFFFFFF)));
        }
    }
    return S_OK;
}

HRESULT TtsCentral::AudioPause() {
    destination_->Pause(true);
    return S_OK;
}

HRESULT TtsCentral::AudioResume() {
    destination_->Pause(false);
    return S_OK;
}

HRESULT TtsCentral::AudioReset() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        ++generation_;
        queue_.clear();
    }
    destination_->Reset();
    destination_->Pause(false);
    wake_.notify_all();
    ++uiGeneration_;
    pending_.clear();
    jobSinks_.clear();
    outstanding_ = 0;
    Release();  // the audio has stopped: say so
    return S_OK;
}

HRESULT TtsCentral::Phoneme(VOICECHARSET charset, uint32_t, const QString& text,
                            QString* phonemes) {
    if (charset == CHARSET_TEXT || !phonemes) {
        return E_INVALIDARG;
    }
    return engine_->Phonemes(voice_, text, charset == CHARSET_IPAPHONETIC, phonemes) ? S_OK
                                                                                     : E_NOTIMPL;
}

HRESULT TtsCentral::Register(ITTSNotifySinkW* sink, uint32_t* key) {
    if (!sink || !key) {
        return E_INVALIDARG;
    }
    *key = nextKey_++;
    notifySinks_.insert(*key, sink);
    return S_OK;
}

HRESULT TtsCentral::UnRegister(uint32_t key) {
    return notifySinks_.remove(key) ? S_OK : E_INVALIDARG;
}

HRESULT TtsCentral::ModeGet(TTSMODEINFO* mode) const {
    *mode = mode_;
    return S_OK;
}

HRESULT TtsCentral::PitchGet(uint16_t* pitch) const {
    *pitch = uint16_t(params_.Pitch);
    return S_OK;
}

HRESULT TtsCentral::PitchSet(uint16_t pitch) {
    params_.Pitch = Clamp(pitch, min_.Pitch, max_.Pitch);
    return S_OK;
}

HRESULT TtsCentral::SpeedGet(uint32_t* speed) const {
    *speed = uint32_t(params_.Speed);
    return S_OK;
}

HRESULT TtsCentral::SpeedSet(uint32_t speed) {
    params_.Speed = Clamp(speed, min_.Speed, max_.Speed);
    return S_OK;
}

HRESULT TtsCentral::RealTimeGet(uint32_t* realTime) const {
    *realTime = destination_->RealTime();
    return S_OK;
}

HRESULT TtsCentral::RealTimeSet(uint32_t realTime) {
    destination_->SetRealTime(realTime);
    return S_OK;
}

HRESULT TtsCentral::VolumeGet(uint32_t* volume) const {
    *volume = volume_;
    return S_OK;
}

HRESULT TtsCentral::VolumeSet(uint32_t volume) {
    volume_ = volume;
    return S_OK;
}

// Collects one text's audio and words for the destination, with sample positions counted
// from the start of all audio.
class JobSink : public SynthSink {
  public:
    JobSink(AudioDestination* destination, int64_t start, std::function<void(int64_t, int)> word)
        : destination_(destination), start_(start), word_(std::move(word)) {}
    bool Audio(const int16_t* samples, int count) override {
        if (!destination_->Write(samples, count)) {
            return false;
        }
        written_ += count;
        return true;
    }
    void Word(const SynthWord& word) override { word_(start_ + word.Sample, word.Position); }
    int64_t Written() const { return written_; }

  private:
    AudioDestination* destination_;
    int64_t start_;
    std::function<void(int64_t, int)> word_;
    int64_t written_ = 0;
};

void TtsCentral::Run() {
    for (;;) {
        Job job;
        uint64_t generation = 0;
        int64_t start = 0;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            job = queue_.front();
            queue_.pop_front();
            generation = generation_;
        }
        const bool opened = destination_->Open(rate_);
        start = destination_->Written();
        Post({start, EventKind::Started, job.id, 0, generation});
        JobSink sink(destination_.get(), start, [&](int64_t sample, int position) {
            Post({sample, EventKind::Word, job.id, uint32_t(position) * 2, generation});
        });
        if (opened) {
            engine_->Speak(voice_, job.text, job.params, sink);
        }
        destination_->Finish();
        std::lock_guard<std::mutex> guard(lock_);
        if (generation != generation_) {
            continue;  // reset meanwhile: its events are gone with it
        }
        const int64_t end = start + sink.Written();
        Post({end, EventKind::Done, job.id, 0, generation});
    }
}

void TtsCentral::Post(const Event& event) {
    QMetaObject::invokeMethod(
        this,
        [this, event] {
            if (event.generation == uiGeneration_) {
                pending_.push_back(event);
            }
        },
        Qt::QueuedConnection);
}

void TtsCentral::Release() {
    const int64_t played = destination_->Played();
    while (!pending_.empty() && pending_.front().sample <= played) {
        const Event event = pending_.front();
        pending_.pop_front();
        ITTSBufNotifySink* sink = SinkOf(event.job);
        switch (event.kind) {
            case EventKind::Started:
                if (!audioRunning_) {
                    audioRunning_ = true;
                    for (ITTSNotifySinkW* notify : notifySinks_) {
                        notify->AudioStart(TimeStamp(event.sample));
                    }
                }
                if (sink) {
                    sink->TextDataStarted(TimeStamp(event.sample));
                }
                break;
            case EventKind::Word:
                if (sink) {
                    sink->WordPosition(TimeStamp(event.sample), event.byteOffset);
                }
                break;
            case EventKind::Done:
                if (sink) {
                    sink->TextDataDone(TimeStamp(event.sample), 0);
                }
                jobSinks_.remove(event.job);
                --outstanding_;
                break;
        }
    }
    if (audioRunning_ && outstanding_ <= 0 && pending_.empty() && !destination_->Draining()) {
        audioRunning_ = false;
        outstanding_ = 0;
        releaseTimer_.stop();
        for (ITTSNotifySinkW* notify : notifySinks_) {
            notify->AudioStop(TimeStamp(played));
        }
    }
}
