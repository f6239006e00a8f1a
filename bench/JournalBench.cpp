// The send journal at the size of a busy year: 1,000,000 row entries (four scales, a 600-row
// PLU download each about every 21 hours). How long a row costs to record, how long `holds`
// and `lowest` take to answer, in process and as `scalectl journal`, and how long verify
// takes over it all.
//
//   journal_bench [DIR [SCALECTL]]
// DIR keeps journal-1m.sqlite between runs (made on the first, through addRow as a transfer
// records); without DIR a temporary folder is used.

#include "journal/FieldsJson.h"
#include "journal/Journal.h"
#include "journal/SentRowsFormat.h"
#include "tables/Records.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <sys/resource.h>

namespace {

constexpr int kRows = 600;
constexpr int kRuns = 1667; // 1,000,200 rows
const QStringList kScales{"Deli", "Meat counter", "Bakery", "Cheese"};

journal::RowEntry row(int number, int run) {
    PluRecord record;
    record.PluNo = qint16(number);
    record.ItemCode = 100000 + number;
    record.ItemName1 = QStringLiteral("Item name %1 with a longer text").arg(number);
    record.ItemName2 = QStringLiteral("Second line %1").arg(number);
    record.UnitPrice = 150 + number + (run * 7 + number) % 90; // prices move from run to run
    journal::RowEntry entry;
    entry.number = number;
    entry.record = QByteArray(72, char('A' + run % 26)); // as long as the wire record
    entry.fields = journal::fieldsOf(record);
    entry.accepted = true;
    return entry;
}

journal::RunStart runStart(int run) {
    return {"download",
            "PLU",
            kScales[run % kScales.size()],
            QStringLiteral("tcp://10.0.0.%1:4001").arg(run % kScales.size() + 1),
            "all",
            "/srv/shop/prices.plu",
            journal::sha256Hex(QByteArray::number(run))};
}

// Milliseconds per row of each 600-row run written.
std::vector<double> writeRuns(journal::Journal& journal, int first, int count) {
    std::vector<double> perRow;
    for (int run = first; run < first + count; ++run) {
        QElapsedTimer timer;
        timer.start();
        qint64 id = 0;
        QString error = journal.beginRun(runStart(run), &id);
        for (int n = 1; error.isEmpty() && n <= kRows; ++n)
            error = journal.addRow(id, row(n, run));
        if (error.isEmpty())
            error = journal.endRun(id, "done", " THE END ");
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::exit(1);
        }
        perRow.push_back(double(timer.nsecsElapsed()) / 1e6 / kRows);
    }
    return perRow;
}

struct Figures {
    double median;
    double worst;
    double cpu = -1; // median CPU milliseconds (this process's, or its children's)
};

Figures figures(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

// CPU milliseconds used so far by this process, or by its children that have ended.
double cpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Wall milliseconds of `times` runs of `work`, and the median CPU time of `who`
// (RUSAGE_SELF, or RUSAGE_CHILDREN for work that runs a program).
Figures timed(int times, const std::function<void()>& work, int who = RUSAGE_SELF) {
    std::vector<double> ms;
    std::vector<double> cpu;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer timer;
        const double cpuBefore = cpuMs(who);
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs(who) - cpuBefore);
    }
    Figures result = figures(ms);
    result.cpu = figures(cpu).median;
    return result;
}

void print(const char* what, const Figures& f) {
    std::printf("  %-58s wall median %8.1f ms  worst %8.1f ms", what, f.median, f.worst);
    if (f.cpu >= 0)
        std::printf("  CPU median %7.1f ms", f.cpu);
    std::printf("\n");
    std::fflush(stdout);
}

void printPerRow(const char* what, const Figures& f) {
    std::printf("  %-58s per row median %.3f ms  worst run %.3f ms\n", what, f.median, f.worst);
    std::fflush(stdout);
}

