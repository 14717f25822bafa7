// The pronunciation editor from the window: the lexicon dialog with the default voice, its
// edits stored at once and heard in the next sentence, the menu item off while reading, and the
// information dialog of the engine maker whose own lexicon it once was.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "app/form1.h"
#include "app/lexicondialog.h"
#include "app/lexiconentrydialog.h"
#include "app/proneditorinfoform.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/lexiconspeaker.h"
#include "platform/speechapi/ttsenumerator.h"
#include "speech/lexiconfile.h"
#include "speech/lexiconstore.h"
#include "speech/lexicontablemodel.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/modaldialog.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/speech/scriptedmodes.h"

namespace {

constexpr int kAudioTimeoutMs = 30000;

QAction* MenuItem(const TForm1& form, const QString& text) {
    for (QAction* menu : form.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == text) {
                return item;
            }
        }
    }
    return nullptr;
}

template <typename T>
T* Child(const QWidget& parent, const char* name) {
    auto* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Fills the entry dialog that clicking opener opens, and presses OK.
void AddEntry(QPushButton* opener, const LexiconEntry& entry, QString* problem = nullptr) {
    WithModal<LexiconEntryDialog>([&] { opener->click(); },
                                  [&](LexiconEntryDialog& dialog) {
                                      dialog.writtenEdit()->setText(entry.written);
                                      dialog.spokenEdit()->setText(entry.spoken);
                                      dialog.phonemesButton()->setChecked(entry.phonemes);
                                      dialog.matchCaseBox()->setChecked(entry.matchCase);
                                      dialog.accept();
                                      if (problem) {
                                          *problem = dialog.problemLabel()->text();
                                      }
                                      if (dialog.isVisible()) {
                                          dialog.reject();  // OK did not close it
                                      }
                                  });
}

// Hears what the dialog says: every call, in order.
class RecordingSpeaker : public LexiconSpeaker {
  public:
    void sayWithLexicon(const QString& text) override { said << QStringLiteral("L:") + text; }
    void sayWithEntries(const QString& text, const LexiconEntries& entries) override {
        said << QStringLiteral("E:") + text;
        heardEntries = entries;
    }
    void hush() override { ++hushed; }
    QStringList said;
    LexiconEntries heardEntries;
    int hushed = 0;
};

class Pronunciation : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(Pronunciation, TheDialogStoresEachChangeAtOnceAndItsSearchLooksAtTheWordsOnly) {
    const QString path = LexiconFile::defaultPath();
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Nguyen\tWin\nSQL\tsequel\tcase\nnot an entry\n");
    }
    LexiconStore store(path);
    QString error;
    ASSERT_TRUE(store.load(&error)) << error.toStdString();
    RecordingSpeaker speaker;
    {
        LexiconDialog dialog(
            store, {&speaker, QStringLiteral("Test voice"), QStringLiteral("en-us"), true},
            QStringLiteral("Quillsong MP3 Pronunciation"));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quillsong MP3 Pronunciation"));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* problems = Child<QLabel>(dialog, "ProblemsLabel");
        ASSERT_TRUE(problems);
        EXPECT_TRUE(problems->text().contains(QStringLiteral("Line 3: ")));
        EXPECT_EQ(dialog.model()->rowCount(), 2);

        // The search narrows the table to the words typed, not to what the other columns say
        // ("All languages" holds "ngu" too).
        dialog.findEdit()->setText(QStringLiteral("ngu"));
        ASSERT_EQ(dialog.table()->model()->rowCount(), 1);
        EXPECT_EQ(dialog.table()->model()->index(0, 0).data().toString(), QStringLiteral("Nguyen"));
        dialog.findEdit()->setText(QStringLiteral("SEQUEL"));
        ASSERT_EQ(dialog.table()->model()->rowCount(), 1);
        EXPECT_EQ(dialog.table()->model()->index(0, 0).data().toString(), QStringLiteral("SQL"));

        // "Say it" speaks the written form with just that entry; "Say the text" the sentence
        // with the whole lexicon.
        Child<QPushButton>(dialog, "SayItButton")->click();
        ASSERT_EQ(speaker.said, QStringList{QStringLiteral("E:SQL")});
        ASSERT_EQ(speaker.heardEntries.size(), 1);
        EXPECT_EQ(speaker.heardEntries.front().spoken, QStringLiteral("sequel"));
        auto* sayText = Child<QPushButton>(dialog, "SayTextButton");
        EXPECT_FALSE(sayText->isEnabled()) << "nothing to say yet";
        dialog.sampleEdit()->setText(QStringLiteral("Nguyen knows SQL."));
        sayText->click();
        EXPECT_EQ(speaker.said.last(), QStringLiteral("L:Nguyen knows SQL."));

        // Added: in the file at once, with the unreadable line still there.
        dialog.findEdit()->clear();
        auto* add = Child<QPushButton>(dialog, "AddButton");
        AddEntry(add, {QStringLiteral("Quixote"), QStringLiteral("ki'hoUte"), true, false, {}});
        LexiconContents stored;
        ASSERT_TRUE(LexiconFile::load(path, &stored, &error));
        ASSERT_EQ(stored.entries.size(), 3);
        EXPECT_TRUE(stored.entries.last().phonemes);
        ASSERT_EQ(stored.problems.size(), 1);
        EXPECT_EQ(stored.problems.front().text, QStringLiteral("not an entry"));

        // A second entry for the same words is refused with the reason, and nothing changes.
        QString problem;
        AddEntry(add, {QStringLiteral("nguyen"), QStringLiteral("Nuyen"), false, false, {}},
                 &problem);
        EXPECT_TRUE(problem.contains(QStringLiteral("already"))) << problem.toStdString();
        AddEntry(add, {QStringLiteral("Hello"), QString(), false, false, {}}, &problem);
        EXPECT_TRUE(problem.contains(QStringLiteral("spoken form is empty")))
            << problem.toStdString();
        // Phonemes the engine could not take are refused with a word why.
        AddEntry(add, {QStringLiteral("Long"), QString(700, QLatin1Char('s')), false, true, {}},
                 &problem);
        EXPECT_TRUE(problem.contains(QStringLiteral("700"))) << problem.toStdString();
        EXPECT_EQ(store.entries().size(), 3);

        // Edited, then deleted with the Delete key (after saying yes).
        dialog.findEdit()->setText(QStringLiteral("Nguyen"));
        ASSERT_EQ(dialog.table()->model()->rowCount(), 1);
        dialog.table()->selectRow(0);
        WithModal<LexiconEntryDialog>([&] { Child<QPushButton>(dialog, "EditButton")->click(); },
                                      [](LexiconEntryDialog& entry) {
                                          entry.spokenEdit()->setText(QStringLiteral("Nwin"));
                                          entry.accept();
                                      });
        ASSERT_TRUE(LexiconFile::load(path, &stored, &error));
        EXPECT_EQ(stored.entries.front().spoken, QStringLiteral("Nwin"));
        dialog.table()->setFocus();
        dialog.table()->selectRow(0);
        EXPECT_TRUE(WithModal<QMessageBox>(
            [&] { QTest::keyClick(dialog.table(), Qt::Key_Delete); },
            [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }));
        ASSERT_TRUE(LexiconFile::load(path, &stored, &error));
        ASSERT_EQ(stored.entries.size(), 2);
        EXPECT_EQ(stored.entries.front().written, QStringLiteral("SQL"));
    }
    EXPECT_GE(speaker.hushed, 1) << "closing the dialog stops what it was saying";
}

