// The HTTP interface on the tests' fake of the program behind it (no scale is sent to):
//  - POST /v1/plu with 600 rows, as JSON and as a .csv body, one after another on one
//    connection: the time from the request's first byte to the answer's last;
//  - GET /v1/jobs/{id} 1000 times over 10 connections at once: the wall time of all.
// Each request goes through the whole server: the library's reader, the routes, the body's
// checks and the queued call to the Qt thread, which runs this program's event loop.
#include "FakeSendService.h"
#include "HttpBenchRequests.h"
#include "http/ApiServer.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string pluCsv(int rows) {
    std::string csv = "PLU No,Item Code,Item Name1,Item Name2,U/Price,Valid Date,Tare,G Code,"
                      "Message No\r\n";
    for (int i = 1; i <= rows; ++i)
        csv += std::to_string(i) + "," + std::to_string(100000 + i) + ",Item " + std::to_string(i) +
               " first line,second line," + std::to_string(199 + i) + ",7,15,2," +
               std::to_string(i % 200) + "\r\n";
    return csv;
}

void timeSends(int port, const std::string& body, const char* type, const char* what) {
    httplib::Client client = benchClient(port);
    std::vector<double> ms;
    std::clock_t cpuStart = 0;
    for (int i = 0; i < 51; ++i) {
        if (i == 1)
            cpuStart = std::clock();
        const auto start = Clock::now();
        const auto answer = client.Post("/v1/plu", body, type);
        const double took = msSince(start);
        if (!answer || answer->status != 202) {
            std::printf("%s: the send was not accepted\n", what);
            return;
        }
        if (i > 0) // the first pays for the connection
            ms.push_back(took);
    }
    // Client and server are this one process: the CPU of both, a send.
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC / 50;
    std::sort(ms.begin(), ms.end());
    std::printf("POST /v1/plu, 600 rows, %-5s %6zu bytes: median %6.2f ms, max %6.2f ms, "
                "CPU %5.2f ms a send (50 sends)  %s\n",
                what, body.size(), ms[ms.size() / 2], ms.back(), cpuMs,
                ms.back() < 50 ? "< 50 ms" : "SLOW");
}

void timePolls(int port, const std::string& path) {
    constexpr int kClients = 10, kEach = 100;
    std::vector<std::thread> clients;
    std::atomic<int> failed = 0;
    const auto start = Clock::now();
    for (int c = 0; c < kClients; ++c)
        clients.emplace_back([&] {
            httplib::Client client = benchClient(port);
            for (int i = 0; i < kEach; ++i) {
                const auto answer = client.Get(path.c_str());
                if (!answer || answer->status != 200)
                    ++failed;
            }
        });
    for (std::thread& client : clients)
        client.join();
    const double took = msSince(start);
    std::printf("GET %s x %d over %d connections: %.0f ms, %d failed  %s\n", path.c_str(),
                kClients * kEach, kClients, took, failed.load(), took < 2000 ? "< 2 s" : "SLOW");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    FakeSendService service(
        {{"Meat", "COM1"}, {"Deli", "COM2"}, {"Fish", "COM3"}, {"Bakery", "COM4"}});
    ApiServer server(service, ServerSettings());
    if (const QString error = server.listen(); !error.isEmpty()) {
        std::printf("cannot listen: %s\n", qPrintable(error));
        return 1;
    }
    const int port = server.port();
    std::thread client([port] {
        timeSends(port, pluJson(600), "application/json", "JSON");
        timeSends(port, pluCsv(600), "text/csv", "CSV");
        timePolls(port, "/v1/jobs/job-1");
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    client.join();
    server.stop();
    return 0;
}
