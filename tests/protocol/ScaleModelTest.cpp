// A scale model other than the standard one: the engines, the wire records and the
// simulated scale must all follow the model they are given, never a size or time of the
// standard scale.

#include "protocol/DisplayRead.h"
#include "protocol/DownloadEngine.h"
#include "protocol/FaultSpec.h"
#include "protocol/PluWireRecord.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "protocol/UploadEngine.h"
#include "serial/Clock.h"
#include "serial/Wire.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Names two characters wider, so every field after them moves; fewer PLUs; shorter limits,
// other retry counts and pauses.
constexpr scale::ScaleModel kWideScale = [] {
    scale::ScaleModel model;
    model.pluCapacity = 3;
    model.pluRecord = {0, 4, 34, 64, 68, 70, 72, 74, 30};
    model.pluRecordSize = 76;
    model.uploadReplySize = 81;
    model.limits = {250, 1500, 900};
    model.retries = {1, 700, 2, 300, 400};
    return model;
}();
static_assert(scale::consistent(kWideScale));

struct ScaleModelTest : ::testing::Test {
    SimulatedScale scale{kWideScale};
    ManualClock clock;
    SimLink link{scale, &clock};
    Wire wire{link, clock, nullptr, kWideScale};
    std::unique_ptr<PluTable> table = std::make_unique<PluTable>();
    QStringList texts;
    StatusSink status = [this](const QString& text) { texts.append(text); };

    void SetUp() override {
        table->reset();
        ASSERT_TRUE(async::waitFor(link.open()));
    }
    UploadResult uploadAll() {
        UploadEngine engine(wire, *table, status);
        return async::waitFor(engine.run({}));
    }
};

PluRecord sample(int n) {
    return {qint16(n),
            1000 + n,
            QStringLiteral("Item %1").arg(n),
            QStringLiteral("Two"),
            100 * n,
            qint16(n),
            qint16(2 * n),
            qint16(3 * n),
            qint16(4 * n)};
}

TEST_F(ScaleModelTest, RecordsTravelInTheModelsLayoutAndCapacity) {
    for (int n = 1; n <= 4; ++n)
        table->records[n] = sample(n);
    table->count = 4;
    const DownloadPlan plan = planDownload(*table, QStringLiteral("/shop.plu"),
                                           {DownloadChoice::All, {}, {}, {}}, kWideScale);
    ASSERT_EQ(async::waitFor(runDownload(plan, wire, status)).outcome, Outcome::Done)
        << texts.join('|').toStdString();

    // Each field where the model puts it.
    const QByteArray second = scale.pluRecord(2).value_or(QByteArray());
    ASSERT_EQ(second.size(), 76);
    EXPECT_EQ(second.mid(34, 30),
              plu_wire::nameField(QStringLiteral("Two"), kWideScale).toLatin1());
    EXPECT_EQ(bigEndianValue(second, 64, 4), 200u);
    EXPECT_EQ(bigEndianValue(second, 74, 2), 8u);

    // The upload asks for PLU 1 to 3 only (PLU 4 is held but beyond the capacity) and reads
    // the records back whole.
    table->reset();
    const UploadResult result = uploadAll();
    EXPECT_EQ(result.ending.outcome, Outcome::Done);
    EXPECT_EQ(table->count, 3);
    PluRecord expected = sample(3);
    expected.ItemName1 = plu_wire::nameField(expected.ItemName1, kWideScale);
    expected.ItemName2 = plu_wire::nameField(expected.ItemName2, kWideScale);
    EXPECT_EQ(table->records[3].ItemName1, expected.ItemName1);
    EXPECT_EQ(table->records[3].ItemName2, expected.ItemName2);
    EXPECT_EQ(table->records[3].UnitPrice, expected.UnitPrice);
    EXPECT_EQ(table->records[3].MessageNo, expected.MessageNo);
}

TEST_F(ScaleModelTest, RetriesPausesAndLimitsAreTheModels) {
    struct Case {
        const char* faults;
        std::function<void(ScaleModelTest&)> run;
        QStringList texts;
        qint64 waitedMs;
    };
    const auto upload = [](ScaleModelTest& t) { t.uploadAll(); };
    const auto download = [](ScaleModelTest& t) {
        t.table->records[1] = sample(1);
        t.table->count = 1;
        async::waitFor(runDownload(planDownload(*t.table, QStringLiteral("/shop.plu"),
                                                {DownloadChoice::All, {}, {}, {}}, kWideScale),
                                   t.wire, t.status));
    };
    const auto display = [](ScaleModelTest& t) { async::waitFor(readDisplay(t.wire)); };
    const Case cases[] = {
        // Three silent syncs: the byte limit each, the sync pause twice.
        {"silence:*",
         upload,
         {"Sync error", "Retry #1", "Sync error", "Retry #2", "Sync error"},
         3 * 250 + 2 * 300},
        // Three unanswered numbers: the reply limit each, no pause.
        {"silence@1:*",
         upload,
         {"Receive PLU time out", "Retry #1", "Receive PLU time out", "Retry #2",
          "Receive PLU time out"},
         3 * 900},
        // One retry only, after the download pause.
        {"silence:*",
         download,
         {"Sync error PLU No : 1", "Retry #1", "Sync error PLU No : 1"},
         2 * 250 + 700},
        // A display record one byte short: the display limit.
        {"short", display, {}, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        scale.clearFaults();
        scale.addFaults(*parseFaults(QString::fromLatin1(c.faults)));
        texts.clear();
        const qint64 before = clock.waitedMs();
        c.run(*this);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(clock.waitedMs() - before, c.waitedMs);
    }
}

} // namespace
