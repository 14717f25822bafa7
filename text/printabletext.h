#pragma once

#include <QString>
#include <QStringView>

// Text from a file made fit to stand in a message: control characters (ESC, BEL, NUL, line
// breaks…), direction overrides and halves of surrogate pairs would act on the terminal or the
// dialog, or cut the message short, so each is written as its code point ("U+001B").
class PrintableText {
  public:
    static QString escaped(QStringView text);
    // Whether c is one of the characters escaped() writes as its code point.
    static bool isHidden(char32_t c);
};
