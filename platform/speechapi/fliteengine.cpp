#include "platform/speechapi/fliteengine.h"

#include <QMutex>
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
    const QByteArray utf8 = text.toUtf8();
    cst_utterance* utterance = flite_synth_text(utf8.constData(), loaded->voice);
    if (!utterance) {
        return false;
    }
    const cst_wave* wave = utt_wave(utterance);
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
        const qsizetype at = text.indexOf(name, cursor, Qt::CaseInsensitive);
        if (at < 0) {
            continue;
        }
        cursor = at + name.size();
        SynthWord event;
        event.sample = int64_t(wordStart(word) * float(wave ? wave->sample_rate : loaded->rate));
        event.position = int(at);
        event.length = int(name.size());
        sink.word(event);
    }
    bool ok = true;
    if (wave && wave->num_samples > 0) {
        constexpr int kBlock = 4096;
        for (int at = 0; at < wave->num_samples && ok; at += kBlock) {
            ok = sink.audio(wave->samples + at, qMin(kBlock, wave->num_samples - at));
        }
    }
    delete_utterance(utterance);
    return true;
}
