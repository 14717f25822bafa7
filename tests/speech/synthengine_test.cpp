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
    bool Audio(const int16_t* samples, int count) override {
        audio.insert(audio.end(), samples, samples + count);
        return stopAfter < 0 || int64_t(audio.size()) < stopAfter;
    }
    void Word(const SynthWord& word) override { words.push_back(word); }

    std::vector<int16_t> audio;
    std::vector<SynthWord> words;
    int64_t stopAfter = -1;
};

SynthVoice Find(SynthEngine& engine, const QString& identifier) {
    for (const SynthVoice& voice : engine.Voices()) {
        if (voice.Identifier == identifier) {
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
        engine_ = GetParam().make();
        voice_ = Find(*engine_, QString::fromLatin1(GetParam().voice));
        ASSERT_FALSE(voice_.Identifier.isEmpty());
    }
    std::unique_ptr<SynthEngine> engine_;
    SynthVoice voice_;
};

}  // namespace

TEST_P(Engines, SpeakTextWithWordPositionsInOrder) {
    const QString text = QStringLiteral("Hello wonderful world");
    Recorder recorder;
    ASSERT_TRUE(engine_->Speak(voice_, text, engine_->DefaultParams(voice_), recorder));
    const int rate = engine_->SampleRate(voice_);
    ASSERT_GT(rate, 0);
    const double seconds = double(recorder.audio.size()) / rate;
    EXPECT_GT(seconds, 0.6);
    EXPECT_LT(seconds, 4.0);
    ASSERT_EQ(recorder.words.size(), 3u);
    EXPECT_EQ(recorder.words[0].Position, 0);
    EXPECT_EQ(recorder.words[1].Position, 6);
    EXPECT_EQ(recorder.words[2].Position, 16);
    EXPECT_EQ(recorder.words[1].Length, 9);
    EXPECT_LT(recorder.words[0].Sample, recorder.words[1].Sample);
    EXPECT_LT(recorder.words[1].Sample, recorder.words[2].Sample);
    EXPECT_LT(recorder.words[2].Sample, int64_t(recorder.audio.size()));
}

TEST_P(Engines, SpeedAndPitchChangeTheSpeech) {
    const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog.");
    SynthParams normal = engine_->DefaultParams(voice_);
    Recorder atNormal, slow, fast, high;
    ASSERT_TRUE(engine_->Speak(voice_, text, normal, atNormal));
    SynthParams slower = normal, faster = normal, higher = normal;
    slower.Speed = engine_->MinParams().Speed;
    faster.Speed = engine_->MaxParams().Speed;
    higher.Pitch = engine_->MaxParams().Pitch;
    ASSERT_TRUE(engine_->Speak(voice_, text, slower, slow));
    ASSERT_TRUE(engine_->Speak(voice_, text, faster, fast));
    ASSERT_TRUE(engine_->Speak(voice_, text, higher, high));
    EXPECT_GT(slow.audio.size(), atNormal.audio.size() * 3 / 2);
    EXPECT_LT(fast.audio.size(), atNormal.audio.size() * 3 / 4);
    EXPECT_NE(high.audio, atNormal.audio);
}

TEST_P(Engines, TheSinkCanStopTheSynthesis) {
    Recorder recorder;
    recorder.stopAfter = 1000;
    ASSERT_TRUE(engine_->Speak(voice_,
                               QStringLiteral("A long sentence that would take a while to say."),
                               engine_->DefaultParams(voice_), recorder));
    EXPECT_LT(recorder.audio.size(), 20000u);
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
    const QList<SynthVoice> voices = espeak.Voices();
    EXPECT_GT(voices.size(), 100);
    int english = 0;
    for (const SynthVoice& voice : voices) {
        EXPECT_FALSE(voice.Language.isEmpty()) << voice.Identifier.toStdString();
        english += voice.Language.startsWith(QStringLiteral("en")) ? 1 : 0;
    }
    EXPECT_GE(english, 3);
    FliteEngine flite;
    QStringList ids;
    for (const SynthVoice& voice : flite.Voices()) {
        ids << voice.Identifier;
    }
    EXPECT_EQ(ids, (QStringList{"kal", "kal16", "awb", "rms", "slt"}));
    EXPECT_EQ(flite.SampleRate(flite.Voices()[0]), 8000);
    EXPECT_EQ(flite.SampleRate(flite.Voices()[1]), 16000);
}

TEST_P(Engines, WordPositionsOnlyMoveForward) {
    QString text;
    for (int i = 0; i < 60; ++i) {
        text += QStringLiteral("Sentence number %1 of a long text. ").arg(i);
    }
    Recorder recorder;
    ASSERT_TRUE(engine_->Speak(voice_, text, engine_->DefaultParams(voice_), recorder));
    ASSERT_GT(recorder.words.size(), 100u);
    for (size_t i = 1; i < recorder.words.size(); ++i) {
        ASSERT_GT(recorder.words[i].Position, recorder.words[i - 1].Position) << i;
    }
}
