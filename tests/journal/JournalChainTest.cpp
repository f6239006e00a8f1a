// The chain against changes made behind the program's back with the sqlite3 shell: verify
// names the first entry changed, removed or inserted.

#include "SampleRows.h"
#include "journal/Journal.h"
#include "support/ScalectlProcess.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using journal::Journal;

// Entries: 1 run start, 2..4 rows (PLU 1, 2, 3), 5 run end.
void writeBase(const QString& path) {
    QString error;
    std::unique_ptr<Journal> journal = Journal::open(path, &error);
    ASSERT_TRUE(journal) << error.toStdString();
    ASSERT_EQ(
        sample::record(*journal, sample::pluRun("download", "Deli"),
                       {sample::pluRow(1, 100), sample::pluRow(2, 200), sample::pluRow(3, 300)}),
        QString());
}

journal::VerifyReport verified(const QString& path) {
    QString error;
    std::unique_ptr<Journal> journal = Journal::open(path, &error, Journal::Access::ReadOnly);
    journal::VerifyReport report;
    if (!journal)
        report.text = error;
    else
        EXPECT_EQ(journal->verify(&report), QString());
    return report;
}

} // namespace

TEST(JournalChain, VerifyNamesTheFirstEntryChangedRemovedOrInserted) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("base.sqlite"));
    writeBase(base);
    const journal::VerifyReport intact = verified(base);
    EXPECT_TRUE(intact.intact);
    EXPECT_EQ(intact.entries, 5);
    EXPECT_EQ(intact.text, "journal " + base + ": 5 entries, every one as it was written");

    const QString copyRow3 =
        QStringLiteral("INSERT INTO rows SELECT %1, run, at, number, record, fields, accepted, "
                       "retries, operation, kind, scale, hash FROM rows WHERE seq = 3");
    const struct {
        QString sql;
        qint64 firstBad;
        QString what;
    } cases[] = {
        {"UPDATE rows SET fields = replace(fields, '\"UnitPrice\":\"200\"', "
         "'\"UnitPrice\":\"150\"') WHERE seq = 3",
         3, "3 (row 2 of run 1) was changed"},
        {"UPDATE rows SET accepted = 0 WHERE seq = 2", 2, "2 (row 1 of run 1) was changed"},
        {"UPDATE runs SET os_user = 'nobody'", 1,
         "1 (the start of a download of PLU with Deli) was changed"},
        // The copy of the run's scale that the questions go by.
        {"UPDATE rows SET scale = 'Bakery' WHERE seq = 4", 4, "4 (row 3 of run 1) was changed"},
        {"UPDATE run_ends SET outcome = 'cancelled'", 5, "5 (the end of run 1) was changed"},
        {"DELETE FROM rows WHERE seq = 3", 3, "3 was removed"},
        {"DELETE FROM run_ends", 5, "5 was removed (and any after it)"},
        // The gap closed by numbering the later entries anew.
        {"DELETE FROM rows WHERE seq = 3; UPDATE rows SET seq = 3 WHERE seq = 4; "
         "UPDATE run_ends SET seq = 4; UPDATE chain_head SET seq = 4",
         3, "3 (row 3 of run 1) was changed"},
        {copyRow3.arg(5), 5, "5 (row 2 of run 1) was inserted"}, // beside the run's end
        {copyRow3.arg(6), 6, "6 (row 2 of run 1) was inserted"}, // after the last
        {copyRow3.arg(6) + "; UPDATE chain_head SET seq = 6", 6, "6 (row 2 of run 1) was changed"},
        {"UPDATE chain_head SET hash = zeroblob(32)", 5, "5 was changed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        const QString path = dir.filePath(QStringLiteral("changed.sqlite"));
        QFile::remove(path);
        ASSERT_TRUE(QFile::copy(base, path));
        const scalectl_process::Outcome edit = scalectl_process::run("sqlite3", {path, c.sql});
        ASSERT_EQ(edit.exitCode, 0)
            << "the sqlite3 shell is needed (package sqlite3): " << edit.err.toStdString();
        const journal::VerifyReport report = verified(path);
        EXPECT_FALSE(report.intact);
        EXPECT_EQ(report.firstBad, c.firstBad);
        EXPECT_EQ(report.text, "journal " + path + ": entry " + c.what);
    }
}
