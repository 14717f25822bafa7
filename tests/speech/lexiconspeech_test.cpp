#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <numeric>

#include "platform/speechapi/lexiconmatcher.h"
#include "platform/speechapi/lexiconspeaker.h"
#include "platform/speechapi/pronunciationlexicon.h"
#include "platform/speechapi/ttsenumerator.h"
#include "platform/speechapi/wavefiledestination.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"
#include "text/ttsfilter.h"

namespace {

const QString kEspeakVoice = QStringLiteral("eSpeak English (America)");
const QString kFliteVoice = QStringLiteral("Flite kal");
constexpr int kSpeechTimeoutMs = 60000;

LexiconEntry Entry(const QString& written, const QString& spoken, bool phonemes = false) {
    LexiconEntry entry;
    entry.written = written;
    entry.spoken = spoken;
    entry.phonemes = phonemes;
    return entry;
}

// The samples of a RIFF/WAVE file: the bytes of its data chunk.
QByteArray WaveData(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    qsizetype at = 12;  // past "RIFF", the size and "WAVE"
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = quint32(uchar(bytes[at + 4])) | quint32(uchar(bytes[at + 5])) << 8 |
                             quint32(uchar(bytes[at + 6])) << 16 |
                             quint32(uchar(bytes[at + 7])) << 24;
        if (id == "data") {
            return bytes.mid(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

// The number of samples of a wave file as sox reads it.
qint64 SoxSamples(const QString& path) {
    QProcess soxi;
    soxi.start(QStringLiteral("soxi"), {QStringLiteral("-s"), path});
    if (!soxi.waitForFinished(30000) || soxi.exitCode() != 0) {
        return -1;
    }
    return soxi.readAllStandardOutput().trimmed().toLongLong();
}

// Whether two recordings say the same: as long (within 1 %), and as loud at the same moments
// (the loudness of 10 ms frames correlates by 0.98 or more). eSpeak NG carries a little state
// from one text to the next, so the same text never gives quite the same samples twice in one
// process; a different word changes length and loudness far more.
struct Likeness {
    double lengthRatio = 0;
    double correlation = 0;
    bool same() const { return lengthRatio >= 0.99 && correlation >= 0.98; }
};

std::vector<double> Loudness(const QByteArray& data) {
    constexpr int kFrame = 220;
    const auto* samples = reinterpret_cast<const int16_t*>(data.constData());
    const qsizetype count = data.size() / 2;
    std::vector<double> frames;
    for (qsizetype start = 0; start + kFrame <= count; start += kFrame) {
        double energy = 0;
        for (qsizetype i = start; i < start + kFrame; ++i) {
            energy += double(samples[i]) * samples[i];
        }
        frames.push_back(std::sqrt(energy / kFrame));
    }
    return frames;
}

Likeness Compare(const QByteArray& a, const QByteArray& b) {
    Likeness likeness;
    if (a.isEmpty() || b.isEmpty()) {
        return likeness;
    }
    likeness.lengthRatio = double(qMin(a.size(), b.size())) / double(qMax(a.size(), b.size()));
    std::vector<double> x = Loudness(a);
    std::vector<double> y = Loudness(b);
    const size_t n = std::min(x.size(), y.size());
    x.resize(n);
    y.resize(n);
    const double meanX = std::accumulate(x.begin(), x.end(), 0.0) / double(n);
    const double meanY = std::accumulate(y.begin(), y.end(), 0.0) / double(n);
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = 0; i < n; ++i) {
        xy += (x[i] - meanX) * (y[i] - meanY);
        xx += (x[i] - meanX) * (x[i] - meanX);
        yy += (y[i] - meanY) * (y[i] - meanY);
    }
    likeness.correlation = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
    return likeness;
}

::testing::AssertionResult SaySameThing(const QByteArray& a, const QByteArray& b) {
    const Likeness likeness = Compare(a, b);
    return (likeness.same() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << a.size() / 2 << " and " << b.size() / 2 << " samples, length ratio "
           << likeness.lengthRatio << ", loudness correlation " << likeness.correlation;
}

// The places where the words of a text begin.
std::vector<int64_t> WordStarts(const QString& text) {
    static const QRegularExpression word(QStringLiteral("\\b\\w"));
    std::vector<int64_t> starts;
    for (const auto& match : word.globalMatch(text)) {
        starts.push_back(match.capturedStart());
    }
    return starts;
}

// The speaking driver with the real engines, writing into wave files.
class LexiconSpeech : public ::testing::Test {
  protected:
    void SetUp() override {
        PronunciationLexicon::setEntries({});
        testprofile::Reset();
        prefs_.ReadAll();
        prefs_.ApplyStoredValues();
        prefs_.TTS_WaveConvRate = 0;  // unpaced
        ProbeSpeechInstallation();
        driver_ = std::make_unique<TTTSForm>(prefs_);
        driver_->Initialize();
        prefs_.ReadAll();  // with the engines' and voices' settings, registered by Initialize
        driver_->LoadVoiceSettings();
        prefs_.TTS_WaveConvRate = 0;
        QObject::connect(driver_.get(), &TTTSForm::OnComplete, [this] { ++completions_; });
        QObject::connect(driver_.get(), &TTTSForm::OnError,
                         [this](const QString& message) { failures_ << message; });
        QObject::connect(driver_.get(), &TTTSForm::OnWordPosition,
                         [this](int64_t position, int64_t) { positions_.push_back(position); });
    }
    void TearDown() override {
        driver_.reset();
        PronunciationLexicon::setEntries({});
    }

    // Starts a wave file for the voice; false when that fails.
    bool Open(const QString& voice, const QString& name) {
        const Outcome opened = driver_->PlayToFileInit(voice, dir_.filePath(name));
        EXPECT_TRUE(opened) << opened.message().toStdString();
        return bool(opened);
    }
    // Speaks a text into the open wave file and waits for its end; its word positions are in
    // positions_.
    bool Say(const QString& voice, const QString& text) {
        positions_.clear();
        const int before = completions_;
        const Outcome started = driver_->PlayTextToFile(voice, text);
        EXPECT_TRUE(started) << started.message().toStdString();
        if (!started) {
            return false;
        }
        const bool ended = QTest::qWaitFor([&] { return completions_ > before; }, kSpeechTimeoutMs);
        EXPECT_TRUE(ended) << text.toStdString();
        return ended;
    }
    // The samples of a text spoken by the voice into a wave file of its own.
    QByteArray Speak(const QString& voice, const QString& text) {
        const QString name = QStringLiteral("speech%1.wav").arg(++files_);
        if (!Open(voice, name) || !Say(voice, text)) {
            return {};
        }
        driver_->TTS1.SetActive(false);  // completes the file
        lastFile_ = dir_.filePath(name);
        return WaveData(lastFile_);
    }

    TPreferences prefs_;
    std::unique_ptr<TTTSForm> driver_;
    CapturedMessages messages_;
    QTemporaryDir dir_;
    int completions_ = 0;
    int files_ = 0;
    QString lastFile_;
    QStringList failures_;
    std::vector<int64_t> positions_;
};

}  // namespace

TEST_F(LexiconSpeech, AnEntryChangesWhatEachEngineSays) {
    const QString sentence = QStringLiteral("Mister Nguyen reads.");
    const QString target = QStringLiteral("Mister Win reads.");
    for (const QString& voice : {kEspeakVoice, kFliteVoice}) {
        SCOPED_TRACE(voice.toStdString());
        PronunciationLexicon::setEntries({});
        const QByteArray unchanged = Speak(voice, sentence);
        const QByteArray wanted = Speak(voice, target);
        const qint64 wantedSamples = SoxSamples(lastFile_);
        ASSERT_EQ(wantedSamples, wanted.size() / 2) << "sox reads the file as written";
        ASSERT_GT(wanted.size(), 1000);
        ASSERT_FALSE(SaySameThing(unchanged, wanted)) << "the two sentences sound different";
        ASSERT_TRUE(SaySameThing(Speak(voice, target), wanted)) << "one sentence sounds the same";

        PronunciationLexicon::setEntries({Entry(QStringLiteral("nguyen"), QStringLiteral("Win"))});
        const QByteArray replaced = Speak(voice, sentence);
        EXPECT_TRUE(SaySameThing(replaced, wanted)) << "said as the entry says";
        EXPECT_EQ(SoxSamples(lastFile_), replaced.size() / 2);

        // Phonemes: eSpeak NG says them; Flite, which reads none, leaves the word as it is.
        PronunciationLexicon::setEntries(
            {Entry(QStringLiteral("Nguyen"), QStringLiteral("w'In"), true)});
        const QByteArray phonemes = Speak(voice, sentence);
        EXPECT_TRUE(SaySameThing(phonemes, voice == kEspeakVoice ? wanted : unchanged));
    }
    EXPECT_EQ(failures_, QStringList{});
    EXPECT_EQ(messages_.all, QStringList{});
}

TEST_F(LexiconSpeech, HighlightedWordsAreThoseOfTheOriginalText) {
    const struct {
        const char* text;
        LexiconEntry entry;
        std::vector<int64_t> words;  // where the words said with the entry begin
        bool espeakOnly;
    } cases[] = {
        // A spoken form longer than its word, and one shorter.
        {"We query SQL tables daily.",
         Entry(QStringLiteral("SQL"), QStringLiteral("structured query language")),
         {0, 3, 9, 13, 20},
         false},
        {"Mister Nguyen reads a book.",
         Entry(QStringLiteral("Nguyen"), QStringLiteral("Win")),
         {0, 7, 14, 20, 22},
         false},
        {"Mister Nguyen reads a book.",
         Entry(QStringLiteral("Nguyen"), QStringLiteral("w'In"), true),
         {0, 7, 14, 20, 22},
         true},
        // Two words said as three: each written word highlighted in turn.
        {"Ask about New York again.",
         Entry(QStringLiteral("New York"), QStringLiteral("the big apple")),
         {0, 4, 10, 14, 19},
         false},
    };
    for (const QString& voice : {kEspeakVoice, kFliteVoice}) {
        ASSERT_TRUE(Open(voice, QStringLiteral("words.wav")));
        for (const auto& c : cases) {
            if (c.espeakOnly && voice != kEspeakVoice) {
                continue;
            }
            const QString text = QString::fromLatin1(c.text);
            SCOPED_TRACE((voice + QStringLiteral(": ") + text).toStdString());
            PronunciationLexicon::setEntries({});
            ASSERT_TRUE(Say(voice, text));
            EXPECT_EQ(positions_, WordStarts(text)) << "without the entry";
            PronunciationLexicon::setEntries({c.entry});
            ASSERT_TRUE(Say(voice, text));
            EXPECT_EQ(positions_, c.words) << "with the entry";
        }
        driver_->TTS1.SetActive(false);
    }
    EXPECT_EQ(failures_, QStringList{});
}

TEST_F(LexiconSpeech, AChangeHoldsFromTheNextTextOnTheSameActiveVoice) {
    const QString sentence = QStringLiteral("Nguyen.");
    const QByteArray before = Speak(kEspeakVoice, sentence);
    const QByteArray replaced = Speak(kEspeakVoice, QStringLiteral("Win."));
    ASSERT_FALSE(SaySameThing(before, replaced));

    ASSERT_TRUE(Open(kEspeakVoice, QStringLiteral("three.wav")));
    ASSERT_TRUE(Say(kEspeakVoice, sentence));
    PronunciationLexicon::setEntries({Entry(QStringLiteral("Nguyen"), QStringLiteral("Win"))});
    ASSERT_TRUE(Say(kEspeakVoice, sentence));
    PronunciationLexicon::setEntries({});
    ASSERT_TRUE(Say(kEspeakVoice, sentence));
    EXPECT_TRUE(driver_->TTS1.Active()) << "the same activation all along";
    driver_->TTS1.SetActive(false);
    EXPECT_TRUE(SaySameThing(WaveData(dir_.filePath(QStringLiteral("three.wav"))),
                             before + replaced + before));
}

namespace {

// Counts the audio stops of an activated mode.
class StopCounter : public ITTSNotifySinkW {
  public:
    HRESULT AttribChanged(uint32_t) override { return S_OK; }
    HRESULT AudioStart(uint64_t) override { return S_OK; }
    HRESULT AudioStop(uint64_t) override {
        ++stops;
        return S_OK;
    }
    HRESULT Visual(uint64_t, QChar, QChar, uint32_t) override { return S_OK; }
    int stops = 0;
};

// The samples that the dialog's speaker of a mode says for one request.
QByteArray SpeakerSays(const QUuid& mode, const QString& path,
                       const std::function<void(LexiconSpeaker&)>& request) {
    std::unique_ptr<ITTSCentralW> central;
    TtsEnumerator enumerator;
    EXPECT_EQ(enumerator.Select(mode, &central, std::make_unique<WaveFileDestination>(path)), S_OK);
    auto* speaker = dynamic_cast<LexiconSpeaker*>(central.get());
    EXPECT_NE(speaker, nullptr);
    if (!speaker) {
        return {};
    }
    StopCounter counter;
    uint32_t key = 0;
    EXPECT_EQ(central->Register(&counter, &key), S_OK);
    request(*speaker);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.stops > 0; }, kSpeechTimeoutMs));
    central->UnRegister(key);
    EXPECT_TRUE(central->destination()->flush());  // completes the file
    central.reset();
    return WaveData(path);
}

}  // namespace

