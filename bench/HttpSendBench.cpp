// The HTTP interface in front of the real jobs: a 600-row PLU send to 4 simulated scales
// paced as 9600-baud lines, first with the job watched every 20 ms, then also with a batch of
// 1000 GET /v1/jobs/{id} over 10 connections every 2 s for as long as it runs (500 polls a
// second). Prints the send's time per row both ways, how much the polls changed it, and the
// time each batch of 1000 polls took.
#include "HttpBenchRequests.h"
#include "http/ApiServer.h"
#include "http/JobSendService.h"
#include "journal/Journal.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
constexpr int kRows = 600;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

bool running(httplib::Client& c, const std::string& job) {
    const auto answer = c.Get(("/v1/jobs/" + job).c_str());
    return answer && answer->body.find("\"state\":\"running\"") != std::string::npos;
}

// Sends the rows and watches the job every 20 ms until it has ended, while `load` runs in a
// thread of its own until told to stop. The send's wall time.
template <typename Load> double timeSend(int port, const std::string& body, Load load) {
    auto c = benchClient(port);
    const auto start = Steady::now();
    const auto answer = c.Post("/v1/plu", body, "application/json");
    if (!answer || answer->status != 202) {
        std::printf("the send was not accepted\n");
        return 0;
    }
    const std::string job = QJsonDocument::fromJson(QByteArray::fromStdString(answer->body))
                                .object()
                                .value("job")
                                .toString()
                                .toStdString();
    std::atomic<bool> ended = false;
    std::thread loading([&] { load(job, ended); });
    while (running(c, job))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double took = msSince(start);
    ended = true;
    loading.join();
    return took;
}

// 1000 polls over 10 connections at once; their wall time.
double pollBatch(int port, const std::string& job, std::atomic<int>& failed) {
    std::vector<std::thread> clients;
    const auto start = Steady::now();
    for (int i = 0; i < 10; ++i)
        clients.emplace_back([&] {
            auto c = benchClient(port);
            for (int n = 0; n < 100; ++n) {
                const auto answer = c.Get(("/v1/jobs/" + job).c_str());
                if (!answer || answer->status != 200)
                    ++failed;
            }
        });
    for (std::thread& t : clients)
        t.join();
    return msSince(start);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::array<SimulatedScale, 4> scales;
    QList<ScaleEntry> list;
    for (int i = 0; i < 4; ++i) {
        const QString port = QStringLiteral("bench-scale%1").arg(i + 1);
        registerLinkFactory(port, [&scales, i](const QString&) {
            return std::make_unique<SimLink>(scales[i], nullptr, 9600);
        });
        list.append({QStringLiteral("Scale %1").arg(i + 1), port});
    }
    RealClock clock;
    QTemporaryDir dir; // the jobs record in a journal of the bench's own, as serve's do
    QString error;
    auto journal = journal::Journal::open(dir.filePath(QStringLiteral("journal.sqlite")), &error);
    if (!journal) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    JobSendService service(list, clock, std::move(journal));
    ApiServer server(service, ServerSettings());
    if (const QString error = server.listen(); !error.isEmpty()) {
        std::printf("cannot listen: %s\n", qPrintable(error));
        return 1;
    }
    const int port = server.port();
    std::thread bench([port] {
        const std::string body = pluJson(kRows);
        const double quiet = timeSend(port, body, [](const std::string&, std::atomic<bool>&) {});
        std::vector<double> batches;
        std::atomic<int> failed = 0;
        const double busy =
            timeSend(port, body, [&](const std::string& job, std::atomic<bool>& ended) {
                while (!ended) {
                    const auto next = Steady::now() + std::chrono::seconds(2);
                    batches.push_back(pollBatch(port, job, failed));
                    while (!ended && Steady::now() < next)
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
            });
        const double quietRow = quiet / kRows, busyRow = busy / kRows;
        const double change = 100.0 * (busyRow - quietRow) / quietRow;
        std::sort(batches.begin(), batches.end());
        std::printf("600 rows to 4 paced scales, watched every 20 ms: %7.1f ms, %.2f ms a row\n",
                    quiet, quietRow);
        std::printf("the same under 1000 polls over 10 connections every 2 s: %7.1f ms, "
                    "%.2f ms a row (%+.2f %%)  %s\n",
                    busy, busyRow, change, change < 2 ? "< 2 %" : "SLOW");
        if (!batches.empty())
            std::printf("%zu batches of 1000 polls: median %.0f ms, max %.0f ms, %d failed  %s\n",
                        batches.size(), batches[batches.size() / 2], batches.back(), failed.load(),
                        batches.back() < 2000 ? "< 2 s" : "SLOW");
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    bench.join();
    server.stop();
    return 0;
}
