#pragma once

#include <QString>
#include <stdexcept>

// A misuse of the speech component (set while active, no engine active, …).
class EOleError : public std::runtime_error {
  public:
    explicit EOleError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};
