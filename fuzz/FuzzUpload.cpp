// Feeds arbitrary scale replies to the PLU upload. The first input byte picks the selection:
// bit 0 clear asks for every PLU, set asks for the one PLU numbered by the other seven bits
// (0 is refused); the rest are the replies (see ReplyLink.h). Whatever the scale answers, the
// table is left exactly as it was until the scale's first reply, the count matches the
// records reported received, the retries stop at four, and the time waited stays within what
// the retries allow.
#include "FuzzApp.h"
#include "ReplyLink.h"

#include "protocol/UploadEngine.h"
#include "serial/Clock.h"
#include "serial/Wire.h"

#include <QStringList>

#include <cstdint>

namespace {

// Per attempt at most: two receives of a second, the reply's four seconds, the longest pause.
constexpr qint64 kLongestAttemptMs = 2 * scale::kStandardScale.limits.byteMs +
                                     scale::kStandardScale.limits.uploadReplyMs +
                                     scale::kStandardScale.retries.uploadCommandPauseMs;
constexpr int kAttemptsPerNumber = scale::kStandardScale.retries.uploadRetries + 1;

const QString kReceived = QStringLiteral(" is received");
const QString kRetry = QStringLiteral("Retry #");

// A table the operator has open: the upload must not touch it before the scale replies.
PluTable& openTable() {
    static PluTable* const table = [] {
        auto* t = new PluTable;
        t->reset();
        t->count = 2;
        t->records[1] = {11, 1011, QStringLiteral("Plums"), {}, 199, 3, 0, 1, 0};
        t->records[2] = {12, 1012, QStringLiteral("Figs"), QStringLiteral("dried"), 899, 60, 5,
                         1,  0};
        QVector<QStringList> cells = t->grid.all();
        cells[1][1] = QStringLiteral("11");
        cells[2][1] = QStringLiteral("12");
        t->grid.setAll(cells);
        return t;
    }();
    return *table;
}

bool sameTable(const PluTable& a, const PluTable& b) {
    return a.count == b.count && a.records == b.records && a.grid.all() == b.grid.all();
}

void checkRetries(const QStringList& texts, Outcome outcome) {
    int expected = 1;
    for (const QString& text : texts) {
        if (text.endsWith(kReceived))
            expected = 1;
        if (!text.startsWith(kRetry))
            continue;
        if (text != kRetry + QString::number(expected))
            fuzzFailure("retries were not numbered 1, 2, 3 ... within a number");
        if (++expected > scale::kStandardScale.retries.uploadRetries + 1)
            fuzzFailure("a number was retried more than four times");
    }
    if (outcome == Outcome::GaveUp && expected != scale::kStandardScale.retries.uploadRetries + 1)
        fuzzFailure("the upload gave up before the fourth retry failed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureCoreApplication();
    if (size < 1)
        return 0;
    UploadSelection selection;
    selection.onePlu = data[0] & 1;
    selection.onePluNoText = QString::number(data[0] >> 1);

    PluTable table;
    table.reset();
    table.grid.setAll(openTable().grid.all());
    table.records = openTable().records;
    table.count = openTable().count;

    ManualClock clock;
    ReplyLink link(data + 1, size - 1, clock);
    Wire wire(link, clock);
    QStringList texts;
    int asked = 0;
    bool replacedSignalled = false;
    ExchangeEvents events;
    events.status = [&](const QString& text) { texts.append(text); };
    events.progress = [&](int done, int) { asked = done; };
    UploadEngine engine(wire, table, events, [&] {
        if (replacedSignalled || table.count != 0)
            fuzzFailure("the table was replaced twice or not emptied first");
        replacedSignalled = true;
    });
    const UploadResult result = async::waitFor(engine.run(selection));

    traceTexts(texts);
    if (result.ending.outcome == Outcome::Refused) {
        if (!link.writes().isEmpty() || !sameTable(table, openTable()))
            fuzzFailure("a refused upload sent bytes or changed the table");
        return 0;
    }
    if (result.tableReplaced != replacedSignalled)
        fuzzFailure("the result and the signal disagree on whether the table was replaced");
    if (!result.tableReplaced && !sameTable(table, openTable()))
        fuzzFailure("the table changed although the scale never replied");

    qsizetype received = 0;
    for (const QString& text : texts)
        received += text.endsWith(kReceived);
    if (result.tableReplaced && table.count != received)
        fuzzFailure("the count differs from the records reported received");
    if (table.count < 0 || table.count > scale::kStandardScale.pluCapacity)
        fuzzFailure("the count left the table's range");
    checkRetries(texts, result.ending.outcome);
    if (result.ending.outcome == Outcome::Cancelled)
        fuzzFailure("an upload nobody cancelled was cancelled");
    if (result.ending.outcome != Outcome::PortLost && !link.isOpen())
        fuzzFailure("the port was left closed");
    if (clock.nowMs() > asked * kAttemptsPerNumber * kLongestAttemptMs)
        fuzzFailure("the upload waited longer than its retries allow");
    return 0;
}
