#pragma once

#include <QString>
#include <functional>

// Plain information messages raised by code that has no window of its own. The program shows
// them in a message box; until it installs its handler they go to the debug log and stderr.
class UserMessage {
  public:
    using Handler = std::function<void(const QString& text)>;

    static void show(const QString& text);
    // Replaces the handler; returns the one it replaced.
    static Handler setHandler(Handler handler);
};
