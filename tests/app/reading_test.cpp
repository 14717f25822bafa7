// Reading aloud from the main window, with the real engines on the audio server.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/form1.h"
#include "app/readtofilejob.h"
#include "articles/articletext.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/synthengine.h"
#include "platform/speechapi/ttsenumerator.h"
#include "speech/ttsform.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/speech/scriptedmodes.h"

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");

class Reading : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }

    // A started main window in the given mode, with the given articles and nothing else.
    std::unique_ptr<TForm1> Start(int mode, const QStringList& texts, bool autoDelete = false) {
        auto form =
            StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                             {QStringLiteral("ML_ListMode"), QString::number(mode)},
                             {QStringLiteral("ML_AutoDelete"),
                              autoDelete ? QStringLiteral("true") : QStringLiteral("false")}});
        for (qsizetype i = 0; i < texts.size(); ++i) {
            form->AddNewArticle();
            form->List()->CurrentEntry()->SetArticleText(texts[i]);
        }
        return form;
    }
    // Gathers the short status texts that name the article being read.
    static void CollectArticleTexts(TForm1& form, QStringList& texts) {
        QObject::connect(&form, &TForm1::statusChanged,
                         [&texts](const QString&, const QString& shortText) {
                             if (shortText.startsWith(QStringLiteral("Article"))) {
                                 texts << shortText;
                             }
                         });
    }
    static bool WaitIdle(TForm1& form, int ms = 30000) {
        return QTest::qWaitFor([&] { return form.State() == rsIdle; }, ms);
    }
    CapturedMessages messages_;
};

}  // namespace

TEST_F(Reading, TheWholeListWithAutoDeleteEndsWithOneEmptyArticle) {
    auto form =
        Start(1, {QStringLiteral("One."), QStringLiteral("Two."), QStringLiteral("Three.")}, true);
    QStringList shortTexts;
    CollectArticleTexts(*form, shortTexts);
    form->PlayAllBtnClick();
    EXPECT_EQ(form->State(), rsReading) << messages_.all.join(QLatin1Char(';')).toStdString();
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdSkip)) << "Skip works in multi-article mode";
    EXPECT_FALSE(form->CommandEnabled(TForm1::cmdAloud));
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(shortTexts, (QStringList{"Article 1 of 3", "Article 1 of 2", "Article 1 of 1"}));
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    EXPECT_TRUE(form->List()->Entries.first()->GetArticleText().isEmpty());
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("No articles"));
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdAloud));
}

TEST_F(Reading, SkipMovesOnInMultiArticleModeOnly) {
    auto form =
        Start(1, {QStringLiteral("The first article is long enough to be skipped before it ends, "
                                 "because it goes on and on for quite a while."),
                  QStringLiteral("Second.")});
    QStringList shortTexts;
    CollectArticleTexts(*form, shortTexts);
    form->PlayAllBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->List()->Entries[0]->Editor()->SelLength() > 0; },
                                20000));
    form->SkipBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(shortTexts, (QStringList{"Article 1 of 2", "Article 2 of 2"}));
    // No word stays highlighted once its article is skipped or the reading has ended.
    for (TMemoEntry* entry : std::as_const(form->List()->Entries)) {
        EXPECT_EQ(entry->Editor()->SelLength(), 0);
    }

    auto single = Start(0, {QStringLiteral("Single article mode has no skipping.")});
    single->PlayAllBtnClick();
    EXPECT_FALSE(single->CommandEnabled(TForm1::cmdSkip));
    ASSERT_TRUE(WaitIdle(*single));
}

TEST_F(Reading, StopWhilePausedResetsThePauseCaptions) {
    auto form = Start(
        0, {QStringLiteral("A sentence that takes a few seconds, so there is time to pause it.")});
    form->PlayAllBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->List()->Entries[0]->Editor()->SelLength() > 0; },
                                20000));
    form->PauseBtnClick();
    EXPECT_EQ(form->State(), rsPaused);
    EXPECT_EQ(form->PauseCaptions(), (QStringList{"Resume", "&Resume", "Resume"}));
    EXPECT_EQ(form->StatusPanelText(1), QStringLiteral("Pause"));
    form->StopBtnClick();
    EXPECT_EQ(form->State(), rsIdle);
    EXPECT_EQ(form->PauseCaptions(), (QStringList{"Pause", "&Pause", "&Pause"}));
    EXPECT_EQ(form->List()->Entries[0]->Editor()->SelLength(), 0) << "stopped: no word marked";
    form->PlayAllBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->List()->Entries[0]->Editor()->SelLength() > 0; },
                                20000));
    form->PauseBtnClick();
    EXPECT_EQ(form->State(), rsPaused) << "the next Pause pauses";
    form->StopBtnClick();
}

