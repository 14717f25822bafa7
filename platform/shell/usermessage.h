#pragma once

#include <QString>
#include <functional>

// Messages raised by code that has no window of its own: plain information messages and error
// dialogs. The program shows them in message boxes; until it installs its handler they go to
// the debug log and stderr.
class UserMessage {
  public:
    enum class Kind { Information, Error };
    using Handler = std::function<void(Kind kind, const QString& text)>;

    static void show(const QString& text) { raise(Kind::Information, text); }
    static void showError(const QString& text) { raise(Kind::Error, text); }
    // Replaces the handler; returns the one it replaced.
    static Handler setHandler(Handler handler);

  private:
    static void raise(Kind kind, const QString& text);
};
