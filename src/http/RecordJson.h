#pragma once

#include "http/ApiAnswer.h"

#include <QJsonObject>
#include <QJsonValue>

#include <optional>
#include <vector>

// Table rows as JSON: one object per row with every field of the table by its name ("PluNo",
// "ItemName1", ...), numbers as JSON numbers, texts as strings. `Record` is PluRecord or
// IngredRecord.

template <typename Record> QJsonObject recordJson(const Record& record);

template <typename Record> struct JsonRows {
    std::vector<Record> rows;
    std::optional<RequestProblem> problem; // the first row that cannot be read (422)
};

// Reads an array of such objects. Every field must be there, with a value of its type that
// fits the table (a whole number in the field's range, a text); a member that is no field
// of the table is refused rather than ignored, so a misspelt field cannot go unnoticed.
template <typename Record> JsonRows<Record> rowsFromJson(const QJsonValue& rows);
