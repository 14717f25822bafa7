#pragma once

#include <QString>
#include <stdexcept>

// A text that does not convert to the number type asked for.
class EConvertError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The text as a 32-bit decimal integer (sign and surrounding blanks allowed); raises
// EConvertError otherwise.
int StrToInt(const QString& text);
