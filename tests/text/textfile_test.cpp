#include <gtest/gtest.h>

#include "tests/common/printers.h"
#include "text/textfile.h"

TEST(TextFiles, LinesEndAtCarriageReturnsAndLineFeedsAloneStay) {
    EXPECT_EQ(TextFile::SplitLines(u"one\r\ntwo\rthree\nstill three\r\n"),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                           QStringLiteral("three\nstill three")}));
    EXPECT_EQ(TextFile::SplitLines(u"a\r\r\nb"),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(TextFile::SplitLines(u"").isEmpty());
}

TEST(TextFiles, Utf8WithAFallbackToWindows1252AndAnEndOfFileMark) {
    EXPECT_EQ(TextFile::Decode("caf\xc3\xa9 \xe2\x82\xac"), QStringLiteral("café €"));
    EXPECT_EQ(TextFile::Decode("caf\xe9 \x80 \x93quoted\x94"), QStringLiteral("café € “quoted”"));
    EXPECT_EQ(TextFile::Decode("kept\x1a"
                               "dropped"),
              QStringLiteral("kept"));
    EXPECT_EQ(TextFile::Decode("\xef\xbb\xbfwith mark"), QStringLiteral("with mark"));
}
