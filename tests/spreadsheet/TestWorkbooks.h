#pragma once

// Helpers of the workbook tests: building record streams and containers byte by byte (to
// reach records and damage our writer never produces) and listing the records of a stream.

#include <QByteArray>
#include <QString>
#include <QVector>

namespace testwb {

QByteArray u16(quint16 v);
QByteArray u32(quint32 v);
QByteArray f64(double v);

QByteArray record(quint16 id, const QByteArray& body);
QByteArray bof(quint16 version, quint16 substream);
// row, column, XF 15
QByteArray cellPrefix(int row, int col);
// BIFF8 string: count, flags, chars (8-bit when every char is below U+0100)
QByteArray unicodeString(const QString& text, bool shortCount = false);

// A BIFF8 workbook stream: globals with `globalsExtra` (after CODEPAGE, before the sheet
// list), one worksheet "Sheet1" whose records between BOF and EOF are `sheetRecords`.
QByteArray biff8Stream(const QByteArray& globalsExtra, const QByteArray& sheetRecords);

struct ContainerOptions {
    QString streamName = QStringLiteral("Workbook");
    int majorVersion = 3;    // 3: 512-byte sectors, 4: 4096-byte sectors
    bool miniStream = false; // keep the stream in the mini stream (it must be under 4096)
};
QByteArray container(const QByteArray& stream, const ContainerOptions& options = {});

struct RawRecord {
    quint16 id;
    QByteArray body;
};
QVector<RawRecord> records(const QByteArray& stream);
// The "Workbook" stream of a file (through the container reader).
QByteArray workbookStream(const QByteArray& file);

} // namespace testwb
