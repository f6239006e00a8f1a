// scalectl upload against scalectl simulate over a real pseudo-terminal: the PLU file that
// comes back, the status texts on stdout, and the exit codes.

#include "files/TableFileFormat.h"
#include "support/ScalectlProcess.h"
#include "tables/Records.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using scalectl_process::Outcome;
using scalectl_process::readFile;
using scalectl_process::scalectl;
using scalectl_process::Started;
using scalectl_process::writeFile;

// A running `scalectl simulate --pty`; its first line is the port to talk to.
struct Simulator : scalectl_process::Simulator {
    explicit Simulator(const QStringList& args)
        : scalectl_process::Simulator(QStringList{QStringLiteral("--pty")} + args) {}
};

std::vector<PluRecord> recordsOf(const QString& path) {
    const ParsedTableFile<PluRecord> parsed = parseTableFile<PluRecord>(readFile(path));
    EXPECT_TRUE(parsed.ok()) << parsed.error.toStdString();
    return parsed.records;
}

// The scale centres every name in 28 characters, so an uploaded name is the original with
// blanks around it. Records are compared with their names trimmed on both sides.
std::vector<PluRecord> trimmedNames(std::vector<PluRecord> records) {
    for (PluRecord& record : records) {
        record.ItemName1 = record.ItemName1.trimmed();
        record.ItemName2 = record.ItemName2.trimmed();
    }
    return records;
}

// Names of many lengths, an empty one, a full 28 characters, Windows-1252 letters.
const QByteArray kStock = "1,1001,\"Apples\",\"Braeburn\",349,7,0,1,0\r\n"
                          "2,1002,\"Br\xF6tchen\",\"\",25,1,0,2,1\r\n"
                          "3,2147483647,\"ABCDEFGHIJKLMNOPQRSTUVWXYZ01\",\"x\",2147483647,32767,"
                          "32767,32767,32767\r\n"
                          "4,0,\"Tea \xA3 green\",\"Caf\xE9\",0,0,0,0,0\r\n";

QStringList args(std::initializer_list<QString> list) {
    return QStringList(list);
}

struct ScalectlUploadTest : ::testing::Test {
    QTemporaryDir dir;
    QString stock = dir.filePath(QStringLiteral("stock.plu"));
    QString out = dir.filePath(QStringLiteral("back.plu"));

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeFile(stock, kStock));
    }
};

} // namespace

