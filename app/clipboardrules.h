#pragma once

#include <QString>
#include <cstdint>

// What becomes of a text copied to the clipboard: whether it is long enough, which action is
// taken without asking, which button the prompt offers first, and how it joins an article.
class ClipboardRules {
  public:
    // As stored in the settings; the default action has a fourth value, kRememberLast.
    enum class Action : uint8_t { New = 0, Append = 1, Cancel = 2 };
    static constexpr uint8_t kRememberLast = 3;

    // Texts of the threshold's length or shorter are ignored.
    static bool LongEnough(const QString& text, int threshold) { return text.size() > threshold; }
    // Without the prompt: the default action, or the last one taken for "Remember Last"; a
    // copy is never cancelled without asking, so Cancel becomes New.
    static Action ActionWithoutPrompt(uint8_t defaultAction, uint8_t lastAction);
    // The prompt's default button.
    static Action PromptDefault(uint8_t defaultAction, uint8_t lastAction, bool appendEnabled);
    // The article's text with the copied text after it: one space between, unless the article
    // is empty or ends with a line break.
    static QString Appended(const QString& article, const QString& copied);
};
