// The hot folder on the real clock and the real event loop: how soon a file renamed into the
// inbox is taken, how soon one written in place is, how long 100 files dropped at once take
// (each exactly once, in name order), and a 600-row export read through a column map.
//
//   hotfolder_bench [renames]   (default 20 renames, one after another)

#include "columnmap/MappedImport.h"
#include "hotfolder/HotFolder.h"
#include "serial/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs the event loop until `done` holds or `limitMs` have passed; false on the limit.
template <typename Done> bool runUntil(Done done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[size_t(share * double(values.size() - 1))];
}

QByteArray erpExport(int rows) {
    QByteArray bytes = "Artikelexport;;;;\r\nArt.-Nr.;EAN;Bezeichnung;VK-Preis;Tara kg\r\n";
    for (int r = 1; r <= rows; ++r)
        bytes += QByteArray::number(r) + ';' + QByteArray::number(400000 + r) + ";K\xe4se " +
                 QByteArray::number(r) + ';' + QByteArray::number(r % 50) + ',' +
                 QByteArray::number(r % 100) + ";0," + QByteArray::number(r % 1000) + "\r\n";
    return bytes;
}

const QByteArray kErpMap = R"({"table": "plu", "encoding": "windows-1252",
    "decimalSeparator": ",", "skipRows": 1,
    "fields": {"PluNo": "Art.-Nr.", "ItemCode": "EAN", "ItemName1": "Bezeichnung",
               "ItemName2": {"default": ""}, "UnitPrice": {"column": "VK-Preis", "factor": 100},
               "ValidDate": {"default": 0}, "Tare": {"column": "Tara kg", "factor": 1000},
               "GCode": {"default": 0}, "MessageNo": {"default": 0}}})";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int renames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir root;
    const QString inbox = root.filePath(QStringLiteral("inbox"));
    const QString staging = root.filePath(QStringLiteral("staging"));
    QDir().mkpath(inbox);
    QDir().mkpath(staging);

    RealClock clock;
    HotFolder folder({inbox, {}, {}}, clock);
    QStringList taken;
    QElapsedTimer since;
    double tookMs = -1;
    QObject::connect(&folder, &HotFolder::fileReady, [&](const InboxFile& file) {
        tookMs = double(since.nsecsElapsed()) / 1e6;
        taken.append(file.name);
        // The send is the job's; here the file is done as soon as the event loop is back.
        QTimer::singleShot(0, &folder, [&folder] {
            ScaleFileResult scale;
            scale.report.scale = {QStringLiteral("Meat"), QStringLiteral("sim")};
            scale.report.result.state = JobState::Done;
            FileResult result;
            result.scales.append(scale);
            folder.finish(result);
        });
    });
    const QString problem = folder.start();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    bool ok = true;

    std::vector<double> renameMs;
    for (int i = 0; i < renames; ++i) {
        const QString name = QStringLiteral("renamed-%1.csv").arg(i, 3, 10, QLatin1Char('0'));
        writeFile(QDir(staging).filePath(name), erpExport(600));
        tookMs = -1;
        since.start();
        QFile::rename(QDir(staging).filePath(name), QDir(inbox).filePath(name));
        ok &= runUntil([&] { return tookMs >= 0 && !folder.current(); }, 10'000);
        renameMs.push_back(tookMs);
    }
    std::printf("renamed in, rename to fileReady      %3d files  median %7.2f ms  max %7.2f ms\n",
                renames, percentile(renameMs, 0.5), percentile(renameMs, 1.0));

    std::vector<double> inPlaceMs;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("in-place-%1.csv").arg(i);
        tookMs = -1;
        since.start();
        writeFile(QDir(inbox).filePath(name), erpExport(600)); // closed when written
        ok &= runUntil([&] { return tookMs >= 0 && !folder.current(); }, 20'000);
        inPlaceMs.push_back(tookMs);
    }
    std::printf("written in place, close to fileReady %3d files  median %7.2f ms  max %7.2f ms"
                "  (quiet period %lld ms)\n",
                3, percentile(inPlaceMs, 0.5), percentile(inPlaceMs, 1.0), ReadyFiles::kQuietMs);

    QStringList names;
    for (int i = 0; i < 100; ++i) {
        names.append(QStringLiteral("drop-%1.csv").arg(i, 3, 10, QLatin1Char('0')));
        writeFile(QDir(staging).filePath(names.last()), "1,2,3\r\n");
    }
    taken.clear();
    QElapsedTimer drop;
    drop.start();
    for (int i = 99; i >= 0; --i) // dropped last name first: the order is the folder's
        QFile::rename(QDir(staging).filePath(names[i]), QDir(inbox).filePath(names[i]));
    ok &= runUntil([&] { return taken.size() >= 100 && !folder.current(); }, 60'000);
    const bool inOrder = taken == names;
    const int done = int(QDir(QDir(inbox).filePath(QStringLiteral("done")))
                             .entryList({QStringLiteral("drop-*.csv")}, QDir::Files)
                             .size());
    ok &= inOrder && done == 100;
    std::printf("100 files dropped at once            %7.1f ms to the last move; taken %lld, "
                "in name order: %s, in done: %d\n",
                double(drop.nsecsElapsed()) / 1e6, qlonglong(taken.size()), inOrder ? "yes" : "NO",
                done);

    const ColumnMapRead map = parseColumnMap(kErpMap);
    const QByteArray bytes = erpExport(600);
    std::vector<double> importMs;
    for (int i = 0; i < 20 && map.map; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto imported = workbook::importMapped(bytes, QStringLiteral("export.csv"), *map.map,
                                                     [](const QString&) {});
        importMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        ok &= imported && imported->count == 600;
    }
    std::printf("600-row export through a column map  %3d runs   median %7.2f ms  max %7.2f ms\n",
                int(importMs.size()), percentile(importMs, 0.5), percentile(importMs, 1.0));
    if (!ok)
        std::printf("FAILED: a file was not taken in time, not in order, or not imported\n");
    return ok ? 0 : 1;
}
