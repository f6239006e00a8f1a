// scalectl download and display over several scales at once: two simulated scales (one on a
// pseudo-terminal that fails the first sync, one over TCP) and a port that does not exist.

#include "support/ScalectlProcess.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::readFile;
using scalectl_process::scalectl;
using scalectl_process::Simulator;
using scalectl_process::writeFile;

} // namespace

TEST(ManyScalesCommand, EveryScaleRunsAtOnceWithItsNameAndTheReportSaysWhichFailed) {
    QTemporaryDir dir;
    const QString plu = dir.filePath(QStringLiteral("shop.plu"));
    ASSERT_TRUE(writeFile(plu, "11,1011,\"Pear\",\" \",1500,7,300,1,0\r\n"
                               "12,1012,\"Plum\",\" \",250,3,0,2,1\r\n"));
    Simulator meat(QStringList{"--pty", "--fault", "sync:1"});
    Simulator cheese(QStringList{"--tcp", "127.0.0.1:0"});
    const QString list = dir.filePath(QStringLiteral("scales.txt"));
    ASSERT_TRUE(writeFile(list, "\xEF\xBB\xBF" + QStringLiteral("# the counters\r\nMeat = "
                                                                "%1\r\n\r\nCheese=%2\n")
                                                     .arg(meat.port(), cheese.port())
                                                     .toUtf8()));
    const QString report = dir.filePath(QStringLiteral("r.json"));
    const QString trace = dir.filePath(QStringLiteral("line.log"));

    const Outcome sent = scalectl({"download", "plu", plu, "--scales", list, "--port",
                                   "/dev/no-such-scale", "--report", report, "--trace", trace});
    EXPECT_EQ(sent.exitCode, 1) << sent.err.toStdString();
    for (const char* line :
         {"Meat: Sync error PLU No : 1\nMeat: Retry #1\n",
          "Meat: plu#2 is transfered\nMeat:  THE END \n", "Cheese: plu#1 is transfered\n",
          "Cheese:  THE END \n", "/dev/no-such-scale: cannot open port /dev/no-such-scale"})
        EXPECT_TRUE(sent.out.contains(QString::fromLatin1(line))) << line << "\n"
                                                                  << sent.out.toStdString();
    EXPECT_TRUE(sent.err.contains(QStringLiteral("1 of 3 scales did not succeed")));

    // One trace for all: every line names its port, and each scale's records went out.
    QFile traced(trace);
    ASSERT_TRUE(traced.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(traced.readAll()).split(u'\n');
    for (const QString& port : {meat.port(), cheese.port()})
        EXPECT_EQ(lines
                      .filter(QRegularExpression(
                          QStringLiteral(" %1 +record +> ").arg(QRegularExpression::escape(port))))
                      .size(),
                  2)
            << port.toStdString();

    const QJsonObject json = QJsonDocument::fromJson(readFile(report)).object();
    EXPECT_EQ(json[QStringLiteral("exitStatus")].toInt(), 1);
    const QJsonArray scales = json[QStringLiteral("scales")].toArray();
    ASSERT_EQ(scales.size(), 3);
    struct Expected {
        const char* name;
        const char* state;
        const char* outcome;
        int rowsSent, retries, exitStatus;
    };
    const Expected expected[] = {{"Meat", "done", "done", 2, 1, 0},
                                 {"Cheese", "done", "done", 2, 0, 0},
                                 {"/dev/no-such-scale", "failed", "could not open", 0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject scale = scales[i].toObject();
        EXPECT_EQ(scale[QStringLiteral("name")].toString(), QString::fromUtf8(expected[i].name));
        EXPECT_EQ(scale[QStringLiteral("state")].toString(), QString::fromUtf8(expected[i].state));
        EXPECT_EQ(scale[QStringLiteral("outcome")].toString(),
                  QString::fromUtf8(expected[i].outcome));
        // The system's reason why the port could not be opened; none for a scale that is done.
        EXPECT_EQ(scale[QStringLiteral("reason")].toString().isEmpty(),
                  expected[i].exitStatus == 0);
        EXPECT_EQ(scale[QStringLiteral("rowsSent")].toInt(), expected[i].rowsSent);
        EXPECT_EQ(scale[QStringLiteral("rowsTotal")].toInt(), 2);
        EXPECT_EQ(scale[QStringLiteral("retries")].toInt(), expected[i].retries);
        EXPECT_EQ(scale[QStringLiteral("exitStatus")].toInt(), expected[i].exitStatus);
    }

    const Outcome shown = scalectl({"display", "--port", meat.port(), "--scales", list});
    EXPECT_EQ(shown.exitCode, 2); // Meat's port twice: once by name, once as --port
    const Outcome read = scalectl({"display", "--scales", list});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains(QStringLiteral("Meat: 1250 899 1124\n")))
        << read.out.toStdString();
    EXPECT_TRUE(read.out.contains(QStringLiteral("Cheese: 1250 899 1124\n")))
        << read.out.toStdString();
}
