#include "http/SendBody.h"

#include "http/RecordJson.h"
#include "http/RowCheck.h"
#include "http/TableFormRows.h"
#include "tables/Table.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

template <typename Record>
std::optional<RequestProblem> readJson(const QByteArray& body, const QueryItems& query,
                                       std::vector<Record>& rows, SendOptions& options) {
    if (!query.isEmpty())
        return RequestProblem{400, QStringLiteral("a JSON body carries its options itself; "
                                                  "leave the query empty")};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return RequestProblem{400, QStringLiteral("the body is not JSON: %1 at byte %2")
                                       .arg(error.errorString())
                                       .arg(error.offset)};
    if (!document.isObject())
        return RequestProblem{400, QStringLiteral("the body must be a JSON object")};
    const QJsonObject object = document.object();
    if (auto problem = optionsFromJson(object, options))
        return problem;
    JsonRows<Record> read = rowsFromJson<Record>(object.value(QStringLiteral("rows")));
    rows = std::move(read.rows);
    return read.problem;
}

} // namespace

template <typename Record>
std::variant<SendRequest, RequestProblem> readSendBody(const QByteArray& body, BodyForm form,
                                                       const QueryItems& query) {
    std::vector<Record> rows;
    SendOptions options;
    std::optional<RequestProblem> problem;
    if (form == BodyForm::Json) {
        problem = readJson(body, query, rows, options);
    } else {
        problem = optionsFromQuery(query, options);
        if (!problem) {
            FormRows<Record> read = rowsFromTableForm<Record>(body, form);
            rows = std::move(read.rows);
            problem = read.problem;
        }
    }
    if (!problem)
        problem = checkRows(rows);
    if (!problem)
        problem = checkSelection(options.selection, int(rows.size()));
    if (problem)
        return *problem;
    return SendRequest{std::move(rows), options.scales, options.selection, options.changed};
}

#define INSTANTIATE(T)                                                                             \
    template std::variant<SendRequest, RequestProblem> readSendBody<T::RecordType>(                \
        const QByteArray&, BodyForm, const QueryItems&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
