// Copied texts becoming articles: the threshold, the prompt and its timer, appending, the
// single-article reading guard and the Watch Clipboard items, with the real clipboard of the
// window system the tests run on.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include "app/cbpromptform.h"
#include "app/form1.h"
#include "articles/articletext.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

class Clipboard : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        QGuiApplication::clipboard()->clear();
    }
    // A started window in the given mode with one blank article, the prompt on or off.
    std::unique_ptr<TForm1> Start(int mode, bool prompt) {
        return StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                {QStringLiteral("ML_ListMode"), QString::number(mode)},
                                {QStringLiteral("CB_Prompt"),
                                 prompt ? QStringLiteral("true") : QStringLiteral("false")}});
    }
    static void Copy(const QString& text) { QGuiApplication::clipboard()->setText(text); }
    static QStringList Texts(const TForm1& form) {
        QStringList texts;
        for (int i = 0; i < form.List()->VisibleCount(); ++i) {
            texts << form.List()->Entries[i]->GetArticleText();
        }
        return texts;
    }
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(Clipboard, LongEnoughPlainTextsBecomeArticlesWithoutAPrompt) {
    auto form = Start(1, false);
    form->Preferences().CB_DfltPromptAction = 2;  // Cancel: without a prompt, a new article
    Copy(QStringLiteral("0123456789"));           // as long as the threshold: ignored
    EXPECT_EQ(Texts(*form), QStringList{QString()});
    Copy(QStringLiteral("0123456789A"));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("0123456789A")})
        << "the blank article takes the text";
    Copy(QStringLiteral("A second copied text."));
    EXPECT_EQ(Texts(*form), (QStringList{QStringLiteral("0123456789A"),
                                         QStringLiteral("A second copied text.")}));
    // The new article works as every other: its buttons have their handlers.
    TMemoEntry* made = form->List()->Entries[1];
    EXPECT_TRUE(made->OnRead && made->OnReadToFile && made->OnDelete);

    // A picture, or files copied in a file manager, are no text to read.
    auto* picture = new QMimeData;
    picture->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(picture);
    auto* files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(QStringLiteral("/etc/hostname"))});
    files->setText(QStringLiteral("/etc/hostname is a file"));
    QGuiApplication::clipboard()->setMimeData(files);
    EXPECT_EQ(form->List()->VisibleCount(), 2);

    // Watching off: nothing is taken; on again: the text already there is not taken either.
    form->MonitorCBClick();
    EXPECT_FALSE(form->Preferences().CB_Monitor);
    Copy(QStringLiteral("Copied while nobody watches."));
    form->MonitorCBClick();
    EXPECT_TRUE(form->Preferences().CB_Monitor);
    EXPECT_EQ(form->List()->VisibleCount(), 2);
    Copy(QStringLiteral("Copied while watched again."));
    EXPECT_EQ(form->List()->VisibleCount(), 3);
    EXPECT_TRUE(m_messages.all.isEmpty());
}

TEST_F(Clipboard, AppendedTextsJoinTheCurrentArticle) {
    auto form = Start(1, false);
    form->Preferences().CB_DfltPromptAction = 1;  // Append
    Copy(QStringLiteral("The first line of it."));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("The first line of it.")})
        << "a blank article is appended to as it is";
    Copy(QStringLiteral("And what follows it."));
    EXPECT_EQ(Texts(*form),
              QStringList{QStringLiteral("The first line of it. And what follows it.")});
    form->List()->CurrentEntry()->SetArticleText(QStringLiteral("Ends with a break\n"));
    Copy(QStringLiteral("On the next line."));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("Ends with a break\nOn the next line.")});
}