TEST_F(ScalectlUploadTest, ATableDownloadedAndUploadedBackMatchesTheOriginalFile) {
    // A scale that holds nothing (an empty PLU file instead of its samples), at 9600 baud.
    const QString empty = dir.filePath(QStringLiteral("empty.plu"));
    ASSERT_TRUE(writeFile(empty, {}));
    Simulator scale(
        {QStringLiteral("--load-plu"), empty, QStringLiteral("--baud"), QStringLiteral("9600")});
    ASSERT_TRUE(scale.port().startsWith(QLatin1String("/dev/"))) << scale.port().toStdString();

    const Outcome sent = scalectl(args({"download", "plu", stock, "--port", scale.port()}));
    ASSERT_EQ(sent.exitCode, 0) << sent.out.toStdString() << sent.err.toStdString();
    ASSERT_TRUE(sent.out.endsWith(QLatin1String(" THE END \n"))) << sent.out.toStdString();

    const Outcome run = scalectl(args({"upload", "plu", out, "--port", scale.port()}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("plu#1 is received\nplu#2 is received\nplu#3 is received\n"
                                      "plu#4 is received\nPLU is not exist\n"));
    const std::vector<PluRecord> uploaded = recordsOf(out);
    ASSERT_EQ(uploaded.size(), 4u);
    EXPECT_EQ(trimmedNames(uploaded), trimmedNames(recordsOf(stock)));
    EXPECT_EQ(uploaded[0].ItemName1, QString(11, QLatin1Char(' ')) + QStringLiteral("Apples") +
                                         QString(11, QLatin1Char(' ')));
    EXPECT_EQ(uploaded[1].ItemName2, QString(28, QLatin1Char(' ')));
}

TEST_F(ScalectlUploadTest, AnUploadCutShortLeavesOutAloneAndKeepsWhatCameBesideIt) {
    const struct {
        const char* fault;     // of the scale
        const char* stopLine;  // once it is on stdout, `signal` stops scalectl (none: no signal)
        int signal;            // 0 with a line: the scale ends instead (over TCP)
        const char* lastLines; // how stdout ends
        int received;          // records in OUT.partial; 0: none written
        const char* stderrSays;
    } cases[] = {
        // Every reply for number 2 ends with a wrong byte: given up after five failures.
        {"endbyte@2:*", nullptr, 0,
         "plu#1 is received\nSyncOK error\nRetry #1\nSyncOK error\nRetry #2\nSyncOK error\n"
         "Retry #3\nSyncOK error\nRetry #4\nSyncOK error\n",
         1, "did not finish;"},
        // The scale falls silent at number 3; Ctrl-C and SIGTERM cancel the wait.
        {"silence@3:*", "plu#2 is received", SIGINT, "Transfer cancelled\n", 2,
         "did not finish (stopped by SIGINT)"},
        {"silence@3:*", "plu#2 is received", SIGTERM, "Transfer cancelled\n", 2,
         "did not finish (stopped by SIGTERM)"},
        // Never an answer: nothing to keep.
        {"silence:*", "Sync error", SIGINT, "Transfer cancelled\n", 0,
         "nothing was received (stopped by SIGINT)"},
        // The scale goes away after number 2: the port is lost, in the reopen that follows the
        // record or in the wait for number 3 (stdout and stderr name either reason).
        {"silence@3:*", "plu#2 is received", 0, "", 2, "the upload did not finish ("},
    };
    const QString partial = out + QStringLiteral(".partial");
    for (const auto& c : cases) {
        for (const bool outExists : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << c.fault << " signal " << c.signal << " OUT exists " << outExists);
            QFile::remove(out);
            QFile::remove(partial);
            if (outExists) {
                ASSERT_TRUE(writeFile(out, "keep me\r\n"));
            }
            const bool scaleEnds = c.stopLine && !c.signal;
            const QStringList line =
                scaleEnds ? QStringList{"--tcp", "127.0.0.1:0"} : QStringList{"--pty"};
            scalectl_process::Simulator scale(
                line + QStringList{"--load-plu", stock, "--fault", QString::fromLatin1(c.fault)});
            ASSERT_FALSE(scale.port().isEmpty());

            Started upload({QStringLiteral("upload"), QStringLiteral("plu"), out,
                            QStringLiteral("--port"), scale.port()});
            if (c.stopLine) {
                ASSERT_TRUE(upload.waitForLine(QString::fromLatin1(c.stopLine)));
                ASSERT_TRUE(c.signal ? upload.signal(c.signal) : scale.stop() == 0);
            }
            const Outcome run = upload.finish();

            EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
            EXPECT_TRUE(run.out.endsWith(QLatin1String(c.lastLines))) << run.out.toStdString();
            EXPECT_TRUE(run.err.contains(QLatin1String(c.stderrSays))) << run.err.toStdString();
            EXPECT_EQ(readFile(out),
                      outExists ? QByteArray("keep me\r\n") : QByteArray("<unreadable>"));
            if (c.received == 0) {
                EXPECT_FALSE(QFile::exists(partial));
                continue;
            }
            EXPECT_TRUE(run.err.contains(partial)) << run.err.toStdString();
            const std::vector<PluRecord> held = trimmedNames(recordsOf(stock));
            EXPECT_EQ(trimmedNames(recordsOf(partial)),
                      std::vector<PluRecord>(held.begin(), held.begin() + c.received));
        }
    }
}

