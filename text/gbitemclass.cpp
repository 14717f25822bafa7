#include "text/gbitemclass.h"

GBItemClass::GBItemClass(QStringView content, const QString& name, const QString& attributeName,
                         GBItemClass* parent)
    : Content(content),
      Name(name),
      AttributeName(attributeName),
      Parent(parent),
      Depth(parent ? parent->Depth + 1 : 0) {
    if (!parent) {
        Path = QStringLiteral("/");
    } else if (!parent->Parent) {
        Path = QLatin1Char('/') + name;
    } else {
        Path = parent->Path + QLatin1Char('/') + name;
    }
}
