#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The forms a table may come in as a request body, told by its Content-Type.
enum class BodyForm {
    Json,      // application/json: {"rows": [...], "scales": ..., "selection": ..., "changed": ...}
    TableFile, // text/plain: the table's own file (.plu, .ingred)
    Csv,       // text/csv
    Xls,       // application/vnd.ms-excel
    Xlsx,      // application/vnd.openxmlformats-officedocument.spreadsheetml.sheet
};

// The form a Content-Type names; parameters after ';' are ignored, apart from a charset on
// JSON, which must be UTF-8. Nothing for any other type.
std::optional<BodyForm> bodyFormOf(const QByteArray& contentType);

// The types for the text of a 415.
QString acceptedContentTypes();
