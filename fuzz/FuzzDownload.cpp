// Feeds arbitrary scale replies to the PLU and the ingredient download. The first input byte
// picks the table (bit 0); the rest are the replies (see ReplyLink.h). Whatever the scale
// answers, a row counts as transferred only after its whole record went out, the rows come
// in order, the retries stop at five, and the download ends within the time its retry
// pauses and time-outs allow.
#include "FuzzApp.h"
#include "ReplyLink.h"

#include "protocol/DownloadEngine.h"
#include "protocol/DownloadPlan.h"
#include "serial/Clock.h"
#include "serial/Wire.h"

#include <QStringList>

#include <cstdint>

namespace {

using namespace download_texts;
using namespace transfer_texts;

// Per attempt at most: four receives of a second each, then the retry pause.
constexpr qint64 kLongestAttemptMs =
    4 * scale::kStandardScale.limits.byteMs + scale::kStandardScale.retries.downloadPauseMs;
constexpr int kAttemptsPerRow = scale::kStandardScale.retries.downloadRetries + 1;

DownloadPlan pluPlan() {
    PluTable table;
    table.reset();
    table.count = 3;
    table.records[1] = {7, 1007, QStringLiteral("Pears"), QStringLiteral("Conference"), 299, 5, 0,
                        1, 0};
    table.records[2] = {300, 2300, QStringLiteral("Ham"), {}, 1999, 4, 10, 2, 1};
    table.records[3] = {32767, 0, {}, {}, 0, 0, 0, 0, 0};
    return planDownload(table, QStringLiteral("fuzz.plu"), {});
}

DownloadPlan ingredPlan() {
    IngredTable table;
    table.reset();
    table.count = 2;
    table.records[1].MessageNo = 1;
    table.records[1].Message1 = QStringLiteral("Flour, water, salt");
    table.records[2].MessageNo = 200;
    table.records[2].Message4 = QStringLiteral("May contain nuts");
    return planDownload(table, QStringLiteral("fuzz.ingred"), {});
}

struct Accepted {
    int row;
    qsizetype writes; // the link's writes when the row was reported
};

void checkAccepted(const DownloadPlan& plan, const QList<Accepted>& accepted,
                   const QList<QByteArray>& writes) {
    for (qsizetype i = 0; i < accepted.size(); ++i) {
        const DownloadRow& row = plan.rows[i];
        if (accepted[i].row != row.index)
            fuzzFailure("rows were reported transferred out of order");
        const qsizetype end = accepted[i].writes;
        if (end < 4 || writes[end - 4] != QByteArray(1, char(0xA5)) ||
            writes[end - 3] != QByteArray(1, char(plan.kind->command)) ||
            writes[end - 2] != bigEndianBytes(quint16(row.number), 2) ||
            writes[end - 1] != row.record)
            fuzzFailure("a row was reported transferred without sync, command, number and "
                        "its whole record just before");
    }
}

void checkRetries(const QStringList& texts, Outcome outcome) {
    int expected = 1;
    for (const QString& text : texts) {
        if (text.endsWith(kTransfered))
            expected = 1;
        if (!text.startsWith(kRetry))
            continue;
        if (text != kRetry + QString::number(expected))
            fuzzFailure("retries were not numbered 1, 2, 3 ... within a row");
        if (++expected > scale::kStandardScale.retries.downloadRetries + 1)
            fuzzFailure("a row was retried more than five times");
    }
    if (outcome == Outcome::GaveUp && expected != scale::kStandardScale.retries.downloadRetries + 1)
        fuzzFailure("the download gave up before the fifth retry failed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ensureCoreApplication();
    if (size < 1)
        return 0;
    static const DownloadPlan plans[] = {pluPlan(), ingredPlan()};
    const DownloadPlan& plan = plans[data[0] & 1];
    if (plan.refused())
        fuzzFailure("the sample table cannot be sent");

    ManualClock clock;
    ReplyLink link(data + 1, size - 1, clock);
    Wire wire(link, clock);
    QStringList texts;
    QList<Accepted> accepted;
    int progressRows = 0;
    ExchangeEvents events;
    events.status = [&](const QString& text) {
        texts.append(text);
        if (text.endsWith(kTransfered))
            accepted.append(
                {text.mid(plan.kind->acceptedText.size()).chopped(kTransfered.size()).toInt(),
                 link.writes().size()});
    };
    events.progress = [&](int done, int total) {
        if (done != progressRows + (done == 0 ? 0 : 1) || total != plan.rows.size())
            fuzzFailure("progress did not count the rows one by one");
        progressRows = done;
    };
    const Ending ending = async::waitFor(runDownload(plan, wire, events));
    const Outcome outcome = ending.outcome;

    traceTexts(texts);
    const int rows = int(plan.rows.size());
    // A row the scale accepted is reported even when the reopen after it then fails; the
    // progress, which counts rows done, stops one short then.
    const bool endedAfterAccept = outcome == Outcome::PortLost || outcome == Outcome::Cancelled;
    if (accepted.size() > rows || (progressRows != accepted.size() &&
                                   !(endedAfterAccept && progressRows == accepted.size() - 1)))
        fuzzFailure("progress and the rows reported transferred disagree");
    checkAccepted(plan, accepted, link.writes());
    checkRetries(texts, outcome);
    const bool finished = accepted.size() == rows && !texts.isEmpty() && texts.last() == kTheEnd;
    if ((outcome == Outcome::Done) != finished)
        fuzzFailure("\" THE END \" and the outcome disagree");
    if (outcome == Outcome::Refused || outcome == Outcome::Cancelled)
        fuzzFailure("a download of a valid table with nobody cancelling was refused or cancelled");
    if (outcome == Outcome::PortLost &&
        !texts.last().startsWith(QStringLiteral("Transfer stopped on port fuzz: ")))
        fuzzFailure("a failed link was not named in the last text");
    if (outcome != Outcome::PortLost && !link.isOpen())
        fuzzFailure("the port was left closed");
    if (clock.nowMs() > rows * kAttemptsPerRow * kLongestAttemptMs)
        fuzzFailure("the download waited longer than its retries allow");
    return 0;
}
