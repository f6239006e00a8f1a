#include "spreadsheet/CodePageDecoder.h"

#include <QStringDecoder>

namespace {

// The name Qt's (ICU's) decoders know a code page by; empty when there is none.
QByteArray decoderName(quint16 codePage) {
    switch (codePage) {
    case 367:
        return "US-ASCII";
    case 10000:
    case 0x8000:
        return "macintosh";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    default:
        if (codePage >= 1250 && codePage <= 1258)
            return "windows-" + QByteArray::number(codePage);
        if (codePage == 437 || codePage == 850 || codePage == 852 || codePage == 866)
            return "IBM" + QByteArray::number(codePage);
        return QByteArray();
    }
}

} // namespace

std::optional<QString> decodeCodePage(quint16 codePage, QByteArrayView bytes) {
    const QByteArray name = decoderName(codePage);
    if (name.isEmpty())
        return std::nullopt;
    QStringDecoder decoder(name.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}
