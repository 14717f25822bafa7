#pragma once

#include <QStringList>

#include "platform/shell/usermessage.h"

// Collects the messages and error dialogs raised while it lives, instead of showing them.
class CapturedMessages {
  public:
    CapturedMessages() {
        previous_ = UserMessage::setHandler([this](UserMessage::Kind kind, const QString& text) {
            (kind == UserMessage::Kind::Error ? errors : messages) << text;
            all << text;
        });
    }
    ~CapturedMessages() { UserMessage::setHandler(previous_); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    void clear() {
        messages.clear();
        errors.clear();
        all.clear();
    }

    QStringList messages;  // plain information messages
    QStringList errors;    // error dialogs
    QStringList all;

  private:
    UserMessage::Handler previous_;
};
