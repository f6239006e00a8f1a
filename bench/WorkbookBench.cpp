// Import and export of a full PLU workbook (600 rows), file to table and table to file, in
// process, as .xls and, in memory, as .xlsx and .csv; beside it, when a spreadsheet program is
// installed, the time it takes to convert the same workbook on the command line (`soffice
// --headless --convert-to csv`).
//
//   workbook_bench [rounds]

#include "spreadsheet/CsvReader.h"
#include "spreadsheet/CsvWriter.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"
#include "spreadsheet/WorkbookReader.h"
#include "spreadsheet/WorkbookWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/XlsxWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

namespace {

void fill(PluTable& table) {
    table.reset();
    for (int r = 1; r <= 600; ++r) {
        const QStringList cells = {QString::number(r),
                                   QString::number(100000 + r),
                                   QStringLiteral("Item name %1 with a longer text").arg(r),
                                   QStringLiteral("Second line %1").arg(r),
                                   QString::number(150 + r),
                                   QString::number(r % 30),
                                   QString::number(r % 7),
                                   QString::number(r % 5),
                                   QString::number(r % 200)};
        for (int c = 1; c <= 9; ++c)
            table.grid.setText(r, c, cells[c - 1]);
    }
}

struct Timing {
    double median = 0;
    double best = 0;
};

template <typename F> Timing measure(int rounds, F&& run) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return {-1, -1};
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plu600.xls"));
    const workbook::StatusSink quiet = [](const QString&) {};

    PluTable source;
    fill(source);
    const QDate today = QDate::currentDate();
    const Timing exported =
        measure(rounds, [&] { return workbook::exportTable(path, source, today, quiet); });
    // The same without the file: the save's flush to disk is the larger part of an export.
    const Timing built = measure(rounds, [&] {
        QString error;
        return workbookBytes(workbook::exportSheet(source.grid, PluTable::kind(), today, quiet),
                             &error)
            .has_value();
    });
    const Timing imported = measure(rounds, [&] {
        PluTable table;
        table.reset();
        return workbook::importTable(path, table, quiet) && table.count == 600;
    });
    QString error;
    const QByteArray bytes =
        workbookBytes(workbook::exportSheet(source.grid, PluTable::kind(), today, quiet), &error)
            .value_or(QByteArray());
    const Timing parsed = measure(rounds, [&] {
        const WorkbookRead read = readWorkbook(bytes);
        return read.sheet &&
               workbook::importSheet(*read.sheet, PluTable::kind(), path, quiet).has_value();
    });
    std::printf("600-row PLU workbook (%lld bytes), %d rounds\n", qlonglong(bytes.size()), rounds);
    std::printf("export (table -> file, synced to disk): median %.2f ms, best %.2f ms\n",
                exported.median, exported.best);
    std::printf("export (table -> workbook bytes in memory): median %.2f ms, best %.2f ms\n",
                built.median, built.best);
    std::printf("import (file -> table): median %.2f ms, best %.2f ms\n", imported.median,
                imported.best);
    std::printf("import (workbook bytes in memory -> converted rows): median %.2f ms, best "
                "%.2f ms\n",
                parsed.median, parsed.best);

    // The other two containers, table to bytes and bytes to converted rows, in memory.
    using Writer = std::optional<QByteArray> (*)(const Sheet&, QString*);
    using Reader = WorkbookRead (*)(const QByteArray&);
    const auto readCsvDefault = [](const QByteArray& file) { return readCsv(file); };
    const std::tuple<const char*, Writer, Reader> containers[] = {
        {".xlsx", xlsxBytes, readXlsx}, {".csv", csvBytes, +readCsvDefault}};
    for (const auto& [name, write, read] : containers) {
        const Timing written = measure(rounds, [&] {
            QString error;
            return write(workbook::exportSheet(source.grid, PluTable::kind(), today, quiet), &error)
                .has_value();
        });
        const QByteArray file =
            write(workbook::exportSheet(source.grid, PluTable::kind(), today, quiet), &error)
                .value_or(QByteArray());
        const Timing readBack = measure(rounds, [&] {
            const WorkbookRead sheet = read(file);
            return sheet.sheet &&
                   workbook::importSheet(*sheet.sheet, PluTable::kind(), path, quiet).has_value();
        });
        std::printf("%s export (table -> bytes in memory, %lld bytes): median %.2f ms, best "
                    "%.2f ms\n",
                    name, qlonglong(file.size()), written.median, written.best);
        std::printf("%s import (bytes in memory -> converted rows): median %.2f ms, best %.2f "
                    "ms\n",
                    name, readBack.median, readBack.best);
    }

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("soffice: not installed\n");
        return exported.median < 0 || imported.median < 0 ? 1 : 0;
    }
    const Timing converted = measure(3, [&] {
        QProcess process;
        process.start(soffice,
                      {QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("csv"), QStringLiteral("--outdir"), dir.path(), path});
        return process.waitForFinished(120000) && process.exitCode() == 0;
    });
    std::printf("soffice --headless --convert-to csv of the same workbook: median %.0f ms, best "
                "%.0f ms (3 runs)\n",
                converted.median, converted.best);
    return 0;
}
