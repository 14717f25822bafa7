#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/fliteengine.h"
#include "tests/common/printers.h"
#include "tests/speech/independentdata.h"

namespace {

// Collects what an engine hands over.
class Recorder : public SynthSink {
  public:
    bool audio(const int16_t* samples, int count) override {
        heard.insert(heard.end(), samples, samples + count);
        return stopAfter < 0 || int64_t(heard.size()) < stopAfter;
    }
    void word(const SynthWord& word) override { words.push_back(word); }

    std::vector<int16_t> heard;
    std::vector<SynthWord> words;
    int64_t stopAfter = -1;
};

SynthVoice find(SynthEngine& engine, const QString& identifier) {
    for (const SynthVoice& voice : engine.voices()) {
        if (voice.identifier == identifier) {
            return voice;
        }
    }
    return {};
}

struct EngineCase {
    const char* name;
    std::unique_ptr<SynthEngine> (*make)();
    const char* voice;
};

class Engines : public ::testing::TestWithParam<EngineCase> {
  protected:
    void SetUp() override {
        m_engine = GetParam().make();
        m_voice = find(*m_engine, QString::fromLatin1(GetParam().voice));
        ASSERT_FALSE(m_voice.identifier.isEmpty());
    }
    std::unique_ptr<SynthEngine> m_engine;
    SynthVoice m_voice;
};

}  // namespace

TEST_P(Engines, SpeakTextWithWordPositionsInOrder) {
    const QString text = QStringLiteral("Hello wonderful world");
    Recorder recorder;
    ASSERT_TRUE(m_engine->speak(m_voice, text, m_engine->defaultParams(m_voice), recorder));
    const int rate = m_engine->sampleRate(m_voice);
    ASSERT_GT(rate, 0);
    const double seconds = double(recorder.heard.size()) / rate;
    EXPECT_GT(seconds, 0.6);
    EXPECT_LT(seconds, 4.0);
    const auto expected = independent::words(text);
    ASSERT_EQ(recorder.words.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(recorder.words[i].position, expected[i].first) << i;
        EXPECT_EQ(recorder.words[i].length, expected[i].second) << i;
        if (i > 0) {
            EXPECT_LT(recorder.words[i - 1].sample, recorder.words[i].sample) << i;
        }
    }
    EXPECT_LT(recorder.words.back().sample, int64_t(recorder.heard.size()));
}

TEST_P(Engines, SpeedAndPitchChangeTheSpeech) {
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog.");
    SynthParams normal = m_engine->defaultParams(m_voice);
    Recorder atNormal, slow, fast, high;
    ASSERT_TRUE(m_engine->speak(m_voice, text, normal, atNormal));
    SynthParams slower = normal, faster = normal, higher = normal;
    slower.speed = m_engine->minParams().speed;
    faster.speed = m_engine->maxParams().speed;
    higher.pitch = m_engine->maxParams().pitch;
    ASSERT_TRUE(m_engine->speak(m_voice, text, slower, slow));
    ASSERT_TRUE(m_engine->speak(m_voice, text, faster, fast));
    ASSERT_TRUE(m_engine->speak(m_voice, text, higher, high));
    EXPECT_GT(slow.heard.size(), atNormal.heard.size() * 3 / 2);
    EXPECT_LT(fast.heard.size(), atNormal.heard.size() * 3 / 4);
    EXPECT_NE(high.heard, atNormal.heard);
}

TEST_P(Engines, TheSinkCanStopTheSynthesis) {
    Recorder recorder;
    recorder.stopAfter = 1000;
    ASSERT_TRUE(m_engine->speak(m_voice,
                                QStringLiteral("A long sentence that would take a while to say."),
                                m_engine->defaultParams(m_voice), recorder));
    EXPECT_LT(recorder.heard.size(), 20000u);
}

