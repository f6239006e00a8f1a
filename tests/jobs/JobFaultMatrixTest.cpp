// The fault matrix: every exchange a job has with the scale (display read, PLU download,
// ingredient download, PLU upload, and the compare, which reads the PLUs back as the upload
// does) against every misbehaviour the simulated scale can show and a cable pulled in the
// middle of a row, each happening once, as often as the retries still recover from, and every
// time. The job runs on a borrowed port, as the window's do. The expectations are worked out
// from the retry rules below, not taken from a run: the status texts in order, the job's
// typed events and its ending, what the scale holds afterwards, the records read, and the
// time spent, on a manual clock so the whole sweep takes seconds.

#include "support/DroppingLink.h"
#include "support/TextPrinting.h"

#include "jobs/ScaleJob.h"
#include "protocol/FaultSpec.h"
#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace {

// The rules' time limits and pauses.
constexpr qint64 kByteLimitMs = 1000;          // a byte or a two-byte number
constexpr qint64 kDisplayLimitMs = 5000;       // the 12-byte display record
constexpr qint64 kUploadReplyLimitMs = 4000;   // the 77-byte upload reply
constexpr qint64 kDownloadPauseMs = 5000;      // before a download retry
constexpr qint64 kUploadSyncPauseMs = 2000;    // before an upload retry after the sync
constexpr qint64 kUploadCommandPauseMs = 5000; // before an upload retry after the command
constexpr int kDownloadRetries = 5;            // "Retry #1" to "Retry #5", the sixth gives up
constexpr int kUploadRetries = 4;              // "Retry #1" to "Retry #4", the fifth gives up

enum class Exchange { DisplayRead, PluDownload, IngredDownload, PluUpload, Compare };
enum class Fault {
    Sync,
    Command,
    Echo,
    Ack,
    Silence,
    SilenceAtNumber,
    EndByte,
    Short,
    Long,
    Stray,
    StrayAtNumber,
    LinkDrop,
};
constexpr int kEveryTime = -1;

struct Case {
    Exchange exchange;
    Fault fault;
    int attempts; // how many times the fault happens; kEveryTime for always
};

const char* nameOf(Exchange exchange) {
    static const char* const names[] = {"DisplayRead", "PluDownload", "IngredDownload", "PluUpload",
                                        "Compare"};
    return names[int(exchange)];
}

// Each fault's name and its kind in the simulator's syntax; "@" faults apply to the number of
// the first row's exchange.
struct FaultName {
    const char* name;
    const char* kind;
    bool atNumber;
};
const FaultName kFaultNames[] = {
    {"Sync", "sync", false},          {"Command", "command", false},
    {"Echo", "echo", false},          {"Ack", "ack", false},
    {"Silence", "silence", false},    {"SilenceAtNumber", "silence", true},
    {"EndByte", "endbyte", false},    {"Short", "short", false},
    {"Long", "long", false},          {"Stray", "stray", false},
    {"StrayAtNumber", "stray", true}, {"LinkDrop", nullptr, false},
};

const char* nameOf(Fault fault) {
    return kFaultNames[int(fault)].name;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    const Case& c = info.param;
    return std::string(nameOf(c.exchange)) + "_" + nameOf(c.fault) + "_" +
           (c.attempts == kEveryTime ? std::string("Always") : std::to_string(c.attempts));
}

void PrintTo(const Case& c, std::ostream* out) {
    *out << nameOf(c.exchange) << " / " << nameOf(c.fault) << " / "
         << (c.attempts == kEveryTime ? std::string("every time") : std::to_string(c.attempts));
}

bool isDownload(Exchange exchange) {
    return exchange == Exchange::PluDownload || exchange == Exchange::IngredDownload;
}

// The compare reads the scale's PLUs with the upload exchange: the upload's rules apply.
bool isRead(Exchange exchange) {
    return exchange == Exchange::PluUpload || exchange == Exchange::Compare;
}

int retryLimit(Exchange exchange) {
    return isRead(exchange) ? kUploadRetries : kDownloadRetries;
}

// --- The scenario every case starts from -------------------------------------------------

