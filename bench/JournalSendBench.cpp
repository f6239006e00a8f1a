// What the send journal costs a download, and what --changed saves:
//   1. a 600-row PLU download by the job to the instant simulated scale ("sim"), in-process,
//      with the journal off and on: wall time per row, best of five;
//   2. `scalectl download --changed` with 5 of 600 rows changed, to `scalectl simulate --pty
//      --baud 9600`, then every row for comparison: wall time of the whole command. The
//      journal is primed by an instant send of all 600 rows under the same scale name, so the
//      paced line carries only the rows that changed.
//
// Usage: journal_send_bench [SCALECTL]   (default: the scalectl of this build)

#include "BenchPluFile.h"
#include "PtySimulator.h"
#include "files/TableFileCommands.h"
#include "jobs/ScaleJob.h"
#include "protocol/SimLink.h"
#include "serial/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>

namespace {

constexpr int kRows = 600;
constexpr int kRuns = 5;

// One download of `plan` by a job on the instant simulated scale; its wall time in seconds,
// or a negative number when it did not end done.
double jobDownload(const DownloadPlan& plan, const QString& journal) {
    RealClock clock;
    ScaleJob job(ScaleEntry{QStringLiteral("Bench"), QStringLiteral("sim")},
                 DownloadWork{plan, {}, false}, clock);
    if (!journal.isEmpty())
        job.setJournal(journal, RunFacts{});
    QEventLoop loop;
    QObject::connect(&job, &ScaleJob::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    job.start();
    if (!job.result().ended())
        loop.exec();
    const double wall = double(timer.nsecsElapsed()) / 1e9;
    return job.result().ending.done() && job.result().rowsDone == kRows ? wall : -1;
}

// The best of kRuns downloads, in ms per row; negative when one failed.
double bestMsPerRow(const DownloadPlan& plan, const QString& journal) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const double wall = jobDownload(plan, journal);
        if (wall < 0)
            return -1;
        best = std::min(best, wall);
    }
    return best * 1000.0 / kRows;
}

int runCommand(const std::vector<std::string>& args) {
    const pid_t pid = spawnProcess(args, nullptr);
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The bench file with five rows' unit prices (the fifth field) raised: a "9" in front.
QByteArray withFivePricesChanged(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    for (int row : {2, 99, 250, 421, 600}) {
        QList<QByteArray> fields = lines[row - 1].split(',');
        fields[4] = '9' + fields[4];
        lines[row - 1] = fields.join(',');
    }
    return lines.join('\n');
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    endSimulatorsOnSignals();
    registerSimulatedScaleLink();
    const std::string scalectl = argc > 1 ? argv[1] : SCALECTL_PATH;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.plu"));
    const std::unique_ptr<PluTable> table = openBenchPluFile(path, kRows);
    if (!table) {
        std::fprintf(stderr, "cannot write the bench file\n");
        return 1;
    }
    const DownloadPlan plan = planDownload(*table, path, {});

    const double off = bestMsPerRow(plan, QString());
    const double on = bestMsPerRow(plan, dir.filePath(QStringLiteral("job.sqlite")));
    std::printf("600-row download by the job to the instant simulator, best of %d:\n", kRuns);
    std::printf("  journal off  %.3f ms/row\n  journal on   %.3f ms/row  (+%.3f ms/row)\n", off, on,
                on - off);

    // --changed over a paced line.
    const PtySimulator scale(scalectl, 9600);
    if (scale.port().empty()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    const std::string journal = dir.filePath(QStringLiteral("changed.sqlite")).toStdString();
    const QString instantList = dir.filePath(QStringLiteral("instant.scales"));
    const QString pacedList = dir.filePath(QStringLiteral("paced.scales"));
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly) || !writeText(instantList, "Deli = sim\n") ||
        !writeText(pacedList, QByteArray("Deli = ") + scale.port().c_str() + '\n'))
        return 1;
    const QByteArray original = source.readAll();
    if (runCommand({scalectl, "download", "plu", path.toStdString(), "--scales",
                    instantList.toStdString(), "--journal", journal}) != 0 ||
        !writeText(path, withFivePricesChanged(original))) {
        std::fprintf(stderr, "cannot prime the journal\n");
        return 1;
    }
    // The simulator paces its answers only; the PC's bytes cross the pseudo-terminal at once.
    // What they take on a real line is added as computed: 76 bytes a row of 10 bits each.
    const double pcBytesS = 76 * 10.0 / 9600.0;
    std::printf("scalectl download to simulate --pty --baud 9600, journal on:\n");
    int failed = 0;
    for (const bool changedOnly : {true, false}) {
        std::vector<std::string> args{scalectl,           "download", "plu",
                                      path.toStdString(), "--scales", pacedList.toStdString(),
                                      "--journal",        journal};
        if (changedOnly)
            args.push_back("--changed");
        QElapsedTimer timer;
        timer.start();
        const int exit = runCommand(args);
        const double wall = double(timer.nsecsElapsed()) / 1e9;
        const int rows = changedOnly ? 5 : kRows;
        std::printf("  %-34s %3d rows  %6.2f s measured, %6.2f s with the PC's bytes paced "
                    "(exit %d)\n",
                    changedOnly ? "--changed, 5 of 600 rows changed" : "every row", rows, wall,
                    wall + rows * pcBytesS, exit);
        failed += exit != 0;
    }
    return off < 0 || on < 0 || failed ? 1 : 0;
}
