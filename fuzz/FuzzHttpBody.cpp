// Feeds arbitrary send bodies to the HTTP interface's reader. The first byte picks the table
// (bit 0) and the Content-Type's form (bits 1 to 3); the rest is the body. A body is either
// accepted, with every row able to travel and the same rows again when written back as JSON
// and read, or refused with a 400 or 422 and a text.
#include "FuzzApp.h"
#include "http/RecordJson.h"
#include "http/RowCheck.h"
#include "http/SendBody.h"

#include <QJsonArray>

#include <cstdint>

namespace {

template <typename Record> void check(const QByteArray& body, BodyForm form) {
    const auto read = readSendBody<Record>(body, form, {});
    if (const auto* problem = std::get_if<RequestProblem>(&read)) {
        if ((problem->status != 400 && problem->status != 422) || problem->text.isEmpty())
            fuzzFailure("a refusal without a 400 or 422 and a text");
        return;
    }
    const auto& rows = std::get<std::vector<Record>>(std::get<SendRequest>(read).rows);
    if (rows.empty() || checkRows(rows))
        fuzzFailure("accepted rows that cannot travel");
    QJsonArray json;
    for (const Record& record : rows)
        json.append(recordJson(record));
    const JsonRows<Record> again = rowsFromJson<Record>(json);
    if (again.problem || again.rows != rows)
        fuzzFailure("accepted rows differ when written as JSON and read again");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const BodyForm form = BodyForm((data[0] >> 1) % 5);
    const QByteArray body(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (data[0] & 1)
        check<IngredRecord>(body, form);
    else
        check<PluRecord>(body, form);
    return 0;
}