// Rows 1 and 2 of the tables the downloads send; the scale already holds older records
// under their numbers, which must survive unless the scale accepts a new one.
const PluRecord kPluRows[] = {
    {201, 0x12345678, QStringLiteral("Apples"), QStringLiteral("Braeburn"), 349, 7, 0, 1, 0},
    {202, 1002, QStringLiteral("Bread"), QStringLiteral("Rye loaf"), 425, 3, 20, 2, 1},
};
const IngredRecord kIngredRows[] = {
    {71, QStringLiteral("Flour, water, salt"), QStringLiteral("yeast"), {}, {}},
    {72, QStringLiteral("Milk"), {}, {}, QStringLiteral("Allergens: milk")},
};
const QByteArray kOldPlu(72, char(0xEE));
const QByteArray kOldIngred(400, char(0xEE));
// What the scale holds for the upload: numbers 1 to 3.
const PluRecord kScalePlus[] = {
    {1, 1001, QStringLiteral("Apples"), QStringLiteral("Braeburn"), 349, 7, 0, 1, 0},
    {2, 1002, QStringLiteral("Bread"), QStringLiteral("Rye loaf"), 425, 3, 20, 2, 1},
    {3, 1003, QStringLiteral("Cheese"), QStringLiteral("Mountain"), 1890, 21, 5, 3, 2},
};
const DisplayValues kShown{1234, 1000, 4660};

void prepareScale(SimulatedScale& scale) {
    scale.dropFrame(); // a cable pulled in the case before left half a frame
    scale.clearFaults();
    scale.clearPlus();
    for (const PluRecord& row : kPluRows)
        scale.storePlu(quint16(row.PluNo), kOldPlu);
    for (const IngredRecord& row : kIngredRows)
        scale.storeIngred(quint16(row.MessageNo), kOldIngred);
    for (const PluRecord& record : kScalePlus)
        ASSERT_EQ(scale.storePlu(record), QString());
    scale.setDisplay(kShown);
}

void fillTables(PluTable& plu, IngredTable& ingred) {
    plu.reset();
    ingred.reset();
    for (int i = 0; i < 2; ++i) {
        plu.records[i + 1] = kPluRows[i];
        plu.grid.setText(i + 1, 1, QString::number(kPluRows[i].PluNo));
        plu.grid.setText(i + 1, 3, kPluRows[i].ItemName1);
        ingred.records[i + 1] = kIngredRows[i];
        ingred.grid.setText(i + 1, 1, QString::number(kIngredRows[i].MessageNo));
    }
    plu.count = 2;
    ingred.count = 2;
}

// The number the scale sees in the first row's exchange.
int firstNumber(Exchange exchange) {
    switch (exchange) {
    case Exchange::PluDownload:
        return kPluRows[0].PluNo;
    case Exchange::IngredDownload:
        return kIngredRows[0].MessageNo;
    default:
        return 1;
    }
}

// --- What the rules say ------------------------------------------------------------------

// How one occurrence of a fault shows in an exchange.
struct FailureRule {
    bool applies = false;      // false: the exchange never meets the fault and runs clean
    QString text;              // the failure's status text
    qint64 retryCostMs = 0;    // time from the failure to the next attempt: wait + pause
    qint64 lastCostMs = 0;     // time of the failure itself (its wait), when it is the last
    bool storedAnyway = false; // the scale stored the record, the PC saw no clean 0x10
};

