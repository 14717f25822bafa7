// Titles of articles read into files from the main window: any script, typed and pasted text.
#include "tests/app/readtofilefixture.h"

using namespace readtofiletest;

TEST_F(ReadToFile, FilesAndChaptersInAnyScriptAreNamedAfterTheirTitles) {
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("OUT_FileFormat", QStringLiteral("0"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    auto form = Start(1, {});
    QTemporaryDir texts;
    QStringList files;
    for (const QString& name :
         {QStringLiteral("Caf\u00E9 cr\u00E8me \u2013 r\u00E9sum\u00E9.txt"),
          QStringLiteral("\u65E5\u672C\u8A9E\u306E\u672C.txt"), QStringLiteral("!!!.txt")}) {
        files << texts.filePath(name);
        audiotools::Write(files.back(), "A few words.");
    }
    EpubBook book;
    book.title = QStringLiteral("Book");
    book.pages = {TextPage(QStringLiteral("one.xhtml"),
                           QStringLiteral("\U00020BB7\u91CE\u5BB6\u306E\u6B74\u53F2"),
                           QStringLiteral("<p>The first chapter.</p>")),
                  TextPage(QStringLiteral("two.xhtml"), QStringLiteral("Two"),
                           QStringLiteral("<p>The second chapter.</p>"))};
    files << texts.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(WriteEpub(files.back(), book));
    form->OpenTextFiles(files);
    ASSERT_EQ(form->List()->VisibleCount(), 5);
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(Files(), (QStringList{
                           QStringLiteral("01_\U00020BB7\u91CE\u5BB6\u306E\u6B74\u53F2.wav"),
                           QStringLiteral("02_Two.wav"),
                           QStringLiteral("Caf\u00E9_cr\u00E8me_r\u00E9sum\u00E9.wav"),
                           QStringLiteral("Untitled.wav"),
                           QStringLiteral("\u65E5\u672C\u8A9E\u306E\u672C.wav"),
                       }));
}

TEST_F(ReadToFile, TypedAndPastedTextsGetTheirDefaultTitles) {
    Store("CB_Monitor", QStringLiteral("false"));
    auto form = Start(0, {});
    TMemoEntry* typed = form->List()->CurrentEntry();
    QTest::keyClicks(typed->Editor(), QStringLiteral("Hello world. Typed here"));
    EXPECT_EQ(typed->Title(), QStringLiteral("Hello_world_Typed_he"));
    form->ReadArticleToFile(typed);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Hello_world_Typed_he.wav")});

    // Pasted text, and a title the user typed, which the text no longer changes.
    QApplication::clipboard()->setText(QStringLiteral("Pasted words"));
    TMemoEntry* pasted = form->AddNewArticle();
    ASSERT_NE(pasted, nullptr);
    form->PasteClick();
    EXPECT_EQ(pasted->Title(), QStringLiteral("Pasted_words"));
    QLineEdit* titleBox = pasted->PropertyPanel()->TitleBox;
    titleBox->setFocus();
    titleBox->end(false);
    QTest::keyClicks(titleBox, QStringLiteral("Mine"));
    QTest::keyClicks(pasted->Editor(), QStringLiteral(" and more"));
    EXPECT_EQ(pasted->Title(), QStringLiteral("Pasted_wordsMine"));

    // A text without a letter or digit still gets a title, and so a file.
    TMemoEntry* untitled = form->AddNewArticle();
    ASSERT_NE(untitled, nullptr);
    QTest::keyClicks(untitled->Editor(), QStringLiteral("?! ..."));
    EXPECT_EQ(untitled->Title(), QStringLiteral("Untitled"));
    form->ReadArticleToFile(untitled);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(Files().contains(QStringLiteral("Untitled.wav")));

    // A title box emptied by the user: the message does not send them to an option already on.
    untitled->PropertyPanel()->TitleBox->clear();
    ASSERT_EQ(untitled->Title(), QString());
    form->ReadArticleToFile(untitled);
    ASSERT_TRUE(WaitIdle(*form));
    ASSERT_EQ(messages_.all.size(), 1);
    EXPECT_TRUE(messages_.all[0].startsWith(
        QStringLiteral("A title is required to output speech to a file")));
    EXPECT_FALSE(messages_.all[0].contains(QStringLiteral("Default Article Titles")));
}
