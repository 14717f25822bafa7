#include "settings/baseregclass.h"

#include <QLocale>

namespace {

QString realText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

void regInt::SetText(const QString& text) {
    Value = strToInt(text);
}

void regReal::SetText(const QString& text) {
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) {
        throw ConvertError(
            QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString());
    }
    Value = number;
}

QString regReal::GetText() const {
    return realText(Value);
}
QString regReal::GetDefaultText() const {
    return realText(Default);
}

void regBool::SetText(const QString& text) {
    Value = text.toLower() == QStringLiteral("true");
}
QString regBool::GetText() const {
    return boolText(Value);
}
QString regBool::GetDefaultText() const {
    return boolText(Default);
}