TEST_F(Pronunciation, TheMenuOpensTheLexiconWithTheDefaultVoiceWhichSpeaksAndIsReleasedAfter) {
    SKIP_WITHOUT_SOUND_DEVICE();
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
    QAction* item = MenuItem(*form, QStringLiteral("&Pronunciation Editor"));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    TTTS& tts = form->Driver()->TTS1;
    QSignalSpy audio(&tts, &TTTS::OnAudioStart);
    bool spoke = false;
    QString voiceNote;
    const bool seen = WithModal<LexiconDialog>(
        [&] { item->trigger(); },
        [&](LexiconDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Quillsong MP3 Pronunciation"));
            EXPECT_TRUE(tts.Active()) << "a voice is there to try entries with";
            voiceNote = Child<QLabel>(dialog, "NoteLabel")->text();
            dialog.sampleEdit()->setText(QStringLiteral("Nguyen is here."));
            Child<QPushButton>(dialog, "SayTextButton")->click();
            spoke = audio.wait(kAudioTimeoutMs) || !audio.isEmpty();
            dialog.accept();
        });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(spoke) << "Say the text is heard";
    EXPECT_TRUE(voiceNote.contains(form->Preferences().TTS_DefaultVoiceName))
        << voiceNote.toStdString();
    EXPECT_FALSE(tts.Active()) << "the voice is released for reading";
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->State(), rsIdle) << "what the dialog said was no reading";

    // While an article is read, the item is off and its command does nothing.
    TMemoEntry* entry = form->List()->Entries[0];
    entry->SetArticleText(
        QStringLiteral("A long enough text to be still reading when the menu is used. ")
            .repeated(4));
    form->ReadArticleAloud(entry);
    ASSERT_EQ(form->State(), rsReading);
    EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(WithModal<LexiconDialog>([&] { form->PronunciationEditorMItmClick(); },
                                          [](LexiconDialog& dialog) { dialog.reject(); }));
    form->StopBtnClick();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, kAudioTimeoutMs));
    EXPECT_TRUE(item->isEnabled());
}

