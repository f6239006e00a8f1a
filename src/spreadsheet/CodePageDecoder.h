#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// Decodes the 8-bit texts of an older workbook in its code page (the number of its CODEPAGE
// record: 1251, 932, 0x8000 for Mac Roman, ...). Nothing when this system has no decoder for
// that page; the caller then reads the bytes as Windows-1252. Qt's decoders come from ICU,
// which the Windows build of Qt lacks, so there Windows' own converter does the work.
std::optional<QString> decodeCodePage(quint16 codePage, QByteArrayView bytes);