TEST_F(Clipboard, ThePromptTakesItsDefaultActionWhenItsTimeIsUp) {
    auto form = Start(1, true);
    form->Preferences().CB_PromptDelay = 1;
    form->Preferences().CB_DfltPromptAction = 1;  // Append, not possible in a blank list
    Copy(QStringLiteral("Copied with the prompt up."));
    TCB_PromptForm* prompt = form->PromptForm();
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_FALSE(prompt->Button(ClipboardRules::Action::Append)->isEnabled());
    EXPECT_EQ(prompt->DefaultAction(), ClipboardRules::Action::Cancel);
    // While it is up, further copies are turned away.
    Copy(QStringLiteral("Another copy meanwhile."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompt->isVisible(); }, 10000));
    EXPECT_EQ(Texts(*form), QStringList{QString()}) << "cancelled by the timer";
    EXPECT_EQ(form->Preferences().CB_LastPromptAction, 2) << "recorded as the last action";

    // New by the user's click, recorded too.
    form->Preferences().CB_DfltPromptAction = 3;  // Remember Last
    Copy(QStringLiteral("Copied and made new."));
    ASSERT_TRUE(prompt->isVisible());
    QTest::mouseClick(prompt->Button(ClipboardRules::Action::New), Qt::LeftButton);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("Copied and made new.")});
    EXPECT_EQ(form->Preferences().CB_LastPromptAction, 0);
    Copy(QStringLiteral("Remembered as new."));
    EXPECT_EQ(prompt->DefaultAction(), ClipboardRules::Action::New);
    EXPECT_TRUE(prompt->Button(ClipboardRules::Action::Append)->isEnabled());
    QTest::mouseClick(prompt->Button(ClipboardRules::Action::Cancel), Qt::LeftButton);

    // Escape, or a close box the window manager adds, cancels: nothing is taken later.
    form->Preferences().CB_LastPromptAction = 0;
    Copy(QStringLiteral("Copied and dismissed."));
    ASSERT_TRUE(prompt->isVisible() && prompt->CountingDown());
    QTest::keyClick(prompt, Qt::Key_Escape);
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_FALSE(prompt->CountingDown());
    EXPECT_EQ(form->Preferences().CB_LastPromptAction, 2);

    // No time to answer: the default is taken at once, and no window appears for it.
    form->Preferences().CB_PromptDelay = 0;
    form->Preferences().CB_DfltPromptAction = 0;
    Copy(QStringLiteral("Taken without a prompt."));
    EXPECT_FALSE(prompt->isVisible());
    EXPECT_EQ(Texts(*form), (QStringList{QStringLiteral("Copied and made new."),
                                         QStringLiteral("Taken without a prompt.")}));
    EXPECT_EQ(form->Preferences().CB_LastPromptAction, 0);
    // A keystroke that reaches the closed prompt chooses nothing.
    QTest::keyClick(prompt->Button(ClipboardRules::Action::New), Qt::Key_Space);
    EXPECT_EQ(form->List()->VisibleCount(), 2);
}

TEST_F(Clipboard, NothingIsTakenWhileTheSingleArticleIsRead) {
    auto form = Start(0, false);
    form->Preferences().SI_ShowBusyDialog = false;
    form->List()->CurrentEntry()->SetArticleText(
        QString(QStringLiteral("A sentence read for a while. ")).repeated(20));
    form->PlayAllBtnClick();
    ASSERT_EQ(form->State(), rsReading);
    Copy(QStringLiteral("Copied while reading."));
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    EXPECT_TRUE(
        form->List()->Entries[0]->GetArticleText().startsWith(QStringLiteral("A sentence")));
    form->StopBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 20000));
    Copy(QStringLiteral("Copied once the reading ended."));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("Copied once the reading ended.")})
        << "single-article mode: the copy replaces the article";
}

TEST_F(Clipboard, TextCopiedFromAnArticleIsNotTakenBack) {
    auto form = Start(1, false);
    TMemoEntry* article = form->List()->CurrentEntry();
    article->SetArticleText(QStringLiteral("A sentence the user copies from the article."));
    article->Editor()->selectAll();
    article->Editor()->copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("A sentence the user copies from the article."));
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    article->Editor()->cut();
    EXPECT_EQ(form->List()->VisibleCount(), 1);
    Copy(QStringLiteral("A sentence copied in another program."));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("A sentence copied in another program.")})
        << "the emptied article takes the other program's copy";
}

TEST_F(Clipboard, ACopyOverTheLargestArticleIsRefusedWithTheLimit) {
    auto form = Start(1, false);
    form->Preferences().CB_DfltPromptAction = 2;  // without a prompt, a new article
    const QString copied(ArticleText::kLargestText + 1, QLatin1Char('a'));
    Copy(copied);
    EXPECT_EQ(Texts(*form), QStringList{QString()}) << "no article takes it";
    EXPECT_EQ(m_messages.all,
              QStringList{QStringLiteral(
                  "The text has 10.0 million characters: a pasted or copied article holds at "
                  "most 10 million. Save the text in a text file and open it with Text File; a "
                  "text file is read from the disk, whatever its size.")});
    Copy(QStringLiteral("A copied text of ordinary size."));
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("A copied text of ordinary size.")});
}
