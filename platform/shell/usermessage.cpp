#include "platform/shell/usermessage.h"

#include "platform/shell/utilsclass.h"

namespace {

UserMessage::Handler& currentHandler() {
    static UserMessage::Handler handler;
    return handler;
}

}  // namespace

void UserMessage::raise(Kind kind, const QString& text) {
    UtilsClass::WriteDebugLine(text);
    if (currentHandler()) {
        currentHandler()(kind, text);
    } else {
        qWarning("%s", qPrintable(text));
    }
}

UserMessage::Handler UserMessage::setHandler(Handler handler) {
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
