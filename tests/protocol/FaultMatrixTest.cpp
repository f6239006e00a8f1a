// The fault matrix: every exchange with the scale (display read, PLU download, ingredient
// download, PLU upload) against every misbehaviour the simulated scale can show and a cable
// pulled in the middle of a row, each happening once, as often as the retries still
// recover from, and every time. Each case is run twice: on the engines alone and through the
// buttons of the window. The expectations are worked out from the retry rules below, not
// taken from a run: the status texts in order, what the scale holds afterwards, the table,
// the tabs, and the time spent, on a manual clock so the whole sweep takes seconds.

#include "DroppingLink.h"

#include "app/StatusBar.h"
#include "app/frmMain.h"
#include "protocol/DisplayRead.h"
#include "protocol/DownloadEngine.h"
#include "protocol/FaultSpec.h"
#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "protocol/UploadEngine.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"
#include "serial/Wire.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

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

enum class Exchange { DisplayRead, PluDownload, IngredDownload, PluUpload };
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
    switch (exchange) {
    case Exchange::DisplayRead:
        return "DisplayRead";
    case Exchange::PluDownload:
        return "PluDownload";
    case Exchange::IngredDownload:
        return "IngredDownload";
    case Exchange::PluUpload:
        return "PluUpload";
    }
    return "?";
}