std::unique_ptr<journal::Journal> open(const QString& path, QDateTime* now) {
    QString error;
    std::unique_ptr<journal::Journal> journal = journal::Journal::open(path, &error);
    if (!journal) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    journal->setClock([now] { return *now = now->addMSecs(130); }); // a row every 130 ms
    return journal;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QString scalectl =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(SCALECTL_PATH);
    const QString big = QDir(dir).filePath(QStringLiteral("journal-1m.sqlite"));
    // The year ends now, so that `lowest --days 30` finds the last month's sends.
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-365);
    QDateTime now = start;

    std::printf("Recording (a fresh journal, then the journal of a year):\n");
    {
        const QString fresh = QDir(dir).filePath(QStringLiteral("journal-fresh.sqlite"));
        QFile::remove(fresh);
        printPerRow("addRow, five 600-row runs, fresh journal",
                    figures(writeRuns(*open(fresh, &now), 0, 5)));
    }
    if (!QFileInfo::exists(big)) {
        QElapsedTimer timer;
        timer.start();
        const std::unique_ptr<journal::Journal> journal = open(big, &now);
        for (int run = 0; run < kRuns; ++run) {
            writeRuns(*journal, run, 1);
            now = start.addSecs(qint64(run + 1) * 365 * 86400 / kRuns);
        }
        std::printf("  made %s: %d rows through addRow in %.1f s\n", qPrintable(big), kRuns * kRows,
                    double(timer.elapsed()) / 1000);
    }
    now = QDateTime::currentDateTimeUtc();
    printPerRow("addRow, three 600-row runs onto 1,000,000 rows",
                figures(writeRuns(*open(big, &now), kRuns, 3)));

    std::printf("Questions over 1,000,000 row entries:\n");
    QString error;
    const std::unique_ptr<journal::Journal> journal =
        journal::Journal::open(big, &error, journal::Journal::Access::ReadOnly);
    QMap<int, journal::HeldRecord> held;
    print("holds Deli PLU (in process)", timed(20, [&] { journal->holds("Deli", "PLU", &held); }));
    std::printf("    (%lld numbers held)\n", qlonglong(held.size()));
    const QDateTime until = QDateTime::currentDateTimeUtc();
    std::optional<journal::LowestPrice> lowest;
    print("lowest PLU 300 on Deli, 30 days (in process)", timed(20, [&] {
              journal->lowestUnitPrice(300, "Deli", until.addDays(-30), until, &lowest);
          }));
    print("lowest PLU 300 on any scale, 30 days (in process)", timed(20, [&] {
              journal->lowestUnitPrice(300, QString(), until.addDays(-30), until, &lowest);
          }));
    std::printf("    (lowest %d)\n", lowest ? lowest->unitPrice : -1);

    // What View > "Send history" reads when it opens: the scales, the newest rows as cells.
    print("Send history unfiltered: the newest 10001 rows as cells", timed(5, [&] {
              QStringList scales;
              journal->scales(&scales);
              journal::RowFilter newest;
              newest.newestFirst = true;
              newest.limit = 10001;
              journal->sentRows(newest, [](const journal::RowRecord& row) {
                  return !journal::sentRowCells(row).isEmpty();
              });
          }));

    const auto command = [&](const QStringList& args) {
        return timed(
            5,
            [&] {
                QProcess process;
                process.start(scalectl, args + QStringList{"--journal", big});
                process.waitForFinished(60'000);
                if (process.exitCode() != 0)
                    std::fprintf(stderr, "%s", process.readAllStandardError().constData());
            },
            RUSAGE_CHILDREN);
    };
    print("scalectl journal holds --scale Deli (the whole command)",
          command({"journal", "holds", "--scale", "Deli"}));
    print("scalectl journal lowest --plu 300 --days 30 (the whole command)",
          command({"journal", "lowest", "--plu", "300", "--days", "30"}));
    print("scalectl journal --help (starting the program alone)", command({"journal", "--help"}));

    journal::VerifyReport report;
    print("verify, every entry", timed(1, [&] { journal->verify(&report); }));
    std::printf("    (%s)\n", qPrintable(report.text));
    return report.intact ? 0 : 1;
}
