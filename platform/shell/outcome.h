#pragma once

#include <QString>
#include <utility>

// What an operation that can fail tells its caller: success, or the message that says why, in
// words a user can read. The caller decides how to show it: the window in a dialog, the
// command-line converter on standard error, a test in an assertion.
class [[nodiscard]] Outcome {
  public:
    static Outcome success() { return Outcome(); }
    static Outcome failure(QString message) { return Outcome(std::move(message)); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Why the operation failed; empty after a success.
    const QString& message() const { return m_message; }

  private:
    Outcome() = default;
    explicit Outcome(QString message) : m_failed(true), m_message(std::move(message)) {}

    bool m_failed = false;
    QString m_message;
};
