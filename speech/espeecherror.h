#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// A failure of the speech service: its result code and the text the program shows for it,
// "<text>\r\nOLE error <code in eight hexadecimal digits>".
class ESpeechError : public std::runtime_error {
  public:
    explicit ESpeechError(uint32_t code);
    uint32_t ErrorCode;
    QString message() const { return QString::fromUtf8(what()); }

    // The text for a result code: the service's own text by the low 16 bits, else the
    // system's message for the code.
    static QString textFor(uint32_t code);
    static QString messageFor(uint32_t code);
};
