#pragma once

// Zip archives built byte by byte for the .xlsx tests: exact control over the parts, their
// declared sizes and flags, to reach damage and bombs no writer produces.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace testzip {

struct Entry {
    Entry(const QString& name, const QByteArray& data) : name(name), data(data) {}
    QString name;
    QByteArray data;
    bool deflate = false;
    std::optional<quint32> declaredSize; // instead of the true unpacked size
    quint16 flags = 0;                   // bit 0: encrypted
};

QByteArray archive(const QList<Entry>& entries);

// A minimal .xlsx package: content types, relationships, a workbook whose sheets are
// `sheets` (name, relationship type, part XML) in order, and the shared strings.
struct SheetPart {
    QString name;
    QByteArray xml;
    QString type = QStringLiteral("worksheet");
};
QList<Entry> xlsxParts(const QList<SheetPart>& sheets, const QByteArray& sharedStrings = {});

// `<worksheet><sheetData>ROWS</sheetData></worksheet>` in the main namespace.
QByteArray worksheet(const QByteArray& rows);

} // namespace testzip
