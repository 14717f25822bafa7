#include "documents/htmltext.h"

#include <gtest/gtest.h>
#include <QStringList>

TEST(HtmlText, ParagraphsTablesAndImageDescriptionsAreReadAsAReaderHearsThem) {
    const HtmlText::Result page = HtmlText::fromHtml(QStringLiteral(
        "<html><head><title> The  Garden </title><style>p{color:red}</style></head><body>"
        "<h1>Planting</h1><p>Dig a <b>deep</b> hole.<br>Then water it.</p>"
        "<p><img src='a.png' alt='A spade in the soil'> <img src='b.png'></p>"
        "<table><tr><th>Plant</th><th>Month</th></tr><tr><td>Tulip</td><td>October</td></tr>"
        "</table><script>var x = 1;</script><p>The&nbsp;end.</p></body></html>"));
    EXPECT_EQ(page.title, QStringLiteral("The Garden"));
    EXPECT_EQ(page.text, QStringLiteral("Planting\n\nDig a deep hole.\nThen water it.\n\n"
                                        "A spade in the soil\n\nPlant, Month\n\nTulip, October\n\n"
                                        "The end."));
}

TEST(HtmlText, MarkdownLosesItsMarkupButKeepsItsParagraphs) {
    const HtmlText::Result page = HtmlText::fromMarkdown(
        QStringLiteral("# Title here\n\nSome *emphasis* and a [link](http://example.com).\n\n"
                       "- one\n- two\n\n| A | B |\n|---|---|\n| 1 | 2 |\n\n![a cat](cat.png)\n"));
    EXPECT_EQ(page.title, QString());
    EXPECT_EQ(page.text, QStringLiteral("Title here\n\nSome emphasis and a link.\n\none\n\ntwo\n\n"
                                        "A, B\n\n1, 2\n\na cat"));
}

TEST(HtmlText, TheCharacterSetComesFromTheByteOrderMarkOrTheMetaTag) {
    const QByteArray latin1 =
        "<html><head><meta charset=\"iso-8859-1\"></head><body>caf\xe9</body>";
    EXPECT_TRUE(HtmlText::decodeHtml(latin1).contains(QStringLiteral("caf\u00e9")));
    const QByteArray utf8 = "<p>caf\xc3\xa9</p>";
    EXPECT_TRUE(HtmlText::decodeHtml(utf8).contains(QStringLiteral("caf\u00e9")));
    QByteArray utf16("\xff\xfe", 2);
    for (QChar c : QStringLiteral("<p>\u00e9</p>")) {
        utf16.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    }
    EXPECT_EQ(HtmlText::decodeHtml(utf16), QStringLiteral("<p>\u00e9</p>"));
}

TEST(HtmlText, TemplatesAreNotReadAndBlocksQtDoesNotKnowAreParagraphs) {
    const HtmlText::Result page = HtmlText::fromHtml(QStringLiteral(
        "<body><p>Rows<template><tr><td>Hidden cell</td></tr></template> follow.</p>"
        "<TEMPLATE id=t><template>Inner</template>Outer</TEMPLATE>"
        "<details><summary>More about roses</summary><p>They need sun.</p></details>"
        "<header>Top</header><section>Middle</section><footer>Bottom</footer></body>"));
    EXPECT_EQ(page.text, QStringLiteral("Rows follow.\n\nMore about roses\n\nThey need sun.\n\n"
                                        "Top\n\nMiddle\n\nBottom"));
}

TEST(HtmlText, MarkdownReadsAsItsRenderedPage) {
    const HtmlText::Result page = HtmlText::fromMarkdown(QStringLiteral(
        "---\ntitle: \"Garden: a guide\"\ntags: [roses]\n---\n"
        "# Garden\n\n<!-- Keep this list sorted\nand updated. -->\nPlant early.\n\n"
        "<details>\n<summary>Tools</summary>\n\nSee [the shop](https://example.com) or "
        "https://example.org for spades.\n\n</details>\n\nThe end.\n"));
    EXPECT_EQ(page.title, QStringLiteral("Garden: a guide"));
    EXPECT_EQ(page.text, QStringLiteral("Garden\n\nPlant early.\n\nTools\n\nSee the shop or "
                                        "https://example.org for spades.\n\nThe end."));
    // "---" further down is a rule, not front matter.
    EXPECT_EQ(HtmlText::fromMarkdown(QStringLiteral("Intro\n\n---\ntitle: x\n---\n")).title,
              QString());
}

TEST(HtmlText, DeepAndLargePagesAreReadWholeInBoundedWorkAndCanBeStopped) {
    constexpr int kDepth = 100000;
    const HtmlText::Result deep =
        HtmlText::fromHtml(QStringLiteral("<div>").repeated(kDepth) + QStringLiteral("Deep down.") +
                           QStringLiteral("</div>").repeated(kDepth));
    EXPECT_EQ(deep.text, QStringLiteral("Deep down."));
    const HtmlText::Result quotes = HtmlText::fromMarkdown(
        QStringLiteral("<div>").repeated(kDepth) + QStringLiteral("Quoted.\n"));
    EXPECT_EQ(quotes.text, QStringLiteral("Quoted."));

    // Many pieces, each within a table or list or not, read in their order.
    QString html = QStringLiteral("<html><head><title>Long</title></head><body><div class=a>");
    constexpr int kParagraphs = 20000;
    for (int i = 0; i < kParagraphs; ++i) {
        html += i % 3 == 0 ? QStringLiteral("<p>Paragraph %1 of the long page.").arg(i)
                           : QStringLiteral("<ul><li>Item %1 of the long page.</ul>").arg(i);
    }
    html += QStringLiteral("<table><tr><td>A</td><td>B</td></tr></table></div></body></html>");
    const HtmlText::Result large = HtmlText::fromHtml(html);
    EXPECT_EQ(large.title, QStringLiteral("Long"));
    const QStringList paragraphs = large.text.split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), kParagraphs + 1);
    for (int i = 0; i < kParagraphs; i += 997) {
        EXPECT_EQ(paragraphs[i], (i % 3 == 0 ? QStringLiteral("Paragraph %1 of the long page.")
                                             : QStringLiteral("Item %1 of the long page."))
                                     .arg(i));
    }
    EXPECT_EQ(paragraphs.last(), QStringLiteral("A, B"));

    const std::atomic<bool> cancel(true);
    EXPECT_TRUE(HtmlText::fromHtml(html, &cancel).stopped);
}
