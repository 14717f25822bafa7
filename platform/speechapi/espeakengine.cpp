#include "platform/speechapi/espeakengine.h"

#include "platform/speechapi/espeaklibrary.h"

#include <QMutex>
#include <vector>

#include "platform/speechapi/lexiconphonemes.h"

namespace {

QMutex& engineLock() {
    static QMutex lock;
    return lock;
}

EspeakLibrary& library() {
    static EspeakLibrary library;
    return library;
}
// Whether the loaded library has moved on from its initial state, and whether the next text
// wants that state.
bool libraryUsed = false;
bool freshWanted = false;

// Phonemes in the International Phonetic Alphabet instead of eSpeak's own notation.
constexpr int kIpaPhonemes = 0x02;

bool initialise() {
    return library().load();
}

// The library as it was first loaded when a reading begins, so that it sounds the same
// wherever it stands.
bool initialiseForText() {
    if (freshWanted && libraryUsed) {
        library().unload();
        libraryUsed = false;
    }
    freshWanted = false;
    return initialise();
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

int onSynth(short* wav, int count, espeak_EVENT* events) {
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
        word.sample = int64_t(e->audio_position) * library().sampleRate() / 1000;
        word.position = job->utf16Index.empty() ? 0 : job->utf16Index[size_t(first)];
        word.length = job->utf16Index.empty() ? 0 : job->utf16Index[size_t(last)] - word.position;
        // eSpeak now and then reports a word of the clause before again; the text is spoken in
        // order, so such a late report is dropped.
        if (word.position <= job->lastPosition) {
            continue;
        }
        job->lastPosition = word.position;
        job->sink->word(word);
    }
    if (wav && count > 0 && !job->sink->audio(wav, count)) {
        job->stopped = true;
        return 1;
    }
    return 0;
}

QString firstLanguage(const char* languages) {
    // A list of (priority byte, zero-terminated name); the first name is the main language.
    return languages && languages[0] ? QString::fromUtf8(languages + 1) : QString();
}

}  // namespace

bool EspeakEngine::available() {
    QMutexLocker lock(&engineLock());
    return initialise();
}

QString EspeakEngine::libraryVersion() {
    QMutexLocker lock(&engineLock());
    return initialise() ? QString::fromUtf8(library().info()) : QString();
}

QList<SynthVoice> EspeakEngine::voices() {
    QMutexLocker lock(&engineLock());
    QList<SynthVoice> voices;
    if (!initialise()) {
        return voices;
    }
    for (const espeak_VOICE** v = library().listVoices(); v && *v; ++v) {
        SynthVoice voice;
        voice.engine = name();
        voice.manufacturer = QStringLiteral("eSpeak NG");
        voice.product = QStringLiteral("eSpeak NG");
        voice.name = QString::fromUtf8((*v)->name);
        voice.identifier = QString::fromUtf8((*v)->identifier);
        voice.language = firstLanguage((*v)->languages);
        voice.gender = (*v)->gender;
        voices << voice;
    }
    return voices;
}

int EspeakEngine::sampleRate(const SynthVoice&) {
    QMutexLocker lock(&engineLock());
    return initialise() ? library().sampleRate() : 0;
}

void EspeakEngine::restart() {
    QMutexLocker lock(&engineLock());
    freshWanted = true;
}

bool EspeakEngine::speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
                         SynthSink& sink) {
    QMutexLocker lock(&engineLock());
    if (!initialiseForText() || !library().setVoiceByName(voice.identifier.toUtf8())) {
        return false;
    }
    libraryUsed = true;
    library().setParameter(espeakRATE, qBound(kMinSpeed, params.speed, kMaxSpeed));
    library().setParameter(espeakPITCH, qBound(kMinPitch, params.pitch, kMaxPitch));
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
    // A word of phonemes longer than the engine's buffer would crash the process. Without
    // ENDPAUSE the pause of the text's last sentence is left out: a text handed over in pieces (a
    // large file) would run each piece's last sentence into the next piece's first.
    const QByteArray utf8 = (params.phonemeInput ? LexiconPhonemes::bounded(text) : text).toUtf8();
    const bool spoken = library().synth(
        onSynth, utf8,
        espeakCHARS_UTF8 | espeakENDPAUSE | (params.phonemeInput ? espeakPHONEMES : 0));
    currentJob = nullptr;
    return spoken;
}

bool EspeakEngine::phonemes(const SynthVoice& voice, const QString& text, bool ipa,
                            QString* phonemes) {
    QMutexLocker lock(&engineLock());
    if (!initialise() || !library().setVoiceByName(voice.identifier.toUtf8())) {
        return false;
    }
    libraryUsed = true;  // translating moves the library's state on as speaking does
    const QByteArray utf8 = text.toUtf8();
    const void* cursor = utf8.constData();
    phonemes->clear();
    // One clause per call; the cursor moves on until the text is used up.
    while (cursor) {
        const char* clause = library().textToPhonemes(&cursor, ipa ? kIpaPhonemes : 0);
        if (clause && *clause) {
            if (!phonemes->isEmpty()) {
                *phonemes += QLatin1Char(' ');
            }
            *phonemes += QString::fromUtf8(clause);
        }
    }
    return true;
}
