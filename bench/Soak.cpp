// Soak: long runs of the everyday exchanges, watching for failures and for memory that is
// never given back.
//   1. 1000 consecutive PLU downloads of a 10-row table to the in-process simulated scale;
//   2. 1000 consecutive "All PLU" uploads of the 10 records it then holds;
//   3. 200 open/close cycles of a serial port on a pseudo-terminal, each with a sync and its
//      answer through the port.
// All on the real clock, the simulated scale answering at once. For each: failures (must be
// 0) and the resident memory (VmRSS) before and after; the growth must stay under 1 MB. A
// short warm-up run first lets the allocators and Qt's caches settle, so the figures show
// what the runs themselves keep. Exit code 0 when every limit holds, 1 otherwise.
//
// Usage: soak [DOWNLOADS UPLOADS CYCLES]   (defaults 1000 1000 200)

#include "protocol/DownloadEngine.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "protocol/UploadEngine.h"
#include "serial/Clock.h"
#include "serial/SerialLink.h"
#include "serial/Wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kRows = 10;
constexpr qint64 kGrowthLimitKb = 1024;

qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Result {
    const char* what;
    int runs = 0;
    int failures = 0;
    qint64 rssStartKb = 0;
    qint64 rssEndKb = 0;
    double seconds = 0;

    bool passed() const {
        return failures == 0 && rssStartKb > 0 && rssEndKb - rssStartKb < kGrowthLimitKb;
    }
};

void print(const Result& r) {
    std::printf("%-34s runs %5d  failures %d  VmRSS %6lld kB -> %6lld kB (%+lld kB)  %.1f s  %s\n",
                r.what, r.runs, r.failures, static_cast<long long>(r.rssStartKb),
                static_cast<long long>(r.rssEndKb),
                static_cast<long long>(r.rssEndKb - r.rssStartKb), r.seconds,
                r.passed() ? "ok" : "FAILED");
    std::fflush(stdout);
}

void fillTenRows(PluTable& table) {
    table.reset();
    for (int i = 1; i <= kRows; ++i)
        table.records[i] = {qint16(i),
                            1000 + i,
                            QStringLiteral("Item %1").arg(i),
                            QStringLiteral("Line two"),
                            100 * i,
                            7,
                            0,
                            1,
                            0};
    table.count = kRows;
}

// Runs `once` `runs` times after `warmUp` unmeasured runs; `once` returns false on failure.
template <typename Once> Result soak(const char* what, int runs, int warmUp, Once once) {
    for (int i = 0; i < warmUp; ++i)
        once();
    Result r{what, runs};
    QElapsedTimer timer;
    timer.start();
    r.rssStartKb = residentKb();
    for (int i = 0; i < runs; ++i) {
        if (!once())
            ++r.failures;
    }
    r.rssEndKb = residentKb();
    r.seconds = double(timer.elapsed()) / 1000.0;
    return r;
}

// The far end of a pseudo-terminal: answers each sync with 0x77, from the event loop (the
// port sends its bytes from there too). The slave stays open here as well, raw, so the master
// keeps working while the port under test is closed.
class PtyScale {
public:
    PtyScale() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            return;
        termios raw{};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        path_ = QString::fromLocal8Bit(name);
        notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { answer(); });
    }
    ~PtyScale() {
        notifier_.reset();
        if (master_ >= 0)
            ::close(master_);
        if (slave_ >= 0)
            ::close(slave_);
    }
    QString path() const { return path_; }

private:
    void answer() {
        unsigned char bytes[64];
        const ssize_t count = ::read(master_, bytes, sizeof bytes);
        for (ssize_t i = 0; i < count; ++i) {
            const unsigned char reply = 0x77;
            if (bytes[i] == 0xA5 && ::write(master_, &reply, 1) != 1)
                return;
        }
    }

    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int downloads = args.size() > 1 ? args.at(1).toInt() : 1000;
    const int uploads = args.size() > 2 ? args.at(2).toInt() : 1000;
    const int cycles = args.size() > 3 ? args.at(3).toInt() : 200;

    RealClock clock;
    SimulatedScale scale;
    SimLink link(scale);
    async::waitFor(link.open());
    Wire wire(link, clock);
    PluTable source;
    fillTenRows(source);
    const DownloadPlan plan =
        planDownload(source, QStringLiteral("soak.plu"), {DownloadChoice::All, {}, {}, {}});
    if (plan.refused()) {
        std::printf("the soak table is refused: %s\n", qPrintable(plan.refusal));
        return 1;
    }

    const auto download = [&] {
        scale.clearPlus();
        const Ending ending = async::waitFor(runDownload(plan, wire, {}));
        return ending.done() && scale.pluNumbers().size() == kRows;
    };
    const Result downloaded = soak("PLU download, 10 rows", downloads, 20, download);
    print(downloaded);

    // The scale now holds the 10 rows; each upload asks for 1 to 11 and ends at 11.
    auto table = std::make_unique<PluTable>();
    const auto upload = [&] {
        UploadEngine engine(wire, *table, {});
        const UploadResult result = async::waitFor(engine.run({false, QStringLiteral("1")}));
        return result.endedAtMissing && table->count == kRows &&
               table->records[kRows].UnitPrice == 100 * kRows;
    };
    const Result uploaded = soak("PLU upload, All PLU (10 records)", uploads, 20, upload);
    print(uploaded);

    PtyScale pty;
    if (pty.path().isEmpty()) {
        std::printf("no pseudo-terminal available\n");
        return 1;
    }
    SerialLink port(QStringLiteral("soak"), pty.path());
    const auto cycle = [&] {
        if (!async::waitFor(port.open()))
            return false;
        Wire portWire(port, clock);
        const bool ok = portWire.TxByte(0xA5) == WireStatus::Ok &&
                        async::waitFor(portWire.RxByte()).value == 0x77;
        port.close();
        return ok && !port.isOpen();
    };
    const Result cycled = soak("serial port open/close (pty)", cycles, 10, cycle);
    print(cycled);

    return downloaded.passed() && uploaded.passed() && cycled.passed() ? 0 : 1;
}
