// The hot folder's inbox: which files are complete, in which order, and where each goes.
// Time is the manual clock's; the folder is looked at when the test calls scan(), as the
// watch and the timer would.

#include "hotfolder/HotFolder.h"
#include "hotfolder/ProcessedMove.h"
#include "serial/Clock.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace {

const QDateTime kStamp(QDate(2025, 1, 14), QTime(9, 30, 12));

// What a send to one scale that accepted both rows reports.
FileResult sentResult() {
    JobResult outcome;
    outcome.state = JobState::Done;
    outcome.rowsDone = 2;
    outcome.rowsTotal = 2;
    outcome.lastText = QStringLiteral(" THE END ");
    FileResult result;
    result.command = QStringLiteral("download plu");
    result.scales.append({{{QStringLiteral("Meat"), QStringLiteral("sim")}, outcome},
                          {{1, 101, RowOutcome::Sent, {}}, {2, 102, RowOutcome::Sent, {}}}});
    return result;
}

class HotFolderTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString inbox = root.filePath(QStringLiteral("inbox"));
    QString staging = root.filePath(QStringLiteral("staging")); // where writers finish files
    ManualClock clock;
    std::unique_ptr<HotFolder> folder;
    QStringList taken;
    QStringList problems;
    bool finishAtOnce = true; // the driver finishes inside fileReady
    FileResult result = sentResult();

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(inbox));
        ASSERT_TRUE(QDir().mkpath(staging));
        folder = makeFolder({inbox, {}, {}});
        ASSERT_EQ(folder->start(), QString());
    }

    std::unique_ptr<HotFolder> makeFolder(const HotFolderPaths& paths) {
        auto made = std::make_unique<HotFolder>(paths, clock);
        made->setWallClock([] { return kStamp; });
        QObject::connect(made.get(), &HotFolder::fileReady,
                         [this, f = made.get()](const InboxFile& file) {
                             taken.append(file.name);
                             if (finishAtOnce)
                                 f->finish(result);
                         });
        QObject::connect(made.get(), &HotFolder::problem,
                         [this](const QString& text) { problems.append(text); });
        return made;
    }

    static void write(const QString& path, const QByteArray& bytes, bool append = false) {
        QFile file(path);
        ASSERT_TRUE(file.open(append ? QIODevice::Append : QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QString inInbox(const QString& name) const { return QDir(inbox).filePath(name); }
    void writeInPlace(const QString& name, const QByteArray& bytes = "1,2,3\r\n") {
        write(inInbox(name), bytes);
    }
    // Written elsewhere on the same file system, then renamed in: complete when it appears.
    void renameIn(const QString& name, const QByteArray& bytes = "1,2,3\r\n") {
        const QString written = QDir(staging).filePath(name);
        write(written, bytes);
        ASSERT_TRUE(QFile::rename(written, inInbox(name)));
    }
    void after(qint64 ms) {
        clock.advance(ms);
        folder->scan();
    }
    QStringList inboxFiles() const { return QDir(inbox).entryList(QDir::Files); }
    QJsonObject resultIn(const QString& path) const {
        QFile file(path + QLatin1String(".result.json"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return QJsonDocument::fromJson(file.readAll()).object();
    }
};

TEST_F(HotFolderTest, AFileWrittenInPlaceWaitsForTwoQuietSecondsARenamedOneIsTakenAtOnce) {
    writeInPlace(QStringLiteral("slow.csv"), "1,2,");
    after(0);
    after(1500);
    write(inInbox(QStringLiteral("slow.csv")), "3\r\n", true); // still being written
    after(0);
    after(1500);
    after(499);
    EXPECT_TRUE(taken.isEmpty());
    after(1); // two seconds since the last change
    EXPECT_EQ(taken, QStringList{"slow.csv"});

    // A .part finished and renamed to .csv in the inbox itself, and a file renamed in from
    // elsewhere, are taken without waiting.
    writeInPlace(QStringLiteral("fast.part"));
    after(0);
    ASSERT_TRUE(
        QFile::rename(inInbox(QStringLiteral("fast.part")), inInbox(QStringLiteral("fast.csv"))));
    after(0);
    renameIn(QStringLiteral("moved.xls"));
    after(0);
    EXPECT_EQ(taken, QStringList({"slow.csv", "fast.csv", "moved.xls"}));

    // Renamed in, then written again: it waits like one written in place.
    renameIn(QStringLiteral("touched.csv"));
    write(inInbox(QStringLiteral("touched.csv")), "more", true);
    after(0);
    after(1999);
    EXPECT_EQ(taken.size(), 3);
    after(1);
    EXPECT_EQ(taken.last(), QStringLiteral("touched.csv"));
}

TEST_F(HotFolderTest, NamesThatAreNeverTakenStayWhereTheyAre) {
    for (const char* name : {".hidden.csv", "a.csv.part", "a.tmp", "a.csv~"})
        writeInPlace(QString::fromLatin1(name));
    for (const char* name : {".hidden2.csv", "b.csv.part", "b.tmp", "b.csv~"})
        renameIn(QString::fromLatin1(name));
    QDir().mkpath(inInbox(QStringLiteral("folder.csv"))); // a folder is no file
    for (int i = 0; i < 5; ++i)
        after(10'000);
    EXPECT_TRUE(taken.isEmpty()) << taken.join(' ').toStdString();
    EXPECT_EQ(inboxFiles().size(), 6); // QDir lists no hidden files
}

TEST_F(HotFolderTest, AFileLeftInTheInboxIsTakenAgainOnTheNextStart) {
    folder.reset(); // the process ended in the middle of a send
    writeInPlace(QStringLiteral("prices.csv"));
    folder = makeFolder({inbox, {}, {}});
    ASSERT_EQ(folder->start(), QString());
    after(1999);
    EXPECT_TRUE(taken.isEmpty());
    after(1);
    EXPECT_EQ(taken, QStringList{"prices.csv"});
    EXPECT_TRUE(QFile::exists(QDir(inbox).filePath(QStringLiteral("done/prices.csv"))));
}

TEST_F(HotFolderTest, AHundredFilesDroppedAtOnceAreTakenOneAtATimeOnceEachInNameOrder) {
    finishAtOnce = false;
    QStringList names;
    for (int i = 0; i < 100; ++i)
        names.append(QStringLiteral("export-%1.csv").arg(i, 3, 10, QLatin1Char('0')));
    QStringList dropped = names;
    std::shuffle(dropped.begin(), dropped.end(), std::mt19937(26));
    for (const QString& name : dropped)
        renameIn(name);
    after(0);
    for (int finished = 0; folder->current(); ++finished) {
        ASSERT_EQ(taken.size(), finished + 1); // never a second one while one is in hand
        folder->scan();
        folder->finish(result);
    }
    EXPECT_EQ(taken, names);
    EXPECT_TRUE(inboxFiles().isEmpty());
    const QDir done(QDir(inbox).filePath(QStringLiteral("done")));
    EXPECT_EQ(done.entryList(QDir::Files).size(), 200); // each file and its result
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST_F(HotFolderTest, EachFileGoesToDoneOrFailedWithItsResultAndNothingIsOverwritten) {
    const QString done = QDir(inbox).filePath(QStringLiteral("done"));
    const QString failed = QDir(inbox).filePath(QStringLiteral("failed"));
    write(QDir(done).filePath(QStringLiteral("prices.csv")), "sent yesterday");

    renameIn(QStringLiteral("prices.csv"));
    after(0);
    const QString stamped = QDir(done).filePath(QStringLiteral("prices.20250114-093012.csv"));
    EXPECT_TRUE(QFile::exists(stamped));
    QFile yesterday(QDir(done).filePath(QStringLiteral("prices.csv")));
    ASSERT_TRUE(yesterday.open(QIODevice::ReadOnly));
    EXPECT_EQ(yesterday.readAll(), QByteArray("sent yesterday"));
    const QJsonObject sent = resultIn(stamped);
    EXPECT_EQ(sent["file"].toString(), QStringLiteral("prices.csv"));
    EXPECT_EQ(sent["movedTo"].toString(), stamped);
    EXPECT_EQ(sent["outcome"].toString(), QStringLiteral("done"));
    EXPECT_EQ(sent["exitStatus"].toInt(-1), 0);
    EXPECT_EQ(sent["command"].toString(), QStringLiteral("download plu"));
    const QJsonObject scale = sent["scales"].toArray()[0].toObject();
    EXPECT_EQ(scale["finalText"].toString(), QStringLiteral(" THE END "));
    EXPECT_EQ(scale["rows"].toArray()[1].toObject(),
              QJsonObject({{"row", 2}, {"number", 102}, {"outcome", "sent"}}));

    // A file that cannot be read goes to FAILED with the reason; so does a failed scale.
    result = FileResult::refused(QStringLiteral("Cannot import bad.csv: sheet row 7, ..."));
    renameIn(QStringLiteral("bad.csv"));
    after(0);
    const QJsonObject refused = resultIn(QDir(failed).filePath(QStringLiteral("bad.csv")));
    EXPECT_EQ(refused["outcome"].toString(), QStringLiteral("failed"));
    EXPECT_EQ(refused["reason"].toString(), result.refusal);
    EXPECT_EQ(refused["exitStatus"].toInt(), 3);
    EXPECT_TRUE(refused["scales"].toArray().isEmpty());

    result = sentResult();
    result.scales[0].report.result.state = JobState::Failed;
    result.scales[0].rows[1] = {2, 102, RowOutcome::Failed,
                                QStringLiteral("Sync error PLU No : 102")};
    renameIn(QStringLiteral("half.csv"));
    after(0);
    const QJsonObject half = resultIn(QDir(failed).filePath(QStringLiteral("half.csv")));
    EXPECT_EQ(half["exitStatus"].toInt(), 1);
    EXPECT_EQ(half["scales"].toArray()[0].toObject()["rows"].toArray()[1].toObject()["text"],
              QStringLiteral("Sync error PLU No : 102"));
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

TEST(ProcessedMove, AFreeNameKeepsTheExtensionAfterItsTimeStamp) {
    QTemporaryDir dir;
    const struct {
        const char* name;
        QStringList present;
        const char* expected;
    } cases[] = {
        {"prices.csv", {}, "prices.csv"},
        {"prices.csv", {"prices.csv"}, "prices.20250114-093012.csv"},
        {"prices.csv", {"prices.csv.result.json"}, "prices.20250114-093012.csv"},
        {"prices.csv",
         {"prices.csv", "prices.20250114-093012.csv"},
         "prices.20250114-093012-2.csv"},
        {"shop.tar.gz", {"shop.tar.gz"}, "shop.tar.20250114-093012.gz"},
        {"README", {"README"}, "README.20250114-093012"},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        for (const QString& name : c.present) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(freeName(folder.path(), QString::fromLatin1(c.name), kStamp),
                  QString::fromLatin1(c.expected))
            << c.name;
    }
}

TEST_F(HotFolderTest, AFileThatVanishesChangesOrCannotBeMovedIsReportedAndNeverLost) {
    finishAtOnce = false;
    const QString done = QDir(inbox).filePath(QStringLiteral("done"));

    renameIn(QStringLiteral("a-gone.csv"));
    after(0);
    ASSERT_TRUE(QFile::remove(inInbox(QStringLiteral("a-gone.csv"))));
    folder->finish(result);
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith(QLatin1String("a-gone.csv was gone from the inbox")));
    EXPECT_TRUE(QFile::exists(QDir(done).filePath(QStringLiteral("a-gone.csv.result.json"))));

    renameIn(QStringLiteral("b-changed.csv"));
    after(0);
    write(inInbox(QStringLiteral("b-changed.csv")), "newer prices", true);
    folder->finish(result);
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[1].startsWith(QLatin1String("b-changed.csv changed while it was sent")));
    after(2000); // the new contents are sent once they are complete
    EXPECT_EQ(taken, QStringList({"a-gone.csv", "b-changed.csv", "b-changed.csv"}));
    folder->finish(result);
    EXPECT_TRUE(
        QFile::exists(QDir(done).filePath(QStringLiteral("b-changed.20250114-093012.csv"))));

    // DONE is replaced by a link to nowhere: the move fails, the file stays and is not sent
    // again.
    renameIn(QStringLiteral("c-stuck.csv"));
    after(0);
    ASSERT_TRUE(QDir(done).removeRecursively());
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("nowhere")), done));
    folder->finish(result);
    ASSERT_EQ(problems.size(), 4); // neither the file nor its result could go there
    EXPECT_TRUE(problems[3].startsWith(QLatin1String("c-stuck.csv cannot be moved to ")));
    EXPECT_TRUE(QFile::exists(inInbox(QStringLiteral("c-stuck.csv"))));
    after(60'000);
    EXPECT_EQ(taken.count(QStringLiteral("c-stuck.csv")), 1);
    ASSERT_TRUE(QFile::remove(inInbox(QStringLiteral("c-stuck.csv")))); // mended, dropped anew
    after(0);
    renameIn(QStringLiteral("c-stuck.csv"));
    after(0);
    EXPECT_EQ(taken.count(QStringLiteral("c-stuck.csv")), 2);
}

TEST_F(HotFolderTest, StartRefusesWhatCannotWork) {
    const QString missing = root.filePath(QStringLiteral("missing"));
    const struct {
        HotFolderPaths paths;
        QString says;
    } cases[] = {
        {{missing, {}, {}},
         QStringLiteral("the inbox %1 is not a folder").arg(QDir::toNativeSeparators(missing))},
        {{inbox, inbox, {}}, QStringLiteral("is the inbox itself")},
        {{inbox, {}, {}},
         QStringLiteral("is watched by process %1").arg(QCoreApplication::applicationPid())},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<HotFolder> other = makeFolder(c.paths);
        const QString problem = other->start();
        EXPECT_TRUE(problem.contains(c.says)) << problem.toStdString();
    }
}

// The system wakes the folder: nobody calls scan().
TEST_F(HotFolderTest, TheWatchTakesAFileRenamedInWithoutBeingAsked) {
    QSignalSpy ready(folder.get(), &HotFolder::fileReady);
    renameIn(QStringLiteral("prices.csv"));
    ASSERT_TRUE(ready.wait(10'000));
    EXPECT_EQ(taken, QStringList{"prices.csv"});
}

} // namespace
