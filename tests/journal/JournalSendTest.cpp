// The journal as scalectl's transfers write it: every command that talks to a scale records
// its run once, a journal that cannot record refuses before the scale sees a byte, and
// --changed sends only what the journal says the scale lacks. Two writers at once are
// JournalProcessTest's.

#include "support/ScalectlProcess.h"

#include <QDir>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::run;
using scalectl_process::scalectl;
using scalectl_process::Simulator;

constexpr int kRows = 20;

// A PLU file of `rows` rows, PLU n at 100 + n, or at `changed` for the numbers listed there.
QByteArray pluFile(const QMap<int, int>& changed = {}, int rows = kRows) {
    QByteArray file;
    for (int n = 1; n <= rows; ++n)
        file += QStringLiteral("%1,%2,\"Item %1\",\" \",%3,3,0,2,1\r\n")
                    .arg(n)
                    .arg(1000 + n)
                    .arg(changed.value(n, 100 + n))
                    .toLatin1();
    return file;
}

// unshare's options for a mount namespace of its own where a tmpfs may be mounted (in a user
// namespace unless this is root); empty when the machine allows neither.
QStringList privateMounts() {
    for (const QStringList& unshare :
         {QStringList{"--user", "--map-root-user", "--mount"}, QStringList{"--mount"}})
        if (run("unshare", unshare + QStringList{"true"}).exitCode == 0)
            return unshare;
    return {};
}

class JournalSend : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        EXPECT_TRUE(scalectl_process::writeFile(path(name), bytes));
        return path(name);
    }
    QString journal() const { return path(QStringLiteral("journal.sqlite")); }
    // One line per run: operation, scale, outcome and the number of its rows.
    QString runs() const {
        return run("sqlite3", {journal(), "SELECT r.operation, r.scale, e.outcome, "
                                          "(SELECT count(*) FROM rows w WHERE w.run = r.seq) "
                                          "FROM runs r LEFT JOIN run_ends e ON e.run = r.seq "
                                          "ORDER BY r.seq"})
            .out;
    }
    // The number of syncs sent in a --trace file: one per row of a download.
    static int syncsSent(const QString& trace) {
        const QString text = QString::fromLatin1(scalectl_process::readFile(trace));
        return int(text.count(QRegularExpression(QStringLiteral(" sync +> "))));
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(JournalSend, EveryCommandRecordsItsRunOnceAndChangedSendsOnlyWhatDiffers) {
    const QString file = write("shop.plu", pluFile());
    Simulator scale({"--pty", "--load-plu", file}); // it holds the file: a compare finds none
    ASSERT_FALSE(scale.port().isEmpty());
    const QString port = scale.port();
    const QStringList journalOption{"--journal", journal()};
    const QString trace = path("trace.txt");
    struct Step {
        QStringList args;
        int exitCode;
        int syncs; // -1: not counted
    };
    const QList<Step> steps{
        {{"download", "plu", file, "--port", port}, 0, kRows},
        {{"upload", "plu", path("out.plu"), "--port", port, "--one", "5"}, 0, -1},
        {{"display", "--port", port}, 0, -1},
        {{"compare", "plu", file, "--port", port}, 0, -1},
        // The scale holds what was sent: nothing to send.
        {{"download", "plu", file, "--port", port, "--changed"}, 0, 0},
    };
    for (const Step& step : steps) {
        QFile::remove(trace);
        const Outcome done = scalectl(step.args + journalOption + QStringList{"--trace", trace});
        EXPECT_EQ(done.exitCode, step.exitCode) << step.args.join(' ').toStdString() << "\n"
                                                << done.out.toStdString() << done.err.toStdString();
        if (step.syncs >= 0) {
            EXPECT_EQ(syncsSent(trace), step.syncs) << step.args.join(' ').toStdString();
        }
    }
    const QString compared = runs().split('\n').value(3);
    EXPECT_EQ(runs().section('\n', 0, 2) + '\n',
              QStringLiteral("download|%1|done|%2\nupload|%1|done|1\ndisplay|%1|done|0\n")
                  .arg(port)
                  .arg(kRows));
    EXPECT_TRUE(compared.startsWith(QStringLiteral("compare|%1|done|").arg(port)))
        << compared.toStdString();
    EXPECT_GE(compared.section('|', 3).toInt(), kRows) << "the compare read every PLU of the file";

    // A price change of five rows sends those five, the rows keeping their numbers.
    write("shop.plu", pluFile({{2, 250}, {3, 260}, {7, 270}, {11, 280}, {20, 290}}));
    QFile::remove(trace);
    Outcome changed = scalectl(
        QStringList{"download", "plu", file, "--port", port, "--changed", "--trace", trace} +
        journalOption);
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(syncsSent(trace), 5);
    EXPECT_EQ(changed.out, QStringLiteral("PLU Count is 20\nplu#2 is transfered\nplu#3 is "
                                          "transfered\nplu#7 is transfered\nplu#11 is "
                                          "transfered\nplu#20 is transfered\n THE END \n"));

    // Changed behind the journal's back (sent with another journal): the compare that finds
    // the difference makes the next --changed send that row again.
    ASSERT_EQ(scalectl({"download", "plu", write("other.plu", pluFile({{9, 999}})), "--port", port,
                        "--one", "9", "--journal", path("other.sqlite")})
                  .exitCode,
              0);
    EXPECT_EQ(
        scalectl(QStringList{"compare", "plu", file, "--port", port} + journalOption).exitCode, 1);
    QFile::remove(trace);
    changed = scalectl(
        QStringList{"download", "plu", file, "--port", port, "--changed", "--trace", trace} +
        journalOption);
    EXPECT_EQ(changed.out, QStringLiteral("PLU Count is 20\nplu#9 is transfered\n THE END \n"));
    EXPECT_EQ(syncsSent(trace), 1);
    EXPECT_EQ(scalectl(QStringList{"journal", "verify"} + journalOption).exitCode, 0);

    // Changed with the sqlite3 shell: verify names the entry.
    ASSERT_EQ(run("sqlite3", {journal(), "UPDATE rows SET fields = replace(fields, '\"107\"', "
                                         "'\"99\"') WHERE number = 7 AND operation = 'download'"})
                  .exitCode,
              0);
    const Outcome verified = scalectl(QStringList{"journal", "verify"} + journalOption);
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_TRUE(verified.out.contains(QLatin1String("row 7 of run"))) << verified.out.toStdString();
}

// A journal on a full disk, one that fills up during the send, and one this account may only
// read: the first two in a tmpfs of 256 KiB mounted in a mount namespace of their own.
TEST_F(JournalSend, AJournalThatCannotRecordRefusesBeforeTheFirstByte) {
    // The scale: a port that would take the connection; no scalectl may even connect.
    QTcpServer scale;
    ASSERT_TRUE(scale.listen(QHostAddress::LocalHost));
    const QString port = QStringLiteral("tcp://127.0.0.1:%1").arg(scale.serverPort());
    const QString file = write("shop.plu", pluFile());
    const QString journalInTmpfs = path("disk/journal.sqlite");
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));

    const QStringList mounts = privateMounts();
    if (mounts.isEmpty())
        GTEST_SKIP() << "this machine lets this account mount no tmpfs, so no disk can be "
                        "filled here";
    // $1 the disk, $2 scalectl, $3 the file, $4 the port.
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 90; "
        "\"$2\" display --port sim --journal \"$1/journal.sqlite\" >/dev/null || exit 91; "
        "head -c 1M /dev/zero >\"$1/fill\" 2>/dev/null; "
        "\"$2\" download plu \"$3\" --port \"$4\" --journal \"$1/journal.sqlite\"; "
        "echo \"exit $?\"");
    const Outcome full = run("unshare", mounts + QStringList{"sh", "-c", script, "sh", path("disk"),
                                                             SCALECTL_PATH, file, port});
    EXPECT_EQ(full.out, QStringLiteral("PLU Count is 20\njournal %1: database or disk is full\n"
                                       "exit 1\n")
                            .arg(journalInTmpfs))
        << full.err.toStdString();

    // Read-only: root may write to any file, so root tries as the account nobody.
    ASSERT_EQ(scalectl({"display", "--port", "sim", "--journal", journal()}).exitCode, 0);
    QString program = QStringLiteral(SCALECTL_PATH);
    QStringList prefix;
    if (::geteuid() == 0) {
        program = QStringLiteral("setpriv");
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", SCALECTL_PATH};
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
    } else {
        QFile::setPermissions(journal(), QFile::ReadOwner);
    }
    const Outcome readOnly = run(program, prefix + QStringList{"download", "plu", file, "--port",
                                                               port, "--journal", journal()});
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_EQ(readOnly.out,
              QStringLiteral("PLU Count is 20\njournal %1: the file is read-only, so nothing can "
                             "be recorded\n")
                  .arg(journal()));
    EXPECT_FALSE(scale.waitForNewConnection(200)) << "a byte may have reached the scale";
}

