// The rules for copied texts, which need no window.
#include <gtest/gtest.h>

#include "app/clipboardrules.h"
#include "tests/common/printers.h"

using Action = ClipboardRules::Action;

TEST(ClipboardRules, TheActionWithoutPromptNeverCancels) {
    EXPECT_FALSE(ClipboardRules::LongEnough(QStringLiteral("0123456789"), 10));
    EXPECT_TRUE(ClipboardRules::LongEnough(QStringLiteral("0123456789A"), 10));
    EXPECT_EQ(ClipboardRules::ActionWithoutPrompt(0, 1), Action::New);
    EXPECT_EQ(ClipboardRules::ActionWithoutPrompt(1, 0), Action::Append);
    EXPECT_EQ(ClipboardRules::ActionWithoutPrompt(2, 1), Action::New);
    EXPECT_EQ(ClipboardRules::ActionWithoutPrompt(3, 1), Action::Append);
    EXPECT_EQ(ClipboardRules::ActionWithoutPrompt(3, 2), Action::New);
}

TEST(ClipboardRules, ThePromptsDefaultButtonFollowsTheTable) {
    // Default action → with Append enabled, with Append disabled.
    const struct {
        uint8_t defaultAction, last;
        Action enabled, disabled;
    } rows[] = {{0, 2, Action::New, Action::New},       {1, 2, Action::Append, Action::Cancel},
                {2, 0, Action::Cancel, Action::Cancel}, {3, 0, Action::New, Action::Cancel},
                {3, 1, Action::Append, Action::Cancel}, {3, 2, Action::Cancel, Action::Cancel}};
    for (const auto& row : rows) {
        EXPECT_EQ(ClipboardRules::PromptDefault(row.defaultAction, row.last, true), row.enabled)
            << int(row.defaultAction) << "/" << int(row.last);
        EXPECT_EQ(ClipboardRules::PromptDefault(row.defaultAction, row.last, false), row.disabled)
            << int(row.defaultAction) << "/" << int(row.last);
    }
}

TEST(ClipboardRules, AppendedTextIsSeparatedByOneSpaceUnlessALineEnds) {
    EXPECT_EQ(ClipboardRules::Appended(QString(), QStringLiteral("b")), QStringLiteral("b"));
    EXPECT_EQ(ClipboardRules::Appended(QStringLiteral("a"), QStringLiteral("b")),
              QStringLiteral("a b"));
    EXPECT_EQ(ClipboardRules::Appended(QStringLiteral("a\r"), QStringLiteral("b")),
              QStringLiteral("a\rb"));
    EXPECT_EQ(ClipboardRules::Appended(QStringLiteral("a\n"), QStringLiteral("b")),
              QStringLiteral("a\nb"));
}