FailureRule failureOf(Exchange exchange, Fault fault) {
    FailureRule rule;
    if (isDownload(exchange)) {
        const bool plu = exchange == Exchange::PluDownload;
        const QString syncText = plu ? QStringLiteral("Sync error PLU No : 1")
                                     : QStringLiteral("Sync error Message No : 1");
        const QString echoText =
            plu ? QStringLiteral("PLU # is not same") : QStringLiteral("Message # is not same");
        rule.applies = true;
        switch (fault) {
        case Fault::Sync: // wrong answer at once, then the pause
            rule = {true, syncText, kDownloadPauseMs, 0};
            break;
        case Fault::Silence: // no answer: the byte's limit, then the pause
        case Fault::Stray:   // two bytes where one is awaited: the same
            rule = {true, syncText, kByteLimitMs + kDownloadPauseMs, kByteLimitMs};
            break;
        case Fault::Command:
            rule = {true, QStringLiteral("Download command error"), kDownloadPauseMs, 0};
            break;
        case Fault::Echo: // wrong echo: the zero bytes, no pause
            rule = {true, echoText, 0, 0};
            break;
        case Fault::SilenceAtNumber: // no echo: the number's limit, then the zero bytes
            rule = {true, echoText, kByteLimitMs, kByteLimitMs};
            break;
        case Fault::Ack:
            rule = {true, QStringLiteral("SyncOK error"), kDownloadPauseMs, 0};
            break;
        case Fault::StrayAtNumber: // 0x10 and a stray byte: no single byte, the limit
            rule = {true, QStringLiteral("SyncOK error"), kByteLimitMs + kDownloadPauseMs,
                    kByteLimitMs, true};
            break;
        case Fault::EndByte: // faults of the upload and the display read
        case Fault::Short:
        case Fault::Long:
            rule.applies = false;
            break;
        case Fault::LinkDrop:
            break; // handled on its own
        }
        return rule;
    }
    if (isRead(exchange)) {
        rule.applies = true;
        switch (fault) {
        case Fault::Sync:
            rule = {true, QStringLiteral("Sync error"), kUploadSyncPauseMs, 0};
            break;
        case Fault::Silence:
        case Fault::Stray:
            rule = {true, QStringLiteral("Sync error"), kByteLimitMs + kUploadSyncPauseMs,
                    kByteLimitMs};
            break;
        case Fault::Command:
            rule = {true, QStringLiteral("Upload command error"), kUploadCommandPauseMs, 0};
            break;
        case Fault::SilenceAtNumber: // no reply, or one of 76 or 78 bytes: the reply's limit
        case Fault::Short:
        case Fault::Long:
        case Fault::StrayAtNumber:
            rule = {true, QStringLiteral("Receive PLU time out"), kUploadReplyLimitMs,
                    kUploadReplyLimitMs};
            break;
        case Fault::EndByte: // a whole reply with a wrong end byte: counted, no recovery
            rule = {true, QStringLiteral("SyncOK error"), 0, 0};
            break;
        case Fault::Echo: // faults of the downloads
        case Fault::Ack:
            rule.applies = false;
            break;
        case Fault::LinkDrop:
            break;
        }
        return rule;
    }
    return rule; // the display read has no retries; see expectedDisplay()
}

// How many times the fault makes the exchange fail: it stops at the failure that gives up.
int failures(const Case& c) {
    const int giveUp = retryLimit(c.exchange) + 1;
    if (c.fault == Fault::LinkDrop)
        return 0;
    if (!failureOf(c.exchange, c.fault).applies)
        return 0;
    return c.attempts == kEveryTime ? giveUp : std::min(c.attempts, giveUp);
}

// The attempt in which the cable is pulled: the attempts before it fail at the sync.
int dropAttempt(const Case& c) {
    return c.attempts == kEveryTime ? retryLimit(c.exchange) + 1 : c.attempts;
}

QString faultText(const Case& c) {
    if (c.fault == Fault::LinkDrop) {
        const int before = dropAttempt(c) - 1;
        return before > 0 ? QStringLiteral("sync:%1").arg(before) : QString();
    }
    const FaultName& f = kFaultNames[int(c.fault)];
    const QString count =
        c.attempts == kEveryTime ? QStringLiteral("*") : QString::number(c.attempts);
    const QString at = f.atNumber ? QStringLiteral("@%1").arg(firstNumber(c.exchange)) : QString();
    return QString::fromLatin1(f.kind) + at + QLatin1Char(':') + count;
}

// Bytes written before the cable is pulled: the failed syncs, then half of the row.
qint64 dropAfterBytes(const Case& c) {
    if (c.fault != Fault::LinkDrop)
        return -1;
    const qint64 failedSyncs = dropAttempt(c) - 1;
    switch (c.exchange) {
    case Exchange::DisplayRead:
        return 1; // the sync goes, the command does not
    case Exchange::PluDownload:
        return failedSyncs + 4 + 36; // sync, command, number, half the record
    case Exchange::IngredDownload:
        return failedSyncs + 4 + 200;
    case Exchange::PluUpload:
    case Exchange::Compare:
        return failedSyncs + 3; // sync, command, half the number
    }
    return -1;
}

struct RetryEvent {
    int retry;
    QString failure;
    bool operator==(const RetryEvent&) const = default;
};
struct Progress {
    int done;
    int total;
    bool operator==(const Progress&) const = default;
};

void PrintTo(const RetryEvent& r, std::ostream* out) {
    *out << "Retry #" << r.retry << " after \"" << r.failure.toStdString() << '"';
}
void PrintTo(const Progress& p, std::ostream* out) {
    *out << p.done << '/' << p.total;
}

