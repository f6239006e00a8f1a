#pragma once

#include "spreadsheet/Sheet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The XML parts of an .xlsx workbook that hold its cells, read with QXmlStreamReader.
// Elements are matched by their local names, so the transitional and the strict namespaces
// both read.
namespace xlsxxml {

// The texts of the shared string table (xl/sharedStrings.xml) in order; rich text reads as
// its plain text, phonetic hints are left out.
std::optional<QStringList> sharedStrings(const QByteArray& xml, QString* error);

// The cells of a worksheet part into `sheet`: shared and inline strings as their texts,
// numbers in their plain decimal form (as the .xls reader gives them), booleans as "TRUE"
// and "FALSE", errors as their text ("#N/A"), formulas as their cached results. Cells past
// column 256 are dropped as the .xls reader drops them.
bool worksheet(const QByteArray& xml, const QStringList& shared, Sheet& sheet, QString* error);

// Texts in these parts escape characters XML cannot carry as _xHHHH_ (a control character,
// or an underscore that would otherwise start such an escape): this undoes it.
QString unescaped(const QString& text);
// ... and this does it, for the writer.
QString escaped(const QString& text);

} // namespace xlsxxml
