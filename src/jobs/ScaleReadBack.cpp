#include "jobs/ScaleReadBack.h"

#include "protocol/UploadEngine.h"
#include "serial/Wire.h"

#include <algorithm>
#include <memory>

namespace {

// One upload run into a table of its own; the records it received are merged into `read`.
async::Task<bool> upload(Wire& wire, UploadSelection selection, ScaleReadBack& read,
                         const ExchangeEvents& events) {
    auto table = std::make_unique<PluTable>(); // 601 records: too big for a frame
    QString last;
    ExchangeEvents noting = events;
    noting.status = [&last, status = events.status](const QString& text) {
        last = text;
        if (status)
            status(text);
    };
    noting.progress = {}; // the numbers of one run are not those of the whole read
    UploadEngine engine(wire, *table, std::move(noting));
    const UploadResult result = co_await engine.run(std::move(selection));
    const int lastNo = std::min(wire.model().pluCapacity, PluTable::kDataRows);
    for (int n = result.first; n <= lastNo && n < result.first + table->count; ++n)
        read.held.insert(n, table->records[n]);
    if (result.endedAtMissing)
        read.missing.append(result.first + table->count);
    read.ending = result.ending;
    if (!result.succeeded())
        read.failure = last;
    co_return result.succeeded();
}

} // namespace

async::Task<ScaleReadBack> readBackPlus(Wire& wire, bool all, QList<int> numbers,
                                        ExchangeEvents events) {
    ScaleReadBack read;
    if (all) {
        UploadSelection all{false, {}};
        const bool read1 = co_await upload(wire, std::move(all), read, events);
        if (!read1)
            co_return read;
    }
    const int lastNo = std::min(wire.model().pluCapacity, PluTable::kDataRows);
    for (const int n : numbers) {
        if (n < 1 || n > lastNo || read.held.contains(n) || read.missing.contains(n))
            continue;
        UploadSelection one{true, QString::number(n)};
        const bool readN = co_await upload(wire, std::move(one), read, events);
        if (!readN)
            co_return read;
    }
    co_return read;
}