INSTANTIATE_TEST_SUITE_P(
    Installed, Engines,
    ::testing::Values(
        EngineCase{"eSpeak", [] { return std::unique_ptr<SynthEngine>(new EspeakEngine); },
                   "gmw/en-US"},
        EngineCase{"FliteKal16", [] { return std::unique_ptr<SynthEngine>(new FliteEngine); },
                   "kal16"},
        EngineCase{"FliteSlt", [] { return std::unique_ptr<SynthEngine>(new FliteEngine); },
                   "slt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EngineVoices, EveryInstalledVoiceIsListed) {
    EspeakEngine espeak;
    const QList<SynthVoice> voices = espeak.voices();
    QStringList files;
    for (const SynthVoice& voice : voices) {
        EXPECT_FALSE(voice.language.isEmpty()) << voice.identifier.toStdString();
        files << voice.identifier;
    }
    files.sort();
    const QStringList listed = independent::espeakVoiceFiles();
    ASSERT_FALSE(listed.isEmpty()) << "espeak-ng --voices lists nothing";
    EXPECT_EQ(files, listed) << "the voices the espeak-ng command offers";
    FliteEngine flite;
    QStringList ids;
    for (const SynthVoice& voice : flite.voices()) {
        ids << voice.identifier;
    }
    EXPECT_EQ(ids, (QStringList{"kal", "kal16", "awb", "rms", "slt"}));
    EXPECT_EQ(flite.sampleRate(flite.voices()[0]), 8000);
    EXPECT_EQ(flite.sampleRate(flite.voices()[1]), 16000);
}

TEST_P(Engines, WordPositionsOnlyMoveForward) {
    QString text;
    for (int i = 0; i < 60; ++i) {
        text += QStringLiteral("Sentence number %1 of a long text. ").arg(i);
    }
    Recorder recorder;
    ASSERT_TRUE(m_engine->speak(m_voice, text, m_engine->defaultParams(m_voice), recorder));
    ASSERT_GT(recorder.words.size(), 100u);
    for (size_t i = 1; i < recorder.words.size(); ++i) {
        ASSERT_GT(recorder.words[i].position, recorder.words[i - 1].position) << i;
    }
}

namespace {

// The longest stretch of near silence, in milliseconds, in samples [from, to).
double LongestQuiet(const std::vector<int16_t>& samples, int64_t from, int64_t to, int rate) {
    constexpr int kQuiet = 300;  // under 1% of full scale
    int64_t longest = 0;
    int64_t run = 0;
    for (int64_t i = qMax<int64_t>(0, from); i < qMin<int64_t>(to, int64_t(samples.size())); ++i) {
        run = std::abs(samples[size_t(i)]) < kQuiet ? run + 1 : 0;
        longest = qMax(longest, run);
    }
    return 1000.0 * double(longest) / rate;
}

}  // namespace

TEST_P(Engines, AHeadingOrParagraphWithoutFullStopEndsWithAPause) {
    const QString text = QStringLiteral(
        "Getting started\n\nThe program reads text aloud\r\n\r\nEvery voice\n \nmakes the same "
        "pauses.");
    Recorder recorder;
    ASSERT_TRUE(m_engine->speak(m_voice, text, m_engine->defaultParams(m_voice), recorder));
    const int rate = m_engine->sampleRate(m_voice);
    // The words that open a paragraph, and the audio between the word before and each of them.
    for (const QString& opening :
         {QStringLiteral("The"), QStringLiteral("Every"), QStringLiteral("makes")}) {
        const qsizetype at = text.indexOf(opening);
        const auto word = std::find_if(recorder.words.begin(), recorder.words.end(),
                                       [at](const SynthWord& w) { return w.position == at; });
        ASSERT_TRUE(word != recorder.words.end() && word != recorder.words.begin())
            << opening.toStdString();
        EXPECT_GE(LongestQuiet(recorder.heard, (word - 1)->sample, word->sample, rate), 150.0)
            << "before " << opening.toStdString();
    }
}

TEST(EspeakPhonemes, AWordOfPhonemesTooLongForTheEngineIsSaidWithoutACrash) {
    // eSpeak NG overruns its buffer, and ends the process, past a few hundred phonemes in one
    // word; the same many phonemes in short words it takes as they are.
    EspeakEngine engine;
    const SynthVoice voice = find(engine, QStringLiteral("gmw/en-US"));
    ASSERT_FALSE(voice.identifier.isEmpty());
    SynthParams params = engine.defaultParams(voice);
    params.phonemeInput = true;
    const QString longWord = QStringLiteral("Say [[%1]] now.").arg(QString(700, QLatin1Char('s')));
    QString shortWords = QStringLiteral("Say [[");
    for (int i = 0; i < 100; ++i) {
        shortWords += QStringLiteral("h@loU ");
    }
    shortWords += QStringLiteral("]] now.");
    for (const QString& text : {longWord, shortWords}) {
        Recorder recorder;
        ASSERT_TRUE(engine.speak(voice, text, params, recorder));
        EXPECT_GT(recorder.heard.size(), size_t(engine.sampleRate(voice)));
        ASSERT_FALSE(recorder.words.empty());
        EXPECT_EQ(recorder.words.back().position, text.indexOf(QStringLiteral("now")))
            << "positions still name the characters of the text given";
    }
}
