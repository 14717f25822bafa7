#include "text/textencoding.h"

TextEncoding::Kind TextEncoding::detect(QByteArrayView start) {
    // The UTF-32 little-endian mark begins with the UTF-16 one, so it is tested first.
    if (start.startsWith(QByteArrayView("\xFF\xFE\x00\x00", 4))) {
        return Kind::Utf32LE;
    }
    if (start.startsWith(QByteArrayView("\x00\x00\xFE\xFF", 4))) {
        return Kind::Utf32BE;
    }
    if (start.startsWith("\xEF\xBB\xBF")) {
        return Kind::Utf8;
    }
    if (start.startsWith("\xFF\xFE")) {
        return Kind::Utf16LE;
    }
    if (start.startsWith("\xFE\xFF")) {
        return Kind::Utf16BE;
    }
    return Kind::Bytes;
}

int TextEncoding::markLength(Kind kind) {
    switch (kind) {
        case Kind::Bytes:
            return 0;
        case Kind::Utf8:
            return 3;
        case Kind::Utf16LE:
        case Kind::Utf16BE:
            return 2;
        case Kind::Utf32LE:
        case Kind::Utf32BE:
            return 4;
    }
    return 0;
}

std::optional<QStringConverter::Encoding> TextEncoding::wideEncoding(Kind kind) {
    switch (kind) {
        case Kind::Utf16LE:
            return QStringConverter::Utf16LE;
        case Kind::Utf16BE:
            return QStringConverter::Utf16BE;
        case Kind::Utf32LE:
            return QStringConverter::Utf32LE;
        case Kind::Utf32BE:
            return QStringConverter::Utf32BE;
        default:
            return std::nullopt;
    }
}
