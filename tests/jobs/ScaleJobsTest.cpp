#include "jobs/ScaleJobs.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>

namespace {

// What happens to one scale's job besides the faults its scale shows.
enum class Twist { None, CancelAfterRow2, PortDiesAfterRow1 };

struct ScaleCase {
    QString faults;
    Twist twist = Twist::None;
    JobState state = JobState::Done;
    QString lastText;
    int stored = 0; // PLUs the scale holds at the end
    int syncs = 0;  // exchanges the scale saw: none after a cancel or a pulled cable
    int retries = 0;
};

struct Case {
    const char* name;
    bool realClock; // the exchanges suspend and interleave; no case here waits for a time-out
    QList<ScaleCase> scales;
    bool verify = false; // every job reads the sent PLUs back
};

const QString kEnd = QStringLiteral(" THE END ");
const QString kCancelled = QStringLiteral("Transfer cancelled");
const QString kPulled = QStringLiteral("Transfer stopped on port sim: cable pulled");

const ScaleCase kFine{{}, Twist::None, JobState::Done, kEnd, 4, 4};
const ScaleCase kRetried{QStringLiteral("ack@12"), Twist::None, JobState::Done, kEnd, 4, 5, 1};
const ScaleCase kCancelledAfter2{{}, Twist::CancelAfterRow2, JobState::Cancelled, kCancelled, 2, 2};
const ScaleCase kPulledAfter1{{}, Twist::PortDiesAfterRow1, JobState::Failed, kPulled, 1, 1};
const ScaleCase kNeverAnswers{QStringLiteral("silence:*"),
                              Twist::None,
                              JobState::Failed,
                              QStringLiteral("Sync error PLU No : 1"),
                              0,
                              6,
                              5};
// Read back: one upload exchange more per PLU.
const ScaleCase kVerified{
    {}, Twist::None, JobState::Done, QStringLiteral("Verify: 4 PLUs match the table"), 4, 8};
const ScaleCase kVerifyCancelled{{}, Twist::CancelAfterRow2, JobState::Cancelled, kCancelled, 2, 2};

const Case kCases[] = {
    {"TwoScales", false, {kFine, kFine}},
    {"FourScalesOneFaultyOneCancelledOneUnplugged",
     false,
     {kFine, kRetried, kCancelledAfter2, kPulledAfter1}},
    {"OneScaleThatNeverAnswersStopsNoOther", false, {kNeverAnswers, kFine}},
    {"FourScalesInterleavedOnTheRealClock", true, {kFine, kCancelledAfter2, kFine, kPulledAfter1}},
    {"VerifiedOnTwoOneCancelled", false, {kVerified, kVerifyCancelled}, true},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class ScaleJobsTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i) {
            const int index = i;
            registerLinkFactory(portOf(i), [this, index](const QString&) {
                auto link = std::make_unique<SimLink>(scales[index],
                                                      GetParam().realClock ? nullptr : &manual);
                links[index] = link.get();
                return std::unique_ptr<Link>(std::move(link));
            });
        }
        for (int n = 1; n <= 4; ++n) {
            PluRecord& record = table.records[n];
            record.PluNo = qint16(10 + n);
            record.ItemCode = 100 + n;
            record.ItemName1 = QStringLiteral("Item %1").arg(n);
            record.UnitPrice = 100 * n;
        }
        table.count = 4;
    }

    static QString portOf(int i) { return QStringLiteral("scale%1").arg(i + 1); }

    // Starts one job per scale of the case and runs them to their ends.
    void runAll(ScaleJobs& jobs, const QList<ScaleCase>& cases) {
        QList<ScaleEntry> entries;
        for (int i = 0; i < cases.size(); ++i) {
            entries.append({QStringLiteral("Counter %1").arg(i + 1), portOf(i)});
            if (!cases[i].faults.isEmpty())
                scales[i].addFaults(*parseFaults(cases[i].faults));
        }
        QObject::connect(&jobs, &ScaleJobs::jobStarted, [&, i = 0](ScaleJob* job) mutable {
            const int index = i++;
            QObject::connect(job, &ScaleJob::progressed, [&, job, index](int done, int) {
                order.append(index);
                if (cases[index].twist == Twist::CancelAfterRow2 && done == 2)
                    job->cancel();
                if (cases[index].twist == Twist::PortDiesAfterRow1 && done == 1)
                    links[index]->breakLink(QStringLiteral("cable pulled"));
            });
        });
        QEventLoop loop;
        QObject::connect(&jobs, &ScaleJobs::allFinished, &loop, &QEventLoop::quit);
        const DownloadPlan plan = planDownload(table, QStringLiteral("/shop.plu"), {});
        DownloadChecks checks;
        checks.verify = GetParam().verify;
        ASSERT_TRUE(jobs.startAll(entries, DownloadWork{plan, checks}));
        if (jobs.running()) {
            QTimer::singleShot(60'000, &loop, &QEventLoop::quit); // a guard, never reached
            loop.exec();
        }
    }

    ManualClock manual;
    RealClock real;
    std::array<SimulatedScale, 4> scales;
    std::array<QPointer<SimLink>, 4> links;
    PluTable table;
    QList<int> order; // which scale reported progress, in the order it came
};

