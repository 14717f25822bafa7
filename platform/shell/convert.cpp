#include "platform/shell/convert.h"

int strToInt(const QString& text) {
    bool ok = false;
    const int number = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        throw ConvertError(
            QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    }
    return number;
}
