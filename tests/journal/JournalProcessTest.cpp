// The journal shared by programs running at once, on a disk that fills up, and in a file this
// account may only read: journal_writer is the other program.

#include "SampleRows.h"
#include "journal/Journal.h"
#include "support/ScalectlProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::run;

const QString kWriter = QStringLiteral(JOURNAL_WRITER_PATH);

// The numbers of the rows sent to each scale, in the order they were recorded, and how often
// the recording switched from one scale to the other.
struct Recorded {
    QMap<QString, QList<int>> numbers;
    int switches = 0;
};

Recorded recorded(const QString& path) {
    QString error;
    std::unique_ptr<journal::Journal> journal =
        journal::Journal::open(path, &error, journal::Journal::Access::ReadOnly);
    Recorded result;
    if (!journal) {
        ADD_FAILURE() << error.toStdString();
        return result;
    }
    QString last;
    EXPECT_EQ(journal->sentRows({},
                                [&](const journal::RowRecord& row) {
                                    const QString& scale = row.run.start.scaleName;
                                    result.numbers[scale].append(row.row.number);
                                    result.switches += !last.isEmpty() && last != scale;
                                    last = scale;
                                    return true;
                                }),
              QString());
    return result;
}

// The command that runs `script` (sh -c) where it may mount a file system of its own: a
// private mount namespace, in a user namespace of its own unless this is root. Empty when the
// machine allows neither.
QStringList inPrivateMounts(const QString& script) {
    for (const QStringList& unshare :
         {QStringList{"--user", "--map-root-user", "--mount"}, QStringList{"--mount"}}) {
        if (run("unshare", unshare + QStringList{"true"}).exitCode == 0)
            return unshare + QStringList{"sh", "-c", script, "sh"};
    }
    return {};
}

} // namespace

TEST(JournalProcesses, TwoWritersAtOnceLoseNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    constexpr int kRows = 1500;
    // Both start on a journal that does not exist yet, so both also try to create it.
    QProcess deli;
    QProcess bakery;
    deli.start(kWriter, {"write", path, "Deli", QString::number(kRows)});
    bakery.start(kWriter, {"write", path, "Bakery", QString::number(kRows)});
    for (QProcess* writer : {&deli, &bakery}) {
        ASSERT_TRUE(writer->waitForFinished(120'000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
        EXPECT_EQ(writer->readAllStandardOutput(), QByteArray("wrote 1500\n"));
    }
    QList<int> all;
    for (int n = 1; n <= kRows; ++n)
        all.append(n);
    const Recorded rows = recorded(path);
    EXPECT_EQ(rows.numbers.value("Deli"), all);
    EXPECT_EQ(rows.numbers.value("Bakery"), all);
    const Outcome check = run(kWriter, {"check", path});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
    std::cout << "two writers of " << kRows << " rows each: the recording switched writers "
              << rows.switches << " times\n";
}

TEST(JournalProcesses, AFullDiskRefusesWithTheReasonAndKeepsWhatWasRecorded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    // A 256 KiB disk: five rows fit, then a file takes what is left.
    const QStringList command =
        inPrivateMounts("mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 90; "
                        "\"$2\" write \"$1/journal.sqlite\" Deli 5 || exit 91; "
                        "head -c 1M /dev/zero >\"$1/fill\" 2>/dev/null; "
                        "\"$2\" write \"$1/journal.sqlite\" Deli 3000; echo \"exit $?\"; "
                        "rm \"$1/fill\"; \"$2\" check \"$1/journal.sqlite\"; echo \"exit $?\"");
    if (command.isEmpty())
        GTEST_SKIP() << "this machine lets this account mount no tmpfs (no user namespaces, "
                        "not root), so no disk can be filled here";
    const Outcome full = run("unshare", command + QStringList{dir.path(), kWriter});
    ASSERT_EQ(full.exitCode, 0) << full.err.toStdString();
    const QStringList lines = full.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << full.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("wrote 5"));
    EXPECT_EQ(lines[2], QStringLiteral("exit 3")); // refused, with the reason:
    EXPECT_EQ(full.err, "journal " + path + ": database or disk is full\n");
    // Every row reported written is there once the disk has room again, and nothing else.
    const int written = lines[1].section(u' ', 1).toInt();
    EXPECT_EQ(lines[3], QStringLiteral("rows %1").arg(5 + written));
    EXPECT_EQ(lines[5], QStringLiteral("exit 0")) << lines[4].toStdString();
}

TEST(JournalProcesses, AReadOnlyJournalRefusesToRecordButStillAnswers) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    ASSERT_EQ(run(kWriter, {"write", path, "Deli", "3"}).exitCode, 0);
    // Root may write to any file, so root tries as the account nobody; anyone else tries on
    // a file without write permission.
    QString program = kWriter;
    QStringList prefix;
    if (::geteuid() == 0) {
        program = QStringLiteral("setpriv");
        prefix = {"--reuid=65534", "--regid=65534", "--clear-groups", kWriter};
    } else {
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    }
    const QFileDevice::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const QFileDevice::Permissions closed =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    // In a folder it may write to (SQLite keeps its lock files there), and in one it may not.
    for (const QFileDevice::Permissions folder : {open, closed}) {
        ASSERT_TRUE(QFile::setPermissions(dir.path(), folder));
        const Outcome refused = run(program, prefix + QStringList{"write", path, "Deli", "1"});
        EXPECT_EQ(refused.exitCode, 3);
        EXPECT_EQ(refused.err,
                  "journal " + path + ": the file is read-only, so nothing can be recorded\n");
        const Outcome answered = run(program, prefix + QStringList{"check", path});
        EXPECT_EQ(answered.exitCode, 0) << answered.err.toStdString();
        EXPECT_TRUE(answered.out.startsWith(QLatin1String("rows 3\n")))
            << answered.out.toStdString();
    }
    QFile::setPermissions(dir.path(), open);
}
