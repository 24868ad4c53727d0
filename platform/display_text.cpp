#include "platform/display_text.h"

#include <QStringDecoder>

QString DecodeForDisplay(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes.data(), size);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), size));
    if (!decoder.hasError())
        return text;
    return QString::fromLatin1(bytes.data(), size);
}
