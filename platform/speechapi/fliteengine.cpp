#include "platform/speechapi/fliteengine.h"

#include <QMutex>
#include <QRegularExpression>
#include <cstdlib>
#include <map>
#include <string>

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_kal(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_slt(const char* voxdir);
}

namespace {

struct KnownVoice {
    const char* id;
    const char* speaker;
    int gender;
    cst_voice* (*registerVoice)(const char*);
};

const KnownVoice kVoices[] = {
    {"kal", "Kal", 1, register_cmu_us_kal},   {"kal16", "Kal", 1, register_cmu_us_kal16},
    {"awb", "Alan", 1, register_cmu_us_awb},  {"rms", "Richard", 1, register_cmu_us_rms},
    {"slt", "Sarah", 2, register_cmu_us_slt},
};

QMutex& engineLock() {
    static QMutex lock;
    return lock;
}

// Registered voices with their own pitch, loaded on first use (each holds its model in memory).
struct Loaded {
    cst_voice* voice = nullptr;
    float pitch = 0;
    int rate = 0;
};

Loaded* voiceById(const QString& id) {
    static std::map<QString, Loaded> loaded;
    static const bool initialised = (flite_init(), true);
    Q_UNUSED(initialised);
    auto it = loaded.find(id);
    if (it != loaded.end()) {
        return &it->second;
    }
    for (const KnownVoice& known : kVoices) {
        if (id == QLatin1String(known.id)) {
            Loaded entry;
            entry.voice = known.registerVoice(nullptr);
            if (!entry.voice) {
                return nullptr;
            }
            entry.pitch = get_param_float(entry.voice->features, "int_f0_target_mean", 100.0f);
            cst_wave* probe = flite_text_to_wave("a", entry.voice);
            entry.rate = probe ? probe->sample_rate : 16000;
            delete_wave(probe);
            return &loaded.emplace(id, entry).first->second;
        }
    }
    return nullptr;
}

// Start time, in seconds, of a word: the end of the segment before its first segment.
float wordStart(cst_item* word) {
    return ffeature_float(word, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
}

constexpr unsigned kNoiseSeed = 1;

// The paragraphs of a text: the parts between line breaks with only blanks between them. Flite
// speaks a text as one utterance, where a blank line is no pause at all: a heading would run
// into the sentence after it. Each paragraph is an utterance of its own instead, as Flite makes
// them when it reads a file itself.
QList<QStringView> paragraphs(const QString& text) {
    static const QRegularExpression kBreak(
        QStringLiteral("(?:\\r\\n?|\\n|\\x{2029})[ \\t]*(?:\\r\\n?|\\n|\\x{2029})"));
    QList<QStringView> parts;
    qsizetype start = 0;
    for (const QRegularExpressionMatch& match : kBreak.globalMatch(text)) {
        parts << QStringView(text).sliced(start, match.capturedStart() - start);
        start = match.capturedEnd();
    }
    parts << QStringView(text).sliced(start);
    return parts;
}

// Speaks utterances one after another into one sink: word positions count in the whole text,
// word times in all the audio so far.
class Utterances {
  public:
    Utterances(Loaded* loaded, SynthSink* sink) : m_loaded(loaded), m_sink(sink) {}
    // Speaks a part of the text that starts at from; false when Flite failed.
    bool speak(QStringView part, qsizetype from);
    // Whether the sink wants no more audio.
    bool stopped() const { return m_stopped; }

  private:
    // Each word of the part's utterance; from: where the part starts in the whole text.
    void reportWords(cst_utterance* utterance, QStringView part, qsizetype from, int rate);

    Loaded* m_loaded;
    SynthSink* m_sink;
    int64_t m_samples = 0;  // written so far
    bool m_stopped = false;
};

bool Utterances::speak(QStringView part, qsizetype from) {
    if (part.trimmed().isEmpty()) {
        return true;
    }
    const QByteArray utf8 = part.toUtf8();
    cst_utterance* utterance = flite_synth_text(utf8.constData(), m_loaded->voice);
    if (!utterance) {
        return false;
    }
    const cst_wave* wave = utt_wave(utterance);
    reportWords(utterance, part, from, wave ? wave->sample_rate : m_loaded->rate);
    if (wave && wave->num_samples > 0) {
        constexpr int kBlock = 4096;
        for (int at = 0; at < wave->num_samples && !m_stopped; at += kBlock) {
            m_stopped = !m_sink->audio(wave->samples + at, qMin(kBlock, wave->num_samples - at));
        }
        m_samples += wave->num_samples;
    }
    delete_utterance(utterance);
    return true;
}

void Utterances::reportWords(cst_utterance* utterance, QStringView part, qsizetype from, int rate) {
    // Words come from tokens of the text; find each token in the text, in order, to know where
    // the word stands.
    qsizetype cursor = 0;
    const cst_item* lastToken = nullptr;
    for (cst_item* word = relation_head(utt_relation(utterance, "Word")); word;
         word = item_next(word)) {
        const cst_item* token = item_parent(item_as(word, "Token"));
        if (!token || token == lastToken) {
            continue;  // one event per written word, even when it is spoken as several
        }
        lastToken = token;
        const QString name = QString::fromUtf8(item_feat_string(token, "name"));
        const qsizetype at = part.indexOf(name, cursor, Qt::CaseInsensitive);
        if (at < 0) {
            continue;
        }
        cursor = at + name.size();
        SynthWord event;
        event.sample = m_samples + int64_t(wordStart(word) * float(rate));
        event.position = int(from + at);
        event.length = int(name.size());
        m_sink->word(event);
    }
}

}  // namespace

QList<SynthVoice> FliteEngine::voices() {
    QList<SynthVoice> voices;
    for (const KnownVoice& known : kVoices) {
        SynthVoice voice;
        voice.engine = name();
        voice.manufacturer = QStringLiteral("Carnegie Mellon University");
        voice.product = QStringLiteral("Flite");
        voice.name = QString::fromLatin1(known.id);
        voice.identifier = QString::fromLatin1(known.id);
        voice.language = QStringLiteral("en-us");
        voice.gender = known.gender;
        voices << voice;
    }
    return voices;
}

int FliteEngine::sampleRate(const SynthVoice& voice) {
    QMutexLocker lock(&engineLock());
    const Loaded* loaded = voiceById(voice.identifier);
    return loaded ? loaded->rate : 0;
}

SynthParams FliteEngine::defaultParams(const SynthVoice& voice) {
    QMutexLocker lock(&engineLock());
    const Loaded* loaded = voiceById(voice.identifier);
    return {kNormalSpeed, loaded ? int(loaded->pitch + 0.5f) : 100};
}

bool FliteEngine::speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
                        SynthSink& sink) {
    QMutexLocker lock(&engineLock());
    Loaded* loaded = voiceById(voice.identifier);
    if (!loaded) {
        return false;
    }
    feat_set_float(loaded->voice->features, "duration_stretch",
                   100.0f / float(qBound(kMinSpeed, params.speed, kMaxSpeed)));
    feat_set_float(loaded->voice->features, "int_f0_target_mean",
                   float(qBound(kMinPitch, params.pitch, kMaxPitch)));
    // The statistical voices draw their noise from the C library's generator: seeded alike for
    // every text, a text sounds the same whatever was spoken before it.
    std::srand(kNoiseSeed);
    Utterances utterances{loaded, &sink};
    for (const QStringView paragraph : paragraphs(text)) {
        if (!utterances.speak(paragraph, paragraph.data() - text.constData())) {
            return false;
        }
        if (utterances.stopped()) {
            break;
        }
    }
    return true;
}