TEST_F(LexiconSpeech, TheDialogsSpeakerSaysEntriesNotYetSaved) {
    const QString sentence = QStringLiteral("Mister Nguyen reads.");
    const QUuid espeak = FindTTSModeID(QStringLiteral("English (America)"));
    ASSERT_FALSE(espeak.isNull());
    const auto say = [&](const QString& name, const std::function<void(LexiconSpeaker&)>& request) {
        return SpeakerSays(espeak, dir_.filePath(name), request);
    };
    const QByteArray plain = say(QStringLiteral("plain.wav"), [&](LexiconSpeaker& speaker) {
        speaker.sayWithLexicon(sentence);
    });
    const QByteArray wanted = say(QStringLiteral("wanted.wav"), [&](LexiconSpeaker& speaker) {
        speaker.sayWithLexicon(QStringLiteral("Mister Win reads."));
    });
    ASSERT_FALSE(SaySameThing(plain, wanted));

    const LexiconEntries unsaved{Entry(QStringLiteral("Nguyen"), QStringLiteral("w'In"), true)};
    EXPECT_TRUE(SaySameThing(
        say(QStringLiteral("unsaved.wav"),
            [&](LexiconSpeaker& speaker) { speaker.sayWithEntries(sentence, unsaved); }),
        wanted));
    EXPECT_TRUE(PronunciationLexicon::entries().isEmpty());

    PronunciationLexicon::setEntries({Entry(QStringLiteral("Nguyen"), QStringLiteral("Win"))});
    EXPECT_TRUE(
        SaySameThing(say(QStringLiteral("saved.wav"),
                         [&](LexiconSpeaker& speaker) { speaker.sayWithLexicon(sentence); }),
                     wanted));
    EXPECT_TRUE(
        SaySameThing(say(QStringLiteral("none.wav"),
                         [&](LexiconSpeaker& speaker) { speaker.sayWithEntries(sentence, {}); }),
                     plain))
        << "only the entries given";
}

TEST(LexiconAfterFilter,
     AnEntryInCapitalsMatchedAsWrittenHoldsForWordsTheFilterSaysInSmallLetters) {
    // The filter says words of more than four capitals in small letters before the lexicon
    // sees the text; an entry for such a word, matched as written, must still hold.
    TTTSFilter filter;
    const QString filtered =
        filter.FilterText(0, QStringLiteral("UNESCO met Unesco and unesco."), false);
    const LexiconMatcher matcher(
        {{QStringLiteral("UNESCO"), QStringLiteral("you ness co"), false, true, {}}},
        QStringLiteral("en-us"), true);
    const QString said = matcher.apply(filtered).text;
    EXPECT_TRUE(said.startsWith(QStringLiteral("you ness co met"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("Unesco"))) << "other capitals stay as they are";
}
