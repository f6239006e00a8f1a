#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The string forms of the workbook stream. BIFF8 strings carry a flags byte: 8-bit
// characters (the first 256 Unicode code points) or UTF-16, optionally followed by rich-text
// runs and phonetic data, which are skipped. BIFF5/7 strings are bytes in the workbook's code
// page. Each reader returns nothing when the bytes end before the string does.
class BiffStringReader {
public:
    BiffStringReader(bool biff8, quint16 codePage) : biff8_(biff8), codePage_(codePage) {}

    // A count byte, then the characters (sheet names).
    std::optional<QString> shortString(QByteArrayView bytes) const;
    // A two-byte count, then the characters (cell texts, formula results).
    std::optional<QString> longString(QByteArrayView bytes) const;
    // The strings of the shared string table, spread over the SST record (after its two
    // counts) and the CONTINUE records after it; at most `count` of them. False when a string
    // is cut short.
    bool sharedStrings(const QVector<QByteArrayView>& segments, quint32 count,
                       QStringList* out) const;

private:
    std::optional<QString> unicodeString(QByteArrayView bytes, int countSize) const;
    QString decode8bit(QByteArrayView bytes) const;

    bool biff8_;
    quint16 codePage_;
};
