// A program of its own that writes to a journal, for the tests that need another process:
//   journal_writer write PATH SCALE ROWS   one download run of ROWS PLU rows, then its end
//   journal_writer check PATH              verify, and count the rows sent
// It prints "wrote N" (the rows recorded, 0 when the journal did not open) or "rows N" and the
// verify text on stdout, the journal's error on stderr, and exits 0, 1 (verify found a change) or 3
// (an error).

#include "SampleRows.h"
#include "journal/Journal.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void print(FILE* stream, const QString& line) {
    std::fprintf(stream, "%s\n", line.toLocal8Bit().constData());
}

int write(journal::Journal& journal, const QString& scale, int rows) {
    qint64 run = 0;
    QString error = journal.beginRun(sample::pluRun("download", scale), &run);
    int written = 0;
    for (int n = 1; error.isEmpty() && n <= rows; ++n) {
        error = journal.addRow(run, sample::pluRow(n, n * 10));
        written += error.isEmpty();
    }
    if (error.isEmpty())
        error = journal.endRun(run, "done", " THE END ");
    print(stdout, QStringLiteral("wrote %1").arg(written));
    if (!error.isEmpty())
        print(stderr, error);
    return error.isEmpty() ? 0 : 3;
}

int check(journal::Journal& journal) {
    qint64 rows = 0;
    journal::VerifyReport report;
    QString error = journal.sentRows({}, [&rows](const journal::RowRecord&) {
        ++rows;
        return true;
    });
    if (error.isEmpty())
        error = journal.verify(&report);
    if (!error.isEmpty()) {
        print(stderr, error);
        return 3;
    }
    print(stdout, QStringLiteral("rows %1").arg(rows));
    print(stdout, report.text);
    return report.intact ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool writing = args.value(0) == QLatin1String("write") && args.size() == 4;
    if (!writing && !(args.value(0) == QLatin1String("check") && args.size() == 2)) {
        print(stderr, QStringLiteral("usage: journal_writer write PATH SCALE ROWS | check PATH"));
        return 2;
    }
    QString error;
    const std::unique_ptr<journal::Journal> journal = journal::Journal::open(
        args[1], &error,
        writing ? journal::Journal::Access::ReadWrite : journal::Journal::Access::ReadOnly);
    if (!journal) {
        if (writing)
            print(stdout, QStringLiteral("wrote 0"));
        print(stderr, error);
        return 3;
    }
    return writing ? write(*journal, args[2], args[3].toInt()) : check(*journal);
}