const char* nameOf(Fault fault) {
    static const char* const names[] = {"Sync",    "Command",         "Echo",          "Ack",
                                        "Silence", "SilenceAtNumber", "EndByte",       "Short",
                                        "Long",    "Stray",           "StrayAtNumber", "LinkDrop"};
    return names[int(fault)];
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

int retryLimit(Exchange exchange) {
    return exchange == Exchange::PluUpload ? kUploadRetries : kDownloadRetries;
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
    if (exchange == Exchange::PluUpload) {
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
    const QString count =
        c.attempts == kEveryTime ? QStringLiteral("*") : QString::number(c.attempts);
    const QString number = QString::number(firstNumber(c.exchange));
    switch (c.fault) {
    case Fault::Sync:
        return QStringLiteral("sync:") + count;
    case Fault::Command:
        return QStringLiteral("command:") + count;
    case Fault::Echo:
        return QStringLiteral("echo:") + count;
    case Fault::Ack:
        return QStringLiteral("ack:") + count;
    case Fault::Silence:
        return QStringLiteral("silence:") + count;
    case Fault::SilenceAtNumber:
        return QStringLiteral("silence@") + number + QStringLiteral(":") + count;
    case Fault::EndByte:
        return QStringLiteral("endbyte:") + count;
    case Fault::Short:
        return QStringLiteral("short:") + count;
    case Fault::Long:
        return QStringLiteral("long:") + count;
    case Fault::Stray:
        return QStringLiteral("stray:") + count;
    case Fault::StrayAtNumber:
        return QStringLiteral("stray@") + number + QStringLiteral(":") + count;
    case Fault::LinkDrop: {
        const int before = dropAttempt(c) - 1;
        return before > 0 ? QStringLiteral("sync:%1").arg(before) : QString();
    }
    }
    return {};
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
        return failedSyncs + 3; // sync, command, half the number
    }
    return -1;
}

struct Expected {
    QStringList texts;
    qint64 elapsedMs = 0;
    bool completed = false; // every row went (download) / every record came (upload)
    bool firstRowStored = false;
    bool tableReplaced = false; // (upload)
};

Expected expectedTransfer(const Case& c, const QString& portName) {
    Expected e;
    const int limit = retryLimit(c.exchange);
    const QString syncText =
        c.exchange == Exchange::PluUpload
            ? QStringLiteral("Sync error")
            : (c.exchange == Exchange::PluDownload ? QStringLiteral("Sync error PLU No : 1")
                                                   : QStringLiteral("Sync error Message No : 1"));
    if (c.fault == Fault::LinkDrop) {
        const int before = dropAttempt(c) - 1;
        const qint64 pause =
            c.exchange == Exchange::PluUpload ? kUploadSyncPauseMs : kDownloadPauseMs;
        for (int i = 1; i <= before; ++i)
            e.texts << syncText << QStringLiteral("Retry #%1").arg(i);
        e.texts << QStringLiteral("Transfer stopped on port %1: %2")
                       .arg(portName, DroppingLink::kReason);
        e.elapsedMs = before * pause;
        return e;
    }

    const FailureRule rule = failureOf(c.exchange, c.fault);
    const int n = failures(c);
    const bool givesUp = n > limit;
    for (int i = 1; i <= std::min(n, limit); ++i)
        e.texts << rule.text << QStringLiteral("Retry #%1").arg(i);
    e.elapsedMs = std::min(n, limit) * rule.retryCostMs;
    if (givesUp) {
        e.texts << rule.text;
        e.elapsedMs += rule.lastCostMs;
        e.firstRowStored = rule.storedAnyway;
        return e; // no reply was accepted, so the table stays as it was
    }
    e.completed = true;
    e.firstRowStored = true;
    e.tableReplaced = true;
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

// The display read: no retries and no status text. What the read-out boxes get.
enum class Boxes { Values, Zeros, Unchanged };
struct ExpectedDisplay {
    Boxes boxes = Boxes::Values;
    qint64 elapsedMs = 0;
};

ExpectedDisplay expectedDisplay(Fault fault) {
    switch (fault) {
    case Fault::Sync:
        return {Boxes::Unchanged, 0};
    case Fault::Silence:
    case Fault::Stray: // 0x77 and a stray byte: no single byte within the limit
        return {Boxes::Unchanged, kByteLimitMs};
    case Fault::Short:
    case Fault::Long:
        return {Boxes::Zeros, kDisplayLimitMs};
    case Fault::LinkDrop:
        return {Boxes::Unchanged, 0};
    default: // faults of the other exchanges
        return {Boxes::Values, 0};
    }
}

// --- Checks shared by both levels --------------------------------------------------------

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

struct TableSnapshot {
    QVector<QStringList> cells;
    std::array<PluRecord, 601> records;
    qint16 count;

    explicit TableSnapshot(const PluTable& t)
        : cells(t.grid.all()), records(t.records), count(t.count) {}
    bool operator==(const TableSnapshot&) const = default;
};

std::vector<Case> matrix() {
    std::vector<Case> cases;
    for (int f = 0; f <= int(Fault::LinkDrop); ++f)
        cases.push_back({Exchange::DisplayRead, Fault(f), 1});
    for (Exchange exchange :
         {Exchange::PluDownload, Exchange::IngredDownload, Exchange::PluUpload}) {
        for (int f = 0; f <= int(Fault::LinkDrop); ++f) {
            for (int attempts : {1, retryLimit(exchange), kEveryTime})
                cases.push_back({exchange, Fault(f), attempts});
        }
    }
    return cases;
}

// --- On the engines alone ----------------------------------------------------------------

class EngineFaults : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        prepareScale(scale);
        const Case& c = GetParam();
        const QString faults = faultText(c);
        if (!faults.isEmpty())
            scale.addFaults(*parseFaults(faults));
        link = std::make_unique<DroppingLink>(std::make_unique<SimLink>(scale, &clock),
                                              kSimPortName, dropAfterBytes(c));
        ASSERT_TRUE(async::waitFor(link->open()));
        wire = std::make_unique<Wire>(*link, clock);
        fillTables(plu, ingred);
    }

    SimulatedScale scale;
    ManualClock clock{10'000};
    std::unique_ptr<DroppingLink> link;
    std::unique_ptr<Wire> wire;
    PluTable plu;
    IngredTable ingred;
    QStringList texts;
};

TEST_P(EngineFaults, EndsAsTheRetryRulesSay) {
    const Case& c = GetParam();
    const qint64 start = clock.nowMs();
    const auto record = [this](const QString& text) { texts << text; };

    if (c.exchange == Exchange::DisplayRead) {
        const DisplayReadResult result = async::waitFor(readDisplay(*wire));
        const ExpectedDisplay e = expectedDisplay(c.fault);
        EXPECT_EQ(clock.nowMs() - start, e.elapsedMs);
        EXPECT_EQ(result.showValues(), e.boxes != Boxes::Unchanged);
        if (e.boxes == Boxes::Values) {
            EXPECT_EQ(result.values, kShown);
        } else if (e.boxes == Boxes::Zeros) {
            EXPECT_EQ(result.values, (DisplayValues{0, 0, 0}));
        }
        EXPECT_EQ(result.ending.outcome == Outcome::PortLost, c.fault == Fault::LinkDrop);
        return;
    }

    const Expected e = expectedTransfer(c, kSimPortName);
    if (isDownload(c.exchange)) {
        const TableSnapshot pluBefore(plu);
        const auto ingredBefore = ingred.records;
        const DownloadSelection all{DownloadChoice::All, {}, {}, {}};
        const DownloadPlan plan = c.exchange == Exchange::PluDownload
                                      ? planDownload(plu, QStringLiteral("/data/shop.plu"), all)
                                      : planDownload(ingred, QStringLiteral("/data/shop.plu"), all);
        const Ending ending = async::waitFor(runDownload(plan, *wire, record));
        EXPECT_EQ(ending.done(), e.completed);
        EXPECT_EQ(TableSnapshot(plu), pluBefore);
        EXPECT_EQ(ingred.records, ingredBefore);
    } else {
        const TableSnapshot before(plu);
        UploadEngine engine(*wire, plu, record);
        const UploadResult result = async::waitFor(engine.run({false, QStringLiteral("1")}));
        EXPECT_EQ(result.tableReplaced, e.tableReplaced);
        EXPECT_EQ(result.succeeded(), e.completed);
        if (e.completed)
            expectUploaded(plu);
        else
            EXPECT_EQ(TableSnapshot(plu), before); // no reply was accepted
    }
    EXPECT_EQ(texts, e.texts);
    EXPECT_EQ(clock.nowMs() - start, e.elapsedMs);
    expectScaleHolds(scale, c, e);
}

INSTANTIATE_TEST_SUITE_P(Matrix, EngineFaults, ::testing::ValuesIn(matrix()), caseName);

// --- Through the window ------------------------------------------------------------------

// The window reaches the scale through this port name: the built-in simulated scale behind
// a cable that is pulled after the number of bytes the running case asks for.
const QString kWindowPort = QStringLiteral("faultsim");
qint64 g_windowDropAfter = -1;

void registerWindowPort() {
    registerLinkFactory(kWindowPort, [](const QString&) -> std::unique_ptr<Link> {
        return std::make_unique<DroppingLink>(std::make_unique<SimLink>(embeddedScale()),
                                              kWindowPort, g_windowDropAfter);
    });
}

class WindowFaults : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        const Case& c = GetParam();
        prepareScale(scale());
        g_windowDropAfter = dropAfterBytes(c);
        registerWindowPort();
        window = std::make_unique<frmMain>();
        window->setClock(clock);
        window->setExitFunction([] {});
        control<QRadioButton>("optComOther")->setChecked(true);
        control<QComboBox>("cboComOther")->setEditText(kWindowPort);
        QTest::mouseClick(control<QPushButton>("cmdPortOpen"), Qt::LeftButton);
        ASSERT_EQ(window->statusText(), QStringLiteral("open port faultsim"));

        fillTables(window->pluTable(), window->ingredTable());
        window->setSourcePath(QStringLiteral("/data/shop.plu"));
        for (const char* option : {"optDownAllPLU", "optDownAllINGRED", "optUpAllPLU"})
            control<QRadioButton>(option)->setChecked(true);
        for (const char* box : {"txtWeight", "txtUnitPrice", "txtTotalPrice"})
            control<QLineEdit>(box)->setText(QStringLiteral("old"));

        const QString faults = faultText(c);
        if (!faults.isEmpty())
            scale().addFaults(*parseFaults(faults));
        QObject::connect(window->findChild<StatusBar*>(), &StatusBar::statusTextChanged,
                         [this](const QString& text) {
                             texts << text;
                             tabsAtTexts << window->tabs()->isEnabled();
                         });
    }
    void TearDown() override { scale().clearFaults(); }

    static SimulatedScale& scale() { return embeddedScale(); }
    template <typename T> T* control(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QStringList boxes() {
        QStringList all;
        for (const char* box : {"txtWeight", "txtUnitPrice", "txtTotalPrice"})
            all << control<QLineEdit>(box)->text();
        return all;
    }

    ManualClock clock{10'000};
    std::unique_ptr<frmMain> window;
    QStringList texts;
    QList<bool> tabsAtTexts;
};

TEST_P(WindowFaults, EndsAsTheRetryRulesSayWithTheTabsBack) {
    const Case& c = GetParam();
    const qint64 start = clock.nowMs();
    // The window reports a lost port in its own words before the transfer ends.
    const QString lostPort = QStringLiteral("lost port faultsim: ") + DroppingLink::kReason;

    if (c.exchange == Exchange::DisplayRead) {
        QTest::mouseClick(control<QPushButton>("cmdVFDUpdate"), Qt::LeftButton);
        const ExpectedDisplay e = expectedDisplay(c.fault);
        EXPECT_EQ(clock.nowMs() - start, e.elapsedMs);
        QStringList shown{"old", "old", "old"};
        if (e.boxes == Boxes::Values)
            shown = QStringList{"1234", "1000", "4660"};
        else if (e.boxes == Boxes::Zeros)
            shown = QStringList{"0", "0", "0"};
        EXPECT_EQ(boxes(), shown);
        EXPECT_EQ(texts, c.fault == Fault::LinkDrop ? QStringList{lostPort} : QStringList());
        EXPECT_TRUE(window->tabs()->isEnabled());
        return;
    }

    Expected e = expectedTransfer(c, kWindowPort);
    if (c.fault == Fault::LinkDrop)
        e.texts.insert(e.texts.size() - 1, lostPort);
    const TableSnapshot before(window->pluTable());
    const char* button = c.exchange == Exchange::PluDownload      ? "cmdPLUDownload"
                         : c.exchange == Exchange::IngredDownload ? "cmdINGREDDownload"
                                                                  : "cmdPLUUpload";
    QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);

    EXPECT_EQ(texts, e.texts);
    EXPECT_EQ(tabsAtTexts, QList<bool>(texts.size(), false)) << "tabs enabled during the transfer";
    EXPECT_TRUE(window->tabs()->isEnabled());
    EXPECT_EQ(clock.nowMs() - start, e.elapsedMs);
    expectScaleHolds(scale(), c, e);
    if (c.exchange == Exchange::PluUpload) {
        EXPECT_EQ(window->sourcePath(),
                  e.tableReplaced ? QStringLiteral("?") : QStringLiteral("/data/shop.plu"));
        if (e.completed) {
            expectUploaded(window->pluTable());
        } else if (!e.tableReplaced) {
            EXPECT_EQ(TableSnapshot(window->pluTable()), before);
        }
    } else {
        EXPECT_EQ(TableSnapshot(window->pluTable()), before);
        EXPECT_EQ(window->sourcePath(), QStringLiteral("/data/shop.plu"));
    }
}

INSTANTIATE_TEST_SUITE_P(Matrix, WindowFaults, ::testing::ValuesIn(matrix()), caseName);

} // namespace
