#pragma once

#include <QString>

#include "platform/shell/converterror.h"

// The text as a 32-bit decimal integer (sign and surrounding blanks allowed); raises
// ConvertError otherwise.
int strToInt(const QString& text);
