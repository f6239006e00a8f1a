// A 600-row PLU download, measured three ways:
//   1. in-process: the engine against the simulated scale behind the sim link, real clock;
//   2. `scalectl download` to `scalectl simulate --pty` answering at once;
//   3. the same with the simulator answering at the pace of a 9600-baud line;
// and, to tell where the PC's time goes, the close and reopen of the serial port after each
// row alone (600 times on the simulator's pseudo-terminal, in-process).
// For each: wall time, CPU time of the PC side (the download process from wait4, less the
// CPU of a run that sends no row, i.e. start-up and reading the file) and what that is per
// row beside the 84.4 ms a row takes on a 9600-baud line (81 bytes of 10 bits).
//
// Usage: download_bench [SCALECTL]   (default: the scalectl of this build)

#include "BenchPluFile.h"
#include "PtySimulator.h"
#include "files/TableFileCommands.h"
#include "protocol/DownloadEngine.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"
#include "serial/Wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

constexpr int kRows = 600;
constexpr int kBytesPerRow = 1 + 1 + 2 + 72 + 5; // PC: sync, command, number, record; scale: 5
constexpr int kReplyBytesPerRow = 5;             // 0x77, 0x01, the echo (2), 0x10
constexpr double kByteMs9600 = 10.0 * 1000.0 / 9600.0;
constexpr double kLineMsPerRow = kBytesPerRow * kByteMs9600;

struct Measure {
    double wallS = 0;
    double cpuS = 0; // user + system of the PC side
    bool ok = false;
};

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double cpuOf(const rusage& usage) {
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Measure inProcess() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.plu"));
    const std::unique_ptr<PluTable> table = openBenchPluFile(path, kRows);
    if (!table)
        return {};

    SimulatedScale scale;
    SimLink link(scale);
    RealClock clock;
    Wire wire(link, clock);
    async::waitFor(link.open());
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    const DownloadPlan plan = planDownload(*table, path, {});
    const Ending ending = async::waitFor(runDownload(plan, wire, {}));
    Measure m;
    m.wallS = double(timer.nsecsElapsed()) / 1e9;
    getrusage(RUSAGE_SELF, &after);
    m.cpuS = cpuOf(after) - cpuOf(before);
    m.ok = ending.done() && scale.pluNumbers().size() == kRows;
    return m;
}

// One `scalectl download plu FILE --port PORT --range RANGE` run.
Measure runDownloadCommand(const std::string& scalectl, const std::string& file,
                           const std::string& port, const std::string& range) {
    Measure m;
    QElapsedTimer timer;
    timer.start();
    const pid_t download = spawnProcess(
        {scalectl, "download", "plu", file, "--port", port, "--range", range}, nullptr);
    int status = 0;
    rusage usage{};
    if (download > 0 && wait4(download, &status, 0, &usage) == download) {
        m.wallS = double(timer.nsecsElapsed()) / 1e9;
        m.cpuS = cpuOf(usage);
        m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return m;
}

Measure throughPty(const std::string& scalectl, const std::string& file, int baud) {
    const PtySimulator simulator(scalectl, baud);
    if (simulator.port().empty())
        return {};
    const Measure idle = runDownloadCommand(scalectl, file, simulator.port(), "2-1");
    Measure m = runDownloadCommand(scalectl, file, simulator.port(), "1-" + std::to_string(kRows));
    m.cpuS -= idle.cpuS;
    m.ok = m.ok && idle.ok;
    return m;
}

Measure reopenOnly(const std::string& scalectl) {
    const PtySimulator simulator(scalectl, 0);
    const std::unique_ptr<Link> link = createLink(QString::fromStdString(simulator.port()));
    if (simulator.port().empty() || !async::waitFor(link->open()))
        return {};
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    Measure m;
    m.ok = true;
    for (int i = 0; i < kRows && m.ok; ++i) {
        link->close();
        m.ok = async::waitFor(link->open());
    }
    m.wallS = double(timer.nsecsElapsed()) / 1e9;
    getrusage(RUSAGE_SELF, &after);
    m.cpuS = cpuOf(after) - cpuOf(before);
    return m;
}

void report(const char* name, const Measure& m) {
    if (!m.ok) {
        std::printf("%-40s FAILED\n", name);
        return;
    }
    const double wallRowMs = m.wallS * 1000.0 / kRows;
    const double cpuRowMs = m.cpuS * 1000.0 / kRows;
    std::printf("%-40s %8.3f %10.3f %9.3f %10.3f %9.2f %%  %7.2f %%\n", name, m.wallS, wallRowMs,
                m.cpuS, cpuRowMs, 100.0 * cpuRowMs / kLineMsPerRow, 100.0 * m.cpuS / m.wallS);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    endSimulatorsOnSignals();
    const std::string scalectl = argc > 1 ? argv[1] : SCALECTL_PATH;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.plu"));
    if (!writeBenchPluFile(path, kRows)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    std::printf("%d-row PLU download; a row is %d bytes on the line: %.1f ms at 9600 baud\n", kRows,
                kBytesPerRow, kLineMsPerRow);
    std::printf("%-40s %8s %10s %9s %10s %11s %9s\n", "", "wall s", "wall/row", "PC CPU s",
                "CPU/row ms", "CPU/line", "CPU/wall");
    report("in-process, sim link, instant", inProcess());
    report("serial port close + open only", reopenOnly(scalectl));
    report("scalectl -> simulate --pty, instant", throughPty(scalectl, path.toStdString(), 0));
    const Measure paced = throughPty(scalectl, path.toStdString(), 9600);
    report("scalectl -> simulate --pty --baud 9600", paced);

    const double replyFloorS = kRows * kReplyBytesPerRow * kByteMs9600 / 1000.0;
    const double lineFloorS = kRows * kLineMsPerRow / 1000.0;
    std::printf("\nfloors at 9600 baud: the scale's replies alone %.3f s (what --baud paces), "
                "the whole line %.3f s\n",
                replyFloorS, lineFloorS);
    if (paced.ok)
        std::printf("paced run: %.3f s above the replies' floor, %.3f ms a row\n",
                    paced.wallS - replyFloorS, (paced.wallS - replyFloorS) * 1000.0 / kRows);
    return 0;
}