struct Expected {
    QStringList texts;
    qint64 elapsedMs = 0;
    Ending ending;
    QList<RetryEvent> retries;
    QList<Progress> progress;
    bool completed = false; // every row went (download) / every record came (upload)
    bool firstRowStored = false;
    bool tableReplaced = false; // (upload)
};

// The progress events: a download counts the rows the scale accepted from 0, an upload of
// "All PLU" the number it is about to ask for, of the 600; the compare shows none.
QList<Progress> expectedProgress(Exchange exchange, bool completed) {
    if (exchange == Exchange::PluDownload || exchange == Exchange::IngredDownload)
        return completed ? QList<Progress>{{0, 2}, {1, 2}, {2, 2}} : QList<Progress>{{0, 2}};
    if (exchange == Exchange::PluUpload)
        return completed ? QList<Progress>{{1, 600}, {2, 600}, {3, 600}, {4, 600}}
                         : QList<Progress>{{1, 600}};
    return {};
}

Expected expectedTransfer(const Case& c, const QString& portName) {
    Expected e;
    const int limit = retryLimit(c.exchange);
    const QString syncText =
        isRead(c.exchange)
            ? QStringLiteral("Sync error")
            : (c.exchange == Exchange::PluDownload ? QStringLiteral("Sync error PLU No : 1")
                                                   : QStringLiteral("Sync error Message No : 1"));
    if (c.fault == Fault::LinkDrop) {
        const int before = dropAttempt(c) - 1;
        const qint64 pause = isRead(c.exchange) ? kUploadSyncPauseMs : kDownloadPauseMs;
        for (int i = 1; i <= before; ++i) {
            e.texts << syncText << QStringLiteral("Retry #%1").arg(i);
            e.retries << RetryEvent{i, syncText};
        }
        e.texts << QStringLiteral("Transfer stopped on port %1: %2")
                       .arg(portName, DroppingLink::kReason);
        e.elapsedMs = before * pause;
        e.ending = {Outcome::PortLost, DroppingLink::kReason};
        e.progress = expectedProgress(c.exchange, false);
        return e;
    }

    const FailureRule rule = failureOf(c.exchange, c.fault);
    const int n = failures(c);
    const bool givesUp = n > limit;
    for (int i = 1; i <= std::min(n, limit); ++i) {
        e.texts << rule.text << QStringLiteral("Retry #%1").arg(i);
        e.retries << RetryEvent{i, rule.text};
    }
    e.elapsedMs = std::min(n, limit) * rule.retryCostMs;
    if (givesUp) {
        e.texts << rule.text;
        e.elapsedMs += rule.lastCostMs;
        e.firstRowStored = rule.storedAnyway;
        e.ending = {Outcome::GaveUp, rule.text};
        e.progress = expectedProgress(c.exchange, false);
        return e; // no reply was accepted, so no table was replaced
    }
    e.completed = true;
    e.firstRowStored = true;
    e.tableReplaced = true;
    e.progress = expectedProgress(c.exchange, true);
    switch (c.exchange) {
    case Exchange::PluDownload:
        e.texts << "plu#1 is transfered"
                << "plu#2 is transfered"
                << " THE END ";
        break;
    case Exchange::IngredDownload:
        e.texts << "Message#1 is transfered"
                << "Message#2 is transfered"
                << " THE END ";
        break;
    case Exchange::PluUpload:
    case Exchange::Compare:
        e.texts << "plu#1 is received"
                << "plu#2 is received"
                << "plu#3 is received"
                << "PLU is not exist";
        break;
    case Exchange::DisplayRead:
        break;
    }
    return e;
}

// The display read: no retries, no status text, no pause; its ending says what the scale did
// and the job's end text is what the window and scalectl show.
struct ExpectedDisplay {
    bool showsValues = true;
    DisplayValues values;
    qint64 elapsedMs = 0;
    Ending ending;
    QString endText;
};

