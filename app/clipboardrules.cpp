#include "app/clipboardrules.h"

ClipboardRules::Action ClipboardRules::ActionWithoutPrompt(uint8_t defaultAction,
                                                           uint8_t lastAction) {
    const uint8_t chosen = defaultAction == kRememberLast ? lastAction : defaultAction;
    // Cancel, or a value no version wrote, makes a new article.
    return chosen == uint8_t(Action::Append) ? Action::Append : Action::New;
}

ClipboardRules::Action ClipboardRules::PromptDefault(uint8_t defaultAction, uint8_t lastAction,
                                                     bool appendEnabled) {
    if (defaultAction == uint8_t(Action::New)) {
        return Action::New;
    }
    if (!appendEnabled) {
        return Action::Cancel;
    }
    const uint8_t chosen = defaultAction == kRememberLast ? lastAction : defaultAction;
    if (chosen == uint8_t(Action::New)) {
        return Action::New;
    }
    return chosen == uint8_t(Action::Append) ? Action::Append : Action::Cancel;
}

QString ClipboardRules::Appended(const QString& article, const QString& copied) {
    if (article.isEmpty() || article.endsWith(QLatin1Char('\r')) ||
        article.endsWith(QLatin1Char('\n')) || article.endsWith(QChar::ParagraphSeparator)) {
        return article + copied;
    }
    return article + QLatin1Char(' ') + copied;
}
