#pragma once

#include <QByteArray>
#include <QString>

#include <span>
#include <vector>

// The line format shared by the PLU file and the ingredient file. One line per record, the
// record's fields in order, separated by single commas: a number field in plain decimal, a
// text field between double quotes with nothing escaped. Every line ends with CR LF. The
// characters are Windows-1252 bytes. `Record` is PluRecord or IngredRecord; its kind() says
// which fields a line holds.

template <typename Record> struct ParsedTableFile {
    std::vector<Record> records; // record line n is records[n - 1]
    QString error;               // e.g. "line 5, Tare: \"abc\" is not a number"
    int errorLine = 0;           // the line the error names (5)
    QString errorField;          // the field it names ("Tare"), when it names one
    bool ok() const { return error.isEmpty(); }
};

// Reads the bytes of a whole file. Lines may also end with LF alone, and the last line may
// lack its line end; an empty file holds no records. Anything else that differs from the
// format is an error naming the line and, where there is one, the field.
template <typename Record> ParsedTableFile<Record> parseTableFile(const QByteArray& bytes);

struct FormattedTableFile {
    QByteArray bytes;
    QString error; // e.g. "record 3, ItemName1: a double quote cannot be stored in the file"
    bool ok() const { return error.isEmpty(); }
};

// The bytes of a file holding `records` in order (the first becomes line 1). Fails, and
// gives no bytes, when a text cannot be stored (see textStorageProblem).
template <typename Record> FormattedTableFile formatTableFile(std::span<const Record> records);

// Why `text` cannot be stored in a text field (a double quote, a line break or a character
// outside Windows-1252 would read back as different data), or an empty string when it can.
QString textStorageProblem(const QString& text);