TEST_F(JournalSend, AJournalThatFillsUpStopsTheSendAfterTheRowItCouldNotRecord) {
    const QStringList mounts = privateMounts();
    if (mounts.isEmpty())
        GTEST_SKIP() << "this machine lets this account mount no tmpfs";
    const QString file = write("many.plu", pluFile({}, 600));
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    // The rows the journal holds are counted once the disk has room again.
    const QString script =
        QStringLiteral("mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 90; "
                       "\"$2\" download plu \"$3\" --port sim --journal \"$1/journal.sqlite\"; "
                       "echo \"exit $?\"; mount -o remount,size=64m \"$1\"; "
                       "sqlite3 \"$1/journal.sqlite\" 'SELECT count(*) FROM rows'");
    const Outcome filled = run("unshare", mounts + QStringList{"sh", "-c", script, "sh",
                                                               path("disk"), SCALECTL_PATH, file});
    const QStringList lines = filled.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5) << filled.out.toStdString() << filled.err.toStdString();
    const int recorded = lines.last().toInt();
    const int sent = int(lines.filter(QStringLiteral(" is transfered")).size());
    EXPECT_GT(recorded, 0);
    EXPECT_LT(sent, 600);
    // The row whose entry could not be written was the last one sent.
    EXPECT_EQ(sent, recorded + 1);
    EXPECT_EQ(
        lines.mid(lines.size() - 4, 3),
        (QStringList{
            QStringLiteral("Transfer cancelled"),
            QStringLiteral("journal %1: database or disk is full").arg(path("disk/journal.sqlite")),
            QStringLiteral("exit 1")}));
}
