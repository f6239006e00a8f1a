// scalectl display against scalectl simulate, over a real pseudo-terminal and over TCP, with
// the scale's faults and without.

#include "support/ScalectlProcess.h"

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;
using scalectl_process::Simulator;

QStringList displayAt(const QString& port) {
    return {QStringLiteral("display"), QStringLiteral("--port"), port};
}

} // namespace

// Over a pseudo-terminal the line survives the port being closed; over TCP one connection
// follows another. SIGTERM ends the simulator cleanly.
TEST(ScalectlSimulatorTest, DisplayTwiceOverAPseudoTerminalAndOverTcp) {
    const struct {
        QStringList args;
        const char* portStart;
        QString shown;
    } scales[] = {
        {{"--pty", "--baud", "9600"}, "/dev/", QStringLiteral("1250 899 1124\n")},
        {{"--tcp", "127.0.0.1:0", "--display", "0,4294967295,2147483648"},
         "tcp://127.0.0.1:",
         QStringLiteral("0 4294967295 2147483648\n")},
    };
    for (const auto& scale : scales) {
        Simulator simulator(scale.args);
        ASSERT_TRUE(simulator.port().startsWith(QLatin1String(scale.portStart)))
            << simulator.port().toStdString();
        for (int round = 0; round < 2; ++round) {
            const Outcome run = scalectl(displayAt(simulator.port()));
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_EQ(run.out, scale.shown);
        }
        EXPECT_EQ(simulator.stop(), 0);
    }
}

TEST(ScalectlSimulatorTest, BadArgumentsAreUsageErrorsAndUnreadableFilesFileErrors) {
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{QStringLiteral("simulate")}, 2, "exactly one of --pty"},
        {{QStringLiteral("simulate"), QStringLiteral("--pty"), QStringLiteral("--tcp"),
          QStringLiteral("127.0.0.1:0")},
         2,
         "exactly one of --pty"},
        {{QStringLiteral("simulate"), QStringLiteral("--pty"), QStringLiteral("--fault"),
          QStringLiteral("sync@4")},
         2,
         "use #EXCHANGE"},
        {{QStringLiteral("simulate"), QStringLiteral("--pty"), QStringLiteral("--display"),
          QStringLiteral("1,2")},
         2,
         "three numbers"},
        {{QStringLiteral("simulate"), QStringLiteral("--tcp"), QStringLiteral("nowhere")},
         2,
         "HOST:PORT"},
        {{QStringLiteral("simulate"), QStringLiteral("--pty"), QStringLiteral("--load-plu"),
          QStringLiteral("/nonexistent/x.plu")},
         3,
         "x.plu"},
        {{QStringLiteral("display")}, 2, "--port PORT is required"},
        {{QStringLiteral("display"), QStringLiteral("--port"), QStringLiteral("/nonexistent/tty")},
         1,
         "cannot open /nonexistent/tty"},
    };
    for (const auto& c : cases) {
        const Outcome run = scalectl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.says)))
            << c.args.join(' ').toStdString() << ": " << run.err.toStdString();
    }
}

TEST(ScalectlSimulatorTest, HelpDocumentsTheFaultSyntax) {
    const Outcome run = scalectl({QStringLiteral("simulate"), QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QLatin1String("KIND[@NUMBER|#EXCHANGE][:COUNT]")));
    for (const char* kind :
         {"sync", "command", "echo", "ack", "silence", "endbyte", "short", "long", "stray"})
        EXPECT_TRUE(run.out.contains(QLatin1String("  ") + QLatin1String(kind) + QLatin1Char(' ')))
            << kind;
}

// Each display fault once, then none: what scalectl prints for each.
TEST(ScalectlSimulatorTest, DisplayFaultsExitOneAndSayWhatCame) {
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
        const Outcome run = scalectl(displayAt(scale.port()));
        EXPECT_EQ(run.exitCode, expected.exitCode) << run.err.toStdString();
        EXPECT_EQ(run.out, expected.out);
        if (!expected.err.isEmpty() || expected.exitCode == 0) {
            EXPECT_EQ(run.err, expected.err);
        }
    }
}
