#include "platform/speechapi/espeakengine.h"

#include <espeak-ng/speak_lib.h>

#include <QMutex>
#include <vector>

namespace {

QMutex& EngineLock() {
    static QMutex lock;
    return lock;
}

int sampleRate = 0;  // set by the first initialisation

bool Initialise() {
    static const bool ok = [] {
        const int rate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 100, nullptr, espeakINITIALIZE_DONT_EXIT);
        sampleRate = rate > 0 ? rate : 0;
        return rate > 0;
    }();
    return ok;
}

// The synthesis in progress: the sink, and where each character of the UTF-8 text stands in
// the UTF-16 text.
struct Job {
    SynthSink* sink = nullptr;
    std::vector<int> utf16Index;  // by code point
    bool stopped = false;
    int lastPosition = -1;
};
Job* currentJob = nullptr;

int OnSynth(short* wav, int count, espeak_EVENT* events) {
    Job* job = currentJob;
    if (!job || job->stopped) {
        return 1;
    }
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type != espeakEVENT_WORD) {
            continue;
        }
        const int first = qBound<int>(0, e->text_position - 1, int(job->utf16Index.size()) - 1);
        const int last =
            qBound<int>(0, e->text_position - 1 + e->length, int(job->utf16Index.size()) - 1);
        SynthWord word;
        word.Sample = int64_t(e->audio_position) * sampleRate / 1000;
        word.Position = job->utf16Index.empty() ? 0 : job->utf16Index[size_t(first)];
        word.Length = job->utf16Index.empty() ? 0 : job->utf16Index[size_t(last)] - word.Position;
        // eSpeak now and then reports a word of the clause before again; the text is spoken in
        // order, so such a late report is dropped.
        if (word.Position <= job->lastPosition) {
            continue;
        }
        job->lastPosition = word.Position;
        job->sink->Word(word);
    }
    if (wav && count > 0 && !job->sink->Audio(wav, count)) {
        job->stopped = true;
        return 1;
    }
    return 0;
}

QString FirstLanguage(const char* languages) {
    // A list of (priority byte, zero-terminated name); the first name is the main language.
    return languages && languages[0] ? QString::fromUtf8(languages + 1) : QString();
}

}  // namespace

bool EspeakEngine::Available() {
    QMutexLocker lock(&EngineLock());
    return Initialise();
}

QList<SynthVoice> EspeakEngine::Voices() {
    QMutexLocker lock(&EngineLock());
    QList<SynthVoice> voices;
    if (!Initialise()) {
        return voices;
    }
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
        SynthVoice voice;
        voice.Engine = Name();
        voice.Manufacturer = QStringLiteral("eSpeak NG");
        voice.Product = QStringLiteral("eSpeak NG");
        voice.Name = QString::fromUtf8((*v)->name);
        voice.Identifier = QString::fromUtf8((*v)->identifier);
        voice.Language = FirstLanguage((*v)->languages);
        voice.Gender = (*v)->gender;
        voices << voice;
    }
    return voices;
}

int EspeakEngine::SampleRate(const SynthVoice&) {
    QMutexLocker lock(&EngineLock());
    return Initialise() ? sampleRate : 0;
}

bool EspeakEngine::Speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
                         SynthSink& sink) {
    QMutexLocker lock(&EngineLock());
    if (!Initialise() || espeak_SetVoiceByName(voice.Identifier.toUtf8().constData()) != EE_OK) {
        return false;
    }
    espeak_SetParameter(espeakRATE, qBound(kMinSpeed, params.Speed, kMaxSpeed), 0);
    espeak_SetParameter(espeakPITCH, qBound(kMinPitch, params.Pitch, kMaxPitch), 0);
    Job job;
    job.sink = &sink;
    // eSpeak counts positions in characters of the text; QString counts UTF-16 units.
    for (qsizetype i = 0; i < text.size(); ++i) {
        job.utf16Index.push_back(int(i));
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            ++i;
        }
    }
    job.utf16Index.push_back(int(text.size()));
    currentJob = &job;
    espeak_SetSynthCallback(OnSynth);
    const QByteArray utf8 = text.toUtf8();
    const espeak_ERROR result = espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                             POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    currentJob = nullptr;
    return result == EE_OK;
}

bool EspeakEngine::Phonemes(const SynthVoice& voice, const QString& text, bool ipa,
                            QString* phonemes) {
    QMutexLocker lock(&EngineLock());
    if (!Initialise() || espeak_SetVoiceByName(voice.Identifier.toUtf8().constData()) != EE_OK) {
        return false;
    }
    const QByteArray utf8 = text.toUtf8();
    const void* cursor = utf8.constData();
    phonemes->clear();
    // One clause per call; the cursor moves on until the text is used up.
    while (cursor) {
        const char* clause = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, ipa ? 0x02 : 0);
        if (clause && *clause) {
            if (!phonemes->isEmpty()) {
                *phonemes += QLatin1Char(' ');
            }
            *phonemes += QString::fromUtf8(clause);
        }
    }
    return true;
}