TEST_F(Reading, TheHighlightFollowsTheWordsAlsoAfterTheFilterChangedLengths) {
    const QString text = QStringLiteral("AP said NY was calm today");
    auto form = Start(0, {text});
    QStringList highlighted;
    TMyPlusMemo* editor = form->List()->Entries[0]->Editor();
    QObject::connect(editor, &QPlainTextEdit::selectionChanged, [&] {
        const QString word = editor->textCursor().selectedText();
        if (!word.isEmpty() && (highlighted.isEmpty() || highlighted.last() != word)) {
            highlighted << word;
        }
    });
    form->PlayAllBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(highlighted, (QStringList{"AP", "said", "NY", "was", "calm", "today"}));
}

TEST_F(Reading, ASelectionIsReadTheSameWhicheverWayItWasMade) {
    const QString text = QStringLiteral("Skip this. Read these words only. Not this.");
    auto form = Start(0, {text});
    TMyPlusMemo* editor = form->List()->Entries[0]->Editor();
    const int from = int(text.indexOf(QStringLiteral("Read"))),
              to = int(text.indexOf(QStringLiteral(" Not")));
    for (bool backwards : {false, true}) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(backwards ? to : from);
        cursor.setPosition(backwards ? from : to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        QStringList words;
        auto connection = QObject::connect(editor, &QPlainTextEdit::selectionChanged, [&] {
            const QString word = editor->textCursor().selectedText();
            if (!word.isEmpty() && (words.isEmpty() || words.last() != word)) {
                words << word;
            }
        });
        form->ReadHighlighted1Click();
        ASSERT_TRUE(WaitIdle(*form));
        QObject::disconnect(connection);
        EXPECT_EQ(words, (QStringList{"Read", "these", "words", "only."})) << backwards;
    }
}

TEST_F(Reading, AMissingFileArticleSaysSo) {
    auto form = Start(0, {ArticleText::FileArticleText(QStringLiteral("/nowhere/book.txt"))});
    form->List()->Entries[0]->SetFileEntry(true);
    form->PlayAllBtnClick();
    EXPECT_EQ(form->State(), rsIdle);
    EXPECT_EQ(messages_.messages, QStringList{QStringLiteral("File /nowhere/book.txt not found")});
}

TEST_F(Reading, NewArticlesTakeTheVoiceOfTheModesPolicy) {
    auto form = Start(1, {});
    const QString a = QStringLiteral("eSpeak English (America)");
    const QString b = QStringLiteral("Flite kal");
    form->VoicePolicies().setFavourites({a, b});
    form->Preferences().MI_Voice = 2;  // round robin
    EXPECT_EQ(form->ChooseVoiceForNewArticle(), a);
    EXPECT_EQ(form->ChooseVoiceForNewArticle(), b);
    form->Preferences().MI_Voice = 0;  // the default voice
    EXPECT_EQ(form->ChooseVoiceForNewArticle(), form->Preferences().TTS_DefaultVoiceName);
    // A new article gets its voice as it is made.
    form->Preferences().MI_Voice = 2;
    TMemoEntry* added = form->AddNewArticle();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Voice(), a) << "the next in turn";
}

namespace {

// An engine with no voice at all: the machine has no usable speech.
class NoVoices : public SynthEngine {
  public:
    QString name() const override { return QStringLiteral("None"); }
    QList<SynthVoice> voices() override { return {}; }
    int sampleRate(const SynthVoice&) override { return 0; }
    SynthParams defaultParams(const SynthVoice&) override { return {}; }
    SynthParams minParams() const override { return {}; }
    SynthParams maxParams() const override { return {}; }
    bool speak(const SynthVoice&, const QString&, const SynthParams&, SynthSink&) override {
        return false;
    }
};

}  // namespace

TEST_F(Reading, WithoutAnyVoiceTheProgramSaysSoAndEnds) {
    NoVoices none;
    TtsEnumerator::useEngines({&none});
    TForm1 form({QStringLiteral("quillsong")});
    form.SetSplashMinimum(0);
    QSignalSpy ended(&form, &TForm1::terminationRequested);
    QString title;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->accept();
        }
    });
    answer.start(10);
    form.show();
    const bool gotEnd = ended.wait(10000);
    TtsEnumerator::useEngines({});
    ASSERT_TRUE(gotEnd);
    EXPECT_EQ(title, QStringLiteral("Text To Speech Engine not found"));
    EXPECT_FALSE(form.Shown());
}

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

}  // namespace

TEST_F(Reading, EveryArticleReadingEndsAlsoWithoutWords) {
    QTemporaryDir dir;
    QByteArray early = "Hello there!\x1A";  // the end-of-file mark at byte 12
    while (early.size() < 8000) {
        early += "Words after the end of the file. ";
    }
    QByteArray dashes = "Hello there. ";  // then chunks of sentences without a word
    while (dashes.size() < 3 * 5120) {
        dashes += QByteArray(100, '-') + ". ";
    }
    struct Case {
        const char* name;
        QString text;
        bool file;
    };
    const QList<Case> cases{
        {"empty", QString(), false},
        {"blank", QStringLiteral("  \r\n\t "), false},
        {"file ended early", WriteFile(dir, QStringLiteral("early.txt"), early), true},
        {"file without words", WriteFile(dir, QStringLiteral("dashes.txt"), dashes), true},
    };
    auto form = Start(1, {QStringLiteral("Placeholder.")});
    TMemoEntry* entry = form->List()->Entries.first();
    entry->SelectVoice(kVoice);
    ASSERT_EQ(entry->Voice(), kVoice);
    for (const Case& c : cases) {
        entry->SetArticleText(c.file ? ArticleText::FileArticleText(c.text) : c.text);
        entry->SetFileEntry(c.file);
        form->ReadArticleAloud(entry);
        EXPECT_EQ(form->State(), rsReading) << c.name;
        ASSERT_TRUE(WaitIdle(*form, 120000)) << c.name;
    }
    EXPECT_EQ(messages_.all, QStringList{});
}

