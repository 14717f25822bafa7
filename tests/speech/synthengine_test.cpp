#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/fliteengine.h"
#include "tests/common/printers.h"

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
    ASSERT_EQ(recorder.words.size(), 3u);
    EXPECT_EQ(recorder.words[0].position, 0);
    EXPECT_EQ(recorder.words[1].position, 6);
    EXPECT_EQ(recorder.words[2].position, 16);
    EXPECT_EQ(recorder.words[1].length, 9);
    EXPECT_LT(recorder.words[0].sample, recorder.words[1].sample);
    EXPECT_LT(recorder.words[1].sample, recorder.words[2].sample);
    EXPECT_LT(recorder.words[2].sample, int64_t(recorder.heard.size()));
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
    EXPECT_GT(voices.size(), 100);
    int english = 0;
    for (const SynthVoice& voice : voices) {
        EXPECT_FALSE(voice.language.isEmpty()) << voice.identifier.toStdString();
        english += voice.language.startsWith(QStringLiteral("en")) ? 1 : 0;
    }
    EXPECT_GE(english, 3);
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
