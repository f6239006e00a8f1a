#pragma once

#include "http/ApiAnswer.h"
#include "http/BodyForm.h"

#include <QByteArray>

#include <optional>
#include <vector>

// The rows of a body in one of the table forms ScaleDesk reads, read exactly as the window
// opens or imports a file of that form. `Record` is PluRecord or IngredRecord.
template <typename Record> struct FormRows {
    std::vector<Record> rows;
    std::optional<RequestProblem> problem; // 400 unreadable, 422 a value that does not convert
};

template <typename Record>
FormRows<Record> rowsFromTableForm(const QByteArray& body, BodyForm form);
