#include "platform/speechapi/ttscentral.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include "platform/speechapi/pronunciationlexicon.h"

namespace {

// How often words and audio events are checked against the playback.
constexpr int kReleaseIntervalMs = 10;

// Scales an attribute value of the interface into an engine range and back.
int clamp(int64_t value, int low, int high) {
    return int(std::clamp<int64_t>(value, low, high));
}

}  // namespace

TtsCentral::TtsCentral(SynthEngine* engine, const SynthVoice& voice, const TTSMODEINFO& mode,
                       std::unique_ptr<AudioDestination> destination)
    : m_engine(engine),
      m_voice(voice),
      m_mode(mode),
      m_destination(std::move(destination)),
      m_rate(engine->sampleRate(voice)),
      m_params(engine->defaultParams(voice)),
      m_min(engine->minParams()),
      m_max(engine->maxParams()) {
    m_releaseTimer.setInterval(kReleaseIntervalMs);
    connect(&m_releaseTimer, &QTimer::timeout, this, &TtsCentral::release);
    m_thread = std::thread([this] { run(); });
}

TtsCentral::~TtsCentral() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
        ++m_generation;
        m_queue.clear();
    }
    m_destination->reset();
    m_wake.notify_all();
    m_thread.join();
}

uint64_t TtsCentral::timeStamp(int64_t sample) const {
    // The service's audio time: 100-nanosecond units from the start of the audio.
    return m_rate > 0 ? uint64_t(sample) * 10000000ull / uint64_t(m_rate) : 0;
}

HRESULT TtsCentral::TextData(VOICECHARSET charset, uint32_t, const QString& text,
                             ITTSBufNotifySink* sink) {
    if (charset != CHARSET_TEXT) {
        return E_NOTIMPL;
    }
    queue(lexicon(), text, sink);
    return S_OK;
}

const LexiconMatcher& TtsCentral::lexicon() {
    const uint64_t revision = PronunciationLexicon::revision();
    if (!m_lexiconBuilt || revision != m_lexiconRevision) {
        m_lexicon = LexiconMatcher(PronunciationLexicon::entries(), m_voice.language,
                                   m_engine->acceptsPhonemes());
        m_lexiconRevision = revision;
        m_lexiconBuilt = true;
    }
    return m_lexicon;
}

void TtsCentral::queue(const LexiconMatcher& lexicon, const QString& text,
                       ITTSBufNotifySink* sink) {
    auto spoken = std::make_shared<const LexiconText>(lexicon.apply(text));
    SynthParams params = m_params;
    params.phonemeInput = spoken->phonemes;
    const uint64_t id = m_nextJob++;
    m_jobSinks.insert(id, sink);
    ++m_outstanding;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_queue.push_back({id, std::move(spoken), sink, params});
    }
    m_wake.notify_all();
    m_releaseTimer.start();
}

HRESULT TtsCentral::LexiconDlg(QObject* window, const QString& title) {
    const PronunciationLexicon::Dialog dialog = PronunciationLexicon::dialog();
    if (!dialog) {
        return E_NOTIMPL;
    }
    const HRESULT result = dialog(
        {window, title, this, m_mode.szModeName, m_voice.language, m_engine->acceptsPhonemes()});
    hush();
    return result;
}

void TtsCentral::sayWithLexicon(const QString& text) {
    AudioReset();
    queue(lexicon(), text, nullptr);
}

void TtsCentral::sayWithEntries(const QString& text, const LexiconEntries& entries) {
    AudioReset();
    queue(LexiconMatcher(entries, m_voice.language, m_engine->acceptsPhonemes()), text, nullptr);
}

HRESULT TtsCentral::Inject(const QString& text) {
    // Control tags: "\Pit=n\" and "\Spd=n\" change the voice for the texts that follow.
    static const QRegularExpression tag(QStringLiteral("\\\\(Pit|Spd)=(\\d+)\\\\"),
                                        QRegularExpression::CaseInsensitiveOption);
    for (const auto& match : tag.globalMatch(text)) {
        const int64_t value = match.captured(2).toLongLong();
        if (match.captured(1).compare(QStringLiteral("Pit"), Qt::CaseInsensitive) == 0) {
            PitchSet(uint16_t(qMin<int64_t>(value, std::numeric_limits<uint16_t>::max())));
        } else {
            SpeedSet(uint32_t(qMin<int64_t>(value, std::numeric_limits<uint32_t>::max())));
        }
    }
    return S_OK;
}

HRESULT TtsCentral::AudioPause() {
    m_destination->pause(true);
    return S_OK;
}

HRESULT TtsCentral::AudioResume() {
    m_destination->pause(false);
    return S_OK;
}

HRESULT TtsCentral::AudioReset() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_generation;
        m_queue.clear();
    }
    m_destination->reset();
    m_destination->pause(false);
    m_wake.notify_all();
    ++m_uiGeneration;
    m_pending.clear();
    m_jobSinks.clear();
    m_outstanding = 0;
    release();  // the audio has stopped: say so
    return S_OK;
}

HRESULT TtsCentral::Phoneme(VOICECHARSET charset, uint32_t, const QString& text,
                            QString* phonemes) {
    if (charset == CHARSET_TEXT || !phonemes) {
        return E_INVALIDARG;
    }
    return m_engine->phonemes(m_voice, text, charset == CHARSET_IPAPHONETIC, phonemes) ? S_OK
                                                                                       : E_NOTIMPL;
}

HRESULT TtsCentral::Register(ITTSNotifySinkW* sink, uint32_t* key) {
    if (!sink || !key) {
        return E_INVALIDARG;
    }
    *key = m_nextKey++;
    m_notifySinks.insert(*key, sink);
    return S_OK;
}

