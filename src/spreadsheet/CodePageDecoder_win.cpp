#include "spreadsheet/CodePageDecoder.h"

#include <windows.h>

namespace {

// The Windows code page of a workbook's CODEPAGE number; 0 for pages not read here.
UINT windowsCodePage(quint16 codePage) {
    switch (codePage) {
    case 367:
        return 20127; // US-ASCII
    case 0x8000:
    case 10000:
        return 10000; // Mac Roman
    case 437:
    case 850:
    case 852:
    case 866:
    case 932:
    case 936:
    case 949:
    case 950:
        return codePage;
    default:
        return codePage >= 1250 && codePage <= 1258 ? codePage : 0;
    }
}

} // namespace

std::optional<QString> decodeCodePage(quint16 codePage, QByteArrayView bytes) {
    const UINT page = windowsCodePage(codePage);
    if (page == 0 || !::IsValidCodePage(page))
        return std::nullopt;
    if (bytes.isEmpty())
        return QString();
    const int size = int(bytes.size());
    const int length = ::MultiByteToWideChar(page, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    QString text(length, Qt::Uninitialized);
    ::MultiByteToWideChar(page, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                          length);
    return text;
}
