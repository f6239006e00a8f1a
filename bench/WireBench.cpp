// Measures the waits on the line with the real clock: how long a receive waits before it
// gives up (never less than its limit), how much CPU the wait costs (an event-driven wait
// costs next to none), and how long a display read takes against the simulated scale at the
// pace of a 9600-baud line.
//
//   wire_bench [--quick]     --quick skips the five-second RxFip time-out

#include "protocol/DisplayRead.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/Wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void measureTimeOut(const char* name, qint64 limitMs, const std::function<WireStatus()>& receive) {
    QElapsedTimer wall;
    const double cpuBefore = cpuMs();
    wall.start();
    const WireStatus status = receive();
    const double waitedMs = double(wall.nsecsElapsed()) / 1e6;
    const double cpu = cpuMs() - cpuBefore;
    std::printf("%-8s time-out: waited %8.2f ms (limit %lld ms, %s), CPU %.2f ms%s\n", name,
                waitedMs, static_cast<long long>(limitMs),
                waitedMs >= double(limitMs) ? "not early" : "EARLY", cpu,
                status == WireStatus::TimedOut ? "" : "  (unexpected status)");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));

    SimulatedScale scale = SimulatedScale::withSamples();
    RealClock clock;
    SimLink link(scale, &clock, 9600);
    async::waitFor(link.open());
    Wire wire(link, clock);

    // Nothing was asked, so nothing comes: each receive runs into its limit.
    for (int i = 0; i < 3; ++i)
        measureTimeOut("RxByte", scale::kStandardScale.limits.byteMs,
                       [&] { return async::waitFor(wire.RxByte()).status; });
    measureTimeOut("RxInt", scale::kStandardScale.limits.byteMs,
                   [&] { return async::waitFor(wire.RxInt()).status; });
    if (!quick) {
        quint32 a = 0, b = 0, c = 0;
        measureTimeOut("RxFip", scale::kStandardScale.limits.displayRecordMs,
                       [&] { return async::waitFor(wire.RxFip(a, b, c)); });
    }

    constexpr int kReads = 20;
    QElapsedTimer wall;
    const double cpuBefore = cpuMs();
    wall.start();
    int shown = 0;
    for (int i = 0; i < kReads; ++i)
        shown += async::waitFor(readDisplay(wire)).ending.done() ? 1 : 0;
    std::printf("display read at 9600 baud (14 bytes on the line): %.2f ms each over %d reads, "
                "%d shown, CPU %.2f ms in all\n",
                double(wall.nsecsElapsed()) / 1e6 / kReads, kReads, shown, cpuMs() - cpuBefore);
    return 0;
}