HRESULT TtsCentral::UnRegister(uint32_t key) {
    return m_notifySinks.remove(key) ? S_OK : E_INVALIDARG;
}

HRESULT TtsCentral::ModeGet(TTSMODEINFO* mode) const {
    *mode = m_mode;
    return S_OK;
}

HRESULT TtsCentral::PitchGet(uint16_t* pitch) const {
    *pitch = uint16_t(m_params.pitch);
    return S_OK;
}

HRESULT TtsCentral::PitchSet(uint16_t pitch) {
    m_params.pitch = clamp(pitch, m_min.pitch, m_max.pitch);
    return S_OK;
}

HRESULT TtsCentral::SpeedGet(uint32_t* speed) const {
    *speed = uint32_t(m_params.speed);
    return S_OK;
}

HRESULT TtsCentral::SpeedSet(uint32_t speed) {
    m_params.speed = clamp(speed, m_min.speed, m_max.speed);
    return S_OK;
}

HRESULT TtsCentral::RealTimeGet(uint32_t* realTime) const {
    *realTime = m_destination->realTime();
    return S_OK;
}

HRESULT TtsCentral::RealTimeSet(uint32_t realTime) {
    m_destination->setRealTime(realTime);
    return S_OK;
}

HRESULT TtsCentral::VolumeGet(uint32_t* volume) const {
    *volume = m_volume;
    return S_OK;
}

HRESULT TtsCentral::VolumeSet(uint32_t volume) {
    m_volume = volume;
    return S_OK;
}

// Collects one text's audio and words for the destination, with sample positions counted
// from the start of all audio.
class JobSink : public SynthSink {
  public:
    JobSink(AudioDestination* destination, int64_t start, std::function<void(int64_t, int)> word)
        : m_destination(destination), m_start(start), m_word(std::move(word)) {}
    bool audio(const int16_t* samples, int count) override {
        if (!m_destination->write(samples, count)) {
            return false;
        }
        m_written += count;
        return true;
    }
    void word(const SynthWord& word) override { m_word(m_start + word.sample, word.position); }
    int64_t written() const { return m_written; }

  private:
    AudioDestination* m_destination;
    int64_t m_start;
    std::function<void(int64_t, int)> m_word;
    int64_t m_written = 0;
};

void TtsCentral::run() {
    // One mode speaks one reading: it sounds the same wherever it stands among others.
    m_engine->restart();
    for (;;) {
        Job job;
        uint64_t generation = 0;
        int64_t start = 0;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) {
                return;
            }
            job = m_queue.front();
            m_queue.pop_front();
            generation = m_generation;
        }
        const bool opened = m_destination->open(m_rate);
        start = m_destination->written();
        post({start, EventKind::Started, job.id, 0, generation});
        int lastPosition = -1;
        JobSink sink(m_destination.get(), start, [&](int64_t sample, int position) {
            // Several words spoken for one written word are one word of the text.
            const int original = job.text->originalPosition(position);
            if (original != lastPosition) {
                lastPosition = original;
                post({sample, EventKind::Word, job.id, uint32_t(original) * 2, generation});
            }
        });
        if (opened) {
            m_engine->speak(m_voice, job.text->text, job.params, sink);
        }
        m_destination->finish();
        std::lock_guard<std::mutex> guard(m_lock);
        if (generation != m_generation) {
            continue;  // reset meanwhile: its events are gone with it
        }
        const int64_t end = start + sink.written();
        post({end, EventKind::Done, job.id, 0, generation});
    }
}

void TtsCentral::post(const Event& event) {
    QMetaObject::invokeMethod(
        this,
        [this, event] {
            if (event.generation == m_uiGeneration) {
                m_pending.push_back(event);
            }
        },
        Qt::QueuedConnection);
}

void TtsCentral::release() {
    // A listener may end the service from inside a notification (stopping a reading deletes
    // it): after each one, leave at once when this object is gone.
    const QPointer<TtsCentral> alive(this);
    const int64_t played = m_destination->played();
    while (!m_pending.empty() && m_pending.front().sample <= played) {
        const Event event = m_pending.front();
        m_pending.pop_front();
        ITTSBufNotifySink* sink = sinkOf(event.job);
        switch (event.kind) {
            case EventKind::Started:
                if (!m_audioRunning) {
                    m_audioRunning = true;
                    if (!notifyAll(alive, &ITTSNotifySinkW::AudioStart, timeStamp(event.sample))) {
                        return;
                    }
                }
                if (sink) {
                    sink->TextDataStarted(timeStamp(event.sample));
                }
                break;
            case EventKind::Word:
                if (sink) {
                    sink->WordPosition(timeStamp(event.sample), event.byteOffset);
                }
                break;
            case EventKind::Done:
                if (sink) {
                    sink->TextDataDone(timeStamp(event.sample), 0);
                }
                if (alive) {
                    m_jobSinks.remove(event.job);
                    --m_outstanding;
                }
                break;
        }
        if (!alive) {
            return;
        }
    }
    if (m_audioRunning && m_outstanding <= 0 && m_pending.empty() && !m_destination->draining()) {
        m_audioRunning = false;
        m_outstanding = 0;
        m_releaseTimer.stop();
        notifyAll(alive, &ITTSNotifySinkW::AudioStop, timeStamp(played));
    }
}

bool TtsCentral::notifyAll(const QPointer<TtsCentral>& alive,
                           HRESULT (ITTSNotifySinkW::*notification)(uint64_t), uint64_t time) {
    // A copy: a listener may register or unregister another while it is told.
    const QList<ITTSNotifySinkW*> listeners = m_notifySinks.values();
    for (ITTSNotifySinkW* notify : listeners) {
        (notify->*notification)(time);
        if (!alive) {
            return false;
        }
    }
    return true;
}
