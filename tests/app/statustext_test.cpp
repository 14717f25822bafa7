#include <gtest/gtest.h>

#include "app/statustext.h"

TEST(StatusTexts, ArticleCountsAndReadingTexts) {
    EXPECT_EQ(StatusText::ArticleCountText(0, false), QStringLiteral("No articles"));
    EXPECT_EQ(StatusText::ArticleCountText(1, true), QStringLiteral("No articles"));
    EXPECT_EQ(StatusText::ArticleCountText(1, false), QStringLiteral("1 article"));
    EXPECT_EQ(StatusText::ArticleCountText(2, true), QStringLiteral("2 articles"));
    EXPECT_EQ(StatusText::ArticleCountText(12, false), QStringLiteral("12 articles"));
    EXPECT_EQ(StatusText::ReadingText(2, 5, QStringLiteral("News")),
              QStringLiteral("News : Article 2 of 5"));
    EXPECT_EQ(StatusText::ReadingText(1, 1, QStringLiteral("  ")),
              QStringLiteral("Article 1 of 1"));
}

TEST(StatusTexts, TheTrayTipNeverExceeds63Characters) {
    const QString longText(200, QLatin1Char('x'));
    EXPECT_EQ(StatusText::TrayTip(longText).size(), 63);
    EXPECT_EQ(StatusText::TrayTip(QStringLiteral("short")), QStringLiteral("short"));
}
