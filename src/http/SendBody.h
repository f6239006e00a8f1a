#pragma once

#include "http/ApiAnswer.h"
#include "http/BodyForm.h"
#include "http/SendOptions.h"
#include "http/SendService.h"

#include <QByteArray>

#include <variant>

// A send request's body read whole and checked: its rows in whichever form it came, its
// options (from a JSON body, or from the query beside a table form), every row able to
// travel and the selection within the rows. No scale is named: all of them.
// `Record` is PluRecord (POST /v1/plu) or IngredRecord (POST /v1/ingred).
template <typename Record>
std::variant<SendRequest, RequestProblem> readSendBody(const QByteArray& body, BodyForm form,
                                                       const QueryItems& query);