ExpectedDisplay expectedDisplay(Fault fault, const QString& portName) {
    const QString noSync = QStringLiteral("did not answer the sync with one byte within a second");
    const QString noRecord = QStringLiteral("answered but sent no display record within 5 seconds");
    const auto gaveUp = [](bool shows, qint64 ms, const QString& reason) {
        return ExpectedDisplay{shows, shows ? DisplayValues{0, 0, 0} : DisplayValues{}, ms,
                               Ending{Outcome::GaveUp, reason},
                               QStringLiteral("the scale ") + reason};
    };
    switch (fault) {
    case Fault::Sync:
        return gaveUp(false, 0, QStringLiteral("answered the sync with 0x78, not 0x77"));
    case Fault::Silence:
    case Fault::Stray: // 0x77 and a stray byte: no single byte within the limit
        return gaveUp(false, kByteLimitMs, noSync);
    case Fault::Short:
    case Fault::Long:
        return gaveUp(true, kDisplayLimitMs, noRecord);
    case Fault::LinkDrop:
        return {
            false,
            {},
            0,
            {Outcome::PortLost, DroppingLink::kReason},
            QStringLiteral("Transfer stopped on port %1: %2").arg(portName, DroppingLink::kReason)};
    default: // faults of the other exchanges
        return {true, kShown, 0, {}, QStringLiteral("1234 1000 4660")};
    }
}

QByteArray encoded(const PluRecord& record) {
    return plu_wire::encode(record).bytes;
}
QByteArray encoded(const IngredRecord& record) {
    return ingred_wire::encode(record).bytes;
}

// Whole new records where the scale accepted them, the old ones everywhere else.
void expectScaleHolds(const SimulatedScale& scale, const Case& c, const Expected& e) {
    if (c.exchange == Exchange::PluDownload) {
        EXPECT_EQ(scale.pluRecord(201), e.firstRowStored ? encoded(kPluRows[0]) : kOldPlu);
        EXPECT_EQ(scale.pluRecord(202), e.completed ? encoded(kPluRows[1]) : kOldPlu);
    } else if (c.exchange == Exchange::IngredDownload) {
        EXPECT_EQ(scale.ingredRecord(71), e.firstRowStored ? encoded(kIngredRows[0]) : kOldIngred);
        EXPECT_EQ(scale.ingredRecord(72), e.completed ? encoded(kIngredRows[1]) : kOldIngred);
    }
    // Nothing else was ever written: no stray record from zero bytes or half a frame.
    EXPECT_EQ(scale.pluNumbers(), (QList<quint16>{1, 2, 3, 201, 202}));
    EXPECT_EQ(scale.ingredNumbers(), (QList<quint16>{71, 72}));
    for (const PluRecord& record : kScalePlus)
        EXPECT_EQ(scale.pluRecord(quint16(record.PluNo)), encoded(record));
}

// The records an upload brought: the scale's, names centred in 28 characters.
void expectUploaded(const PluTable& table) {
    ASSERT_EQ(table.count, 3);
    for (int k = 1; k <= 3; ++k) {
        PluRecord got = table.records[k];
        EXPECT_EQ(got.ItemName1.size(), 28);
        got.ItemName1 = got.ItemName1.trimmed();
        got.ItemName2 = got.ItemName2.trimmed();
        EXPECT_EQ(got, kScalePlus[k - 1]) << "record " << k;
        EXPECT_EQ(table.grid.text(k, 0), QString::number(k));
        EXPECT_EQ(table.grid.text(k, 1), QString::number(k));
    }
    EXPECT_EQ(table.grid.text(4, 1), QString());
}

std::vector<Case> matrix() {
    std::vector<Case> cases;
    for (int f = 0; f <= int(Fault::LinkDrop); ++f)
        cases.push_back({Exchange::DisplayRead, Fault(f), 1});
    for (Exchange exchange : {Exchange::PluDownload, Exchange::IngredDownload, Exchange::PluUpload,
                              Exchange::Compare}) {
        for (int f = 0; f <= int(Fault::LinkDrop); ++f) {
            for (int attempts : {1, retryLimit(exchange), kEveryTime})
                cases.push_back({exchange, Fault(f), attempts});
        }
    }
    return cases;
}

JobWork workFor(Exchange exchange) {
    const DownloadSelection all{DownloadChoice::All, {}, {}, {}};
    PluTable plu;
    IngredTable ingred;
    fillTables(plu, ingred);
    switch (exchange) {
    case Exchange::PluDownload:
        return DownloadWork{planDownload(plu, QStringLiteral("/data/shop.plu"), all), {}};
    case Exchange::IngredDownload:
        return DownloadWork{planDownload(ingred, QStringLiteral("/data/shop.plu"), all), {}};
    case Exchange::PluUpload:
        return UploadWork{{false, QStringLiteral("1")}};
    case Exchange::Compare: {
        auto table = std::make_shared<PluTable>(); // what the scale holds
        for (int k = 1; k <= 3; ++k)
            table->records[k] = kScalePlus[k - 1];
        table->count = 3;
        return CompareWork{table};
    }
    case Exchange::DisplayRead:
        break;
    }
    return DisplayWork{};
}