TEST_P(ScaleJobsTest, EachScaleEndsWithItsOwnTextsAndRecordsAndTheOthersAreUnaffected) {
    const Case& c = GetParam();
    ScaleJobs jobs(c.realClock ? static_cast<Clock&>(real) : manual);
    runAll(jobs, c.scales);

    ASSERT_FALSE(jobs.running());
    ASSERT_EQ(jobs.jobs().size(), std::size_t(c.scales.size()));
    for (int i = 0; i < c.scales.size(); ++i) {
        SCOPED_TRACE(i);
        const ScaleCase& expected = c.scales[i];
        const JobResult& outcome = jobs.jobs()[i]->result();
        EXPECT_EQ(outcome.state, expected.state);
        EXPECT_EQ(outcome.lastText, expected.lastText);
        EXPECT_EQ(outcome.retries, expected.retries);
        EXPECT_EQ(outcome.rowsDone, expected.stored);
        EXPECT_EQ(outcome.rowsTotal, 4);
        EXPECT_EQ(scales[i].pluNumbers().size(), expected.stored);
        EXPECT_EQ(scales[i].exchanges(), expected.syncs);
        EXPECT_TRUE(links[i].isNull()); // each job's port ends with the job's exchange
    }
    // On the real clock the scales take turns: the first is still at work when the last
    // reports its first row.
    if (c.realClock) {
        EXPECT_GT(order.lastIndexOf(0), order.indexOf(c.scales.size() - 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleJobsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Jobs dropped while they wait (the window closed) send nothing more, and nothing of them
// runs later.
TEST(ScaleJobsDropped, NothingMoreGoesOutAfterTheirEnd) {
    std::array<SimulatedScale, 2> scales;
    for (int i = 0; i < 2; ++i)
        registerLinkFactory(QStringLiteral("dropped%1").arg(i), [&scales, i](const QString&) {
            return std::unique_ptr<Link>(std::make_unique<SimLink>(scales[i]));
        });
    PluTable table;
    table.records[1].PluNo = 1;
    table.count = 1;
    RealClock clock;
    {
        ScaleJobs jobs(clock);
        ASSERT_TRUE(jobs.startAll({{"A", "dropped0"}, {"B", "dropped1"}},
                                  DownloadWork{planDownload(table, "/shop.plu", {}), {}}));
        EXPECT_TRUE(jobs.running());
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    for (const SimulatedScale& scale : scales) {
        EXPECT_EQ(scale.exchanges(), 1); // the sync went out before the window closed
        EXPECT_TRUE(scale.pluNumbers().isEmpty());
    }
}

} // namespace