TEST_F(ScalectlUploadTest, RefusalsAndBadArgumentsLeaveAnExistingFileAlone) {
    ASSERT_TRUE(writeFile(out, "keep me\r\n"));
    const struct {
        QStringList args;
        int exitCode;
        const char* stdoutText;
        const char* stderrSays;
    } cases[] = {
        {args({"upload", "plu", out, "--port", "sim", "--one", "0"}), 1, "PLU No is not valid\n",
         ""},
        {args({"upload", "plu", out, "--port", "sim", "--one", "601"}), 1, "PLU No is not valid\n",
         ""},
        {args({"upload", "plu", out, "--port", "sim", "--one", "abc"}), 1, "PLU No is not valid\n",
         ""},
        {args({"upload", "plu", out}), 2, "", "--port PORT is required"},
        {args({"upload", "ingred", out, "--port", "sim"}), 2, "", "only the PLU table"},
        {args({"upload", "plu", out, "--port", "sim", "--one", "2", "--all"}), 2, "", "not both"},
        {args({"upload", "plu", out, "--port", "sim", "--fast"}), 2, "", "unknown option"},
        {args({"upload", "plu", out, "--port", "/nonexistent/tty"}), 1, "",
         "cannot open /nonexistent/tty"},
        {args({"upload", "plu", dir.filePath(QStringLiteral("no/such/folder.plu")), "--port",
               "sim"}),
         3, "", "no such folder"},
        // A folder that takes no new file is found out before the port is even opened.
        {args({"upload", "plu", "/proc/scalectl-test.plu", "--port", "/nonexistent/tty"}), 3, "",
         "cannot write \"/proc/scalectl-test.plu\": its folder does not take new files"},
    };
    for (const auto& c : cases) {
        const std::string what = c.args.join(' ').toStdString();
        const Outcome run = scalectl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << what << "\n" << run.err.toStdString();
        EXPECT_EQ(run.out, QString::fromLatin1(c.stdoutText)) << what;
        EXPECT_TRUE(run.err.contains(QLatin1String(c.stderrSays))) << what;
    }
    EXPECT_EQ(readFile(out), QByteArray("keep me\r\n"));
}

// One PLU is written as the only line of the file, and its trace holds every step.
TEST_F(ScalectlUploadTest, OnePluWithATraceAndAnUnwritableTraceStopsBeforeThePort) {
    Simulator scale({QStringLiteral("--load-plu"), stock});
    ASSERT_FALSE(scale.port().isEmpty());
    const QString trace = dir.filePath(QStringLiteral("line.txt"));
    Outcome run = scalectl(
        args({"upload", "plu", out, "--port", scale.port(), "--one", "3", "--trace", trace}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("plu#3 is received\n"));
    EXPECT_EQ(trimmedNames(recordsOf(out)),
              std::vector<PluRecord>{trimmedNames(recordsOf(stock))[2]});
    // "  0.004 /dev/pts/5 reply           <  00 03 00 03 ... 10": the step, the direction,
    // the bytes.
    const QRegularExpression format(
        QStringLiteral("^ *\\d+\\.\\d{3} (\\S+) (\\S+) +([<>*])  (.*)$"));
    QStringList steps;
    QString reply;
    for (const QString& line : QString::fromUtf8(readFile(trace)).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = format.match(line);
        if (!match.hasMatch())
            continue;
        EXPECT_EQ(match.captured(1), scale.port());
        steps << match.captured(2) + QLatin1Char(' ') + match.captured(3);
        if (match.captured(2) == QLatin1String("reply"))
            reply = match.captured(4);
    }
    EXPECT_EQ(steps, (QStringList{"sync >", "sync <", "command >", "command <", "number >",
                                  "reply <", "reopen *"}));
    EXPECT_TRUE(reply.startsWith(QLatin1String("00 03 00 03 "))) << reply.toStdString();
    EXPECT_TRUE(reply.endsWith(QLatin1String(" 10"))) << reply.toStdString();
    EXPECT_EQ(reply.size(), 77 * 3 - 1);

    // A number the scale does not hold is no failure: the file is written, empty.
    run = scalectl(args({"upload", "plu", out, "--port", scale.port(), "--one", "9"}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("PLU is not exist\n"));
    EXPECT_EQ(readFile(out), QByteArray());

    // A trace file that cannot be written ends the command before the port is opened.
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/line.txt"));
    for (const QStringList& refused :
         {args({"upload", "plu", out, "--port", "/nonexistent/tty", "--trace", unwritable}),
          args({"compare", "plu", stock, "--port", "/nonexistent/tty", "--trace", unwritable})}) {
        const Outcome stopped = scalectl(refused);
        EXPECT_EQ(stopped.exitCode, 3) << stopped.err.toStdString();
        EXPECT_TRUE(stopped.err.contains(QLatin1String("cannot write the trace file")))
            << stopped.err.toStdString();
    }
}
