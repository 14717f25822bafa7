#include "documents/htmltext.h"

#include <gtest/gtest.h>

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