const QString kPort = QStringLiteral("faultsim");

class JobFaults : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        prepareScale(scale);
        const Case& c = GetParam();
        const QString faults = faultText(c);
        if (!faults.isEmpty())
            scale.addFaults(*parseFaults(faults));
        link = std::make_unique<DroppingLink>(std::make_unique<SimLink>(scale, &clock), kPort,
                                              dropAfterBytes(c));
        ASSERT_TRUE(async::waitFor(link->open()));
        job = std::make_unique<ScaleJob>(*link, workFor(c.exchange), clock);
        QObject::connect(job.get(), &ScaleJob::statusText,
                         [this](const QString& text) { texts << text; });
        QObject::connect(job.get(), &ScaleJob::retrying, [this](int n, const QString& failure) {
            retries << RetryEvent{n, failure};
        });
        QObject::connect(job.get(), &ScaleJob::progressed, [this](int done, int total) {
            progress << Progress{done, total};
        });
        QObject::connect(job.get(), &ScaleJob::uploadTableReplaced, [this] { ++replaced; });
        QObject::connect(job.get(), &ScaleJob::finished, [this] { ++finished; });
    }

    // The job runs on the manual clock, so it has ended when start() returns.
    void run() {
        const qint64 start = clock.nowMs();
        job->start();
        elapsedMs = clock.nowMs() - start;
        ASSERT_EQ(finished, 1);
        ASSERT_TRUE(job->result().ended());
    }

    SimulatedScale scale;
    ManualClock clock{10'000};
    std::unique_ptr<DroppingLink> link;
    std::unique_ptr<ScaleJob> job;
    QStringList texts;
    QList<RetryEvent> retries;
    QList<Progress> progress;
    int replaced = 0;
    int finished = 0;
    qint64 elapsedMs = 0;
};

TEST_P(JobFaults, EndsAsTheRetryRulesSay) {
    const Case& c = GetParam();
    run();
    const JobResult& result = job->result();
    // A borrowed port stays open, unless the cable took it.
    EXPECT_EQ(link->isOpen(), c.fault != Fault::LinkDrop);

    if (c.exchange == Exchange::DisplayRead) {
        const ExpectedDisplay e = expectedDisplay(c.fault, kPort);
        EXPECT_EQ(texts, QStringList());
        EXPECT_EQ(elapsedMs, e.elapsedMs);
        EXPECT_EQ(result.ending.outcome, e.ending.outcome);
        EXPECT_EQ(result.ending.reason, e.ending.reason);
        EXPECT_EQ(job->endText(), e.endText);
        EXPECT_EQ(job->showsValues(), e.showsValues);
        if (e.showsValues) {
            EXPECT_EQ(job->display(), e.values);
        }
        EXPECT_EQ(retries, QList<RetryEvent>());
        return;
    }

    const Expected e = expectedTransfer(c, kPort);
    EXPECT_EQ(texts, e.texts);
    EXPECT_EQ(elapsedMs, e.elapsedMs);
    EXPECT_EQ(result.ending.outcome, e.ending.outcome);
    EXPECT_EQ(result.ending.reason, e.ending.reason);
    EXPECT_EQ(result.state, e.completed ? JobState::Done : JobState::Failed);
    EXPECT_EQ(retries, e.retries);
    EXPECT_EQ(result.retries, e.retries.size());
    EXPECT_EQ(progress, e.progress);
    expectScaleHolds(scale, c, e);
    if (c.exchange == Exchange::PluUpload) {
        EXPECT_EQ(replaced, e.tableReplaced ? 1 : 0);
        if (e.completed) {
            expectUploaded(*job->uploadedTable());
        } else {
            EXPECT_EQ(job->uploadedTable()->count, 0); // no reply was accepted
        }
    }
    if (c.exchange == Exchange::Compare) {
        EXPECT_EQ(job->differences().size(), 0);
        EXPECT_EQ(job->endText(),
                  e.completed ? QStringLiteral("Compare: the scale holds what the PLU table holds")
                              : QString());
    }
}

INSTANTIATE_TEST_SUITE_P(Matrix, JobFaults, ::testing::ValuesIn(matrix()), caseName);

} // namespace
