// A few faults of the matrix end to end, on the real clock: scalectl download and display
// against a scalectl simulate that misbehaves, over TCP on loopback and over a
// pseudo-terminal. What is checked: the status texts on stdout, the exit code, and what the
// scale holds when it ends (its --dump).

#include "support/ScalectlProcess.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::readFile;
using scalectl_process::scalectl;
using scalectl_process::Simulator;
using scalectl_process::writeFile;

const QByteArray kStock = "201,1001,\"Apples\",\"Braeburn\",349,7,0,1,0\r\n"
                          "202,1002,\"Bread\",\"Rye loaf\",425,3,20,2,1\r\n";

struct FaultMatrixScalectl : ::testing::Test {
    QTemporaryDir dir;
    QString stock = dir.filePath(QStringLiteral("stock.plu"));
    QString empty = dir.filePath(QStringLiteral("empty.plu"));
    QString dump = dir.filePath(QStringLiteral("scale.dump"));

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeFile(stock, kStock));
        ASSERT_TRUE(writeFile(empty, {}));
    }
};

} // namespace

TEST_F(FaultMatrixScalectl, AScaleThatNeverEchoesTheNumberOverTcpEndsTheDownloadWithNothingStored) {
    Simulator scale({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"),
                     QStringLiteral("--load-plu"), empty, QStringLiteral("--fault"),
                     QStringLiteral("echo:*"), QStringLiteral("--dump"), dump});
    ASSERT_TRUE(scale.port().startsWith(QLatin1String("tcp://"))) << scale.port().toStdString();

    const Outcome run = scalectl({QStringLiteral("download"), QStringLiteral("plu"), stock,
                                  QStringLiteral("--port"), scale.port()});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    QString expected = QStringLiteral("PLU Count is 2\n"); // the file as Open reads it
    for (int i = 1; i <= 5; ++i)
        expected += QStringLiteral("PLU # is not same\nRetry #%1\n").arg(i);
    expected += QStringLiteral("PLU # is not same\n");
    EXPECT_EQ(run.out, expected);
    scale.stop();
    // The zero bytes that completed each frame were not stored as a record.
    EXPECT_EQ(readFile(dump), QByteArray());
}

// Each display fault once, then none: what scalectl prints for each.
TEST_F(FaultMatrixScalectl, DisplayFaultsOnAPseudoTerminalExitOneAndSayWhatCame) {
    Simulator scale({QStringLiteral("--pty"), QStringLiteral("--display"),
                     QStringLiteral("1234,1000,4660"), QStringLiteral("--fault"),
                     QStringLiteral("short:1,sync#2:1,silence#3:1")});
    ASSERT_FALSE(scale.port().isEmpty());
    const QString onPort = QStringLiteral("scalectl display: the scale on %1 ").arg(scale.port());
    const struct {
        int exitCode;
        QString out;
        QString err; // checked when given; none at all when the display succeeds
    } runs[] = {
        {1, QStringLiteral("0 0 0\n"), {}}, // one byte short: zeros after the record's limit
        {1, {}, onPort + QStringLiteral("answered the sync with 0x78, not 0x77\n")},
        {1, {}, onPort + QStringLiteral("did not answer the sync with one byte within a second\n")},
        {0, QStringLiteral("1234 1000 4660\n"), QString()}, // the faults are spent
    };
    for (const auto& expected : runs) {
        const Outcome run =
            scalectl({QStringLiteral("display"), QStringLiteral("--port"), scale.port()});
        EXPECT_EQ(run.exitCode, expected.exitCode) << run.err.toStdString();
        EXPECT_EQ(run.out, expected.out);
        if (!expected.err.isEmpty() || expected.exitCode == 0) {
            EXPECT_EQ(run.err, expected.err);
        }
    }
}