TEST_F(Pronunciation, TheMakersInformationDialogShowsUntilTurnedOffAndItsEngineIsTold) {
    SKIP_WITHOUT_SOUND_DEVICE();
    // The maker's engine beside eSpeak NG, for as long as the window lives.
    scripted::ScriptedModes maker;
    EspeakEngine espeak;
    scripted::EnginesInUse engines({&maker, &espeak});
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
    ASSERT_TRUE(form->Preferences().ShowPronEditWarning);
    QStringList memo;
    const bool seen = WithModal<TPronEditorInfoForm>(
        [&] { form->PronunciationEditorMItmClick(); },
        [&](TPronEditorInfoForm& info) {
            EXPECT_EQ(info.windowTitle(), QStringLiteral("Pronunciation Editor Info"));
            memo = info.Memo1->toPlainText().split(QLatin1Char('\n'));
            EXPECT_EQ(info.Button1->text(), QStringLiteral("Continue"));
            EXPECT_EQ(info.CheckBox1->text(), QStringLiteral("Do not display this dialog again"));
            info.CheckBox1->click();
            info.Button1->click();
        });
    ASSERT_TRUE(seen);
    ASSERT_EQ(memo.size(), 8);
    EXPECT_EQ(memo[3], QStringLiteral("Microsoft Text-To-Speech engine.   That means any "
                                      "pronuncation changes "));
    EXPECT_FALSE(form->Preferences().ShowPronEditWarning);
    // The maker's engine has no lexicon dialog here: it says so, and is released.
    ASSERT_EQ(m_messages.errors.size(), 1) << m_messages.all.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(m_messages.errors.front().contains(QStringLiteral("not implemented")));
    EXPECT_FALSE(form->Driver()->TTS1.Active());

    // Turned off: not shown again, also after a restart.
    m_messages.clear();
    EXPECT_FALSE(WithModal<TPronEditorInfoForm>([&] { form->PronunciationEditorMItmClick(); },
                                                [](TPronEditorInfoForm& info) { info.close(); }));
    form->StorePreferencesNow();
    TPreferences stored;
    stored.ReadAll();
    stored.ApplyStoredValues();
    EXPECT_FALSE(stored.ShowPronEditWarning);
}