namespace {

// Records the value a progress bar shows each time it is painted.
class PaintedValues : public QObject {
  public:
    explicit PaintedValues(QProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && bar_->value() > 0 &&
            (values.isEmpty() || values.last() != bar_->value())) {
            values << bar_->value();
        }
        return false;
    }
    QList<int> values;

  private:
    QProgressBar* bar_;
};

}  // namespace

TEST_F(Reading, TheGaugeFollowsAFileArticleThroughItsFile) {
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; text.size() < 8 * 1024; ++i) {
        text += "Sentence number " + QByteArray::number(i) + " of a long file. ";
    }
    const QString path = WriteFile(dir, QStringLiteral("long.txt"), text);
    auto form = Start(1, {ArticleText::FileArticleText(path)});
    TMemoEntry* entry = form->List()->Entries.first();
    entry->SetFileEntry(true);
    auto* gauge = form->findChild<QProgressBar*>(QStringLiteral("StatusGauge"));
    ASSERT_NE(gauge, nullptr);
    PaintedValues painted(gauge);
    form->ReadArticleAloud(entry);
    ASSERT_EQ(form->State(), rsReading);
    EXPECT_TRUE(gauge->isVisible());
    // Some 300 characters in (a few pixels of the bar), what the user sees has moved along.
    ASSERT_TRUE(QTest::qWaitFor([&] { return gauge->value() >= 300; }, 60000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !painted.values.isEmpty() && painted.values.last() >= 300; }, 5000))
        << "the bar shows it";
    EXPECT_EQ(gauge->maximum(), text.size()) << "the gauge spans the file";
    EXPECT_GE(painted.values.size(), 5) << "the bar was painted as the reading went on";
    EXPECT_TRUE(std::is_sorted(painted.values.begin(), painted.values.end()));
    form->StopBtnClick();
    EXPECT_FALSE(gauge->isVisible());
}

TEST_F(Reading, AReadingWhoseEngineGoesQuietEndsWithItsMessageAndTheNextOneWorks) {
    // A quiet engine beside eSpeak NG, for as long as the window lives.
    scripted::ScriptedModes quiet;
    EspeakEngine espeak;
    scripted::EnginesInUse engines({&quiet, &espeak});
    auto form = Start(1, {QStringLiteral("Never spoken."), QStringLiteral("Spoken.")});
    TMemoEntry* first = form->List()->Entries[0];
    TMemoEntry* second = form->List()->Entries[1];
    QString mary;  // the quiet engine's voice
    for (const auto& voice : form->Driver()->Catalogue.voiceList) {
        if (voice->Engine->MfgName == QStringLiteral("Microsoft")) {
            mary = voice->Name;
        }
    }
    ASSERT_FALSE(mary.isEmpty());
    first->SelectVoice(mary);
    ASSERT_EQ(first->Voice(), mary);
    second->SelectVoice(kVoice);
    ASSERT_EQ(second->Voice(), kVoice);
    form->Driver()->SetQuietLimit(300);

    form->PlayAllBtnClick();
    EXPECT_EQ(form->State(), rsReading);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(messages_.errors,
              QStringList{QStringLiteral(
                              "The reading stopped: the voice %1 gave no speech for 0.3 seconds.")
                              .arg(mary)})
        << "the walk ends at the failed article";
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdAloud));
    EXPECT_FALSE(first->Locked);

    messages_.clear();
    form->Driver()->SetQuietLimit(TTTSForm::kQuietLimitMs);
    form->ReadArticleAloud(second);
    EXPECT_EQ(form->State(), rsReading);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(messages_.all, QStringList{});
}

TEST_F(Reading, ATextTheEngineRefusesLeavesNoFileBehind) {
    scripted::ScriptedModes refusing;
    refusing.speakResult = 0x80040201;
    scripted::EnginesInUse engines({&refusing});
    QTemporaryDir out;
    auto form = Start(1, {QStringLiteral("Never spoken.")});
    form->Preferences().OUT_Directory = out.path();
    form->Preferences().OUT_FileFormat = OutputFormat::Wav;
    TMemoEntry* entry = form->List()->Entries[0];
    entry->SetTitle(QStringLiteral("Refused"));
    form->ReadArticleToFile(entry);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(messages_.errors.size(), 1);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{}) << "no partial wave file";
    EXPECT_FALSE(entry->Locked);
}
