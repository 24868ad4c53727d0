#include "base/display_text.h"

#include <QByteArrayView>

namespace {

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

void DecodeInto(std::string_view bytes, QString& out) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (!IsAscii(bytes) && QByteArrayView(bytes.data(), size).isValidUtf8()) {
        out = QString::fromUtf8(bytes.data(), size);
        return;
    }
    // ASCII and Latin-1: each byte is the character of that number.
    out.resize(size);
    char16_t* p = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        p[i] = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
}

QString DecodeForDisplay(std::string_view bytes) {
    QString text;
    DecodeInto(bytes, text);
    return text;
}
