// scalectl download against scalectl simulate over a real pseudo-terminal; what reached the
// simulated scale is read back from its --dump file.

#include "files/TableFileCommands.h"
#include "protocol/IngredWireRecord.h"
#include "protocol/PluWireRecord.h"
#include "support/ScalectlProcess.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;
using scalectl_process::Simulator;
using scalectl_process::Started;

class DownloadCommand : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& content) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            ADD_FAILURE() << "cannot write " << name;
        return path;
    }
    QString dumpPath() const { return dir.filePath(QStringLiteral("scale.dump")); }

    // A `scalectl simulate --pty --dump FILE`; stopping it yields what the scale held.
    Simulator startScale(const QStringList& extra = {}) const {
        return Simulator(QStringList{"--pty", "--dump", dumpPath()} + extra);
    }

    // Ends the scale with SIGTERM and reads its dump: "plu 12" -> record bytes.
    QMap<QString, QByteArray> stopAndReadDump(Simulator& scale) const {
        return scale.stop() == 0 ? readDump() : QMap<QString, QByteArray>();
    }

    // What a scale that has ended held.
    QMap<QString, QByteArray> readDump() const {
        QMap<QString, QByteArray> records;
        QFile file(dumpPath());
        if (!file.open(QIODevice::ReadOnly))
            return records;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3)
                records.insert(QString::fromLatin1(parts[0] + ' ' + parts[1]),
                               QByteArray::fromHex(parts[2]));
        }
        return records;
    }

    QTemporaryDir dir;
};

const QByteArray kPluFile = "11,305419896,\"Pear\",\"Conference, ripe\",1500,7,300,1,0\r\n"
                            "12,1012,\"Caf\xE9 cr\xE8me\",\" \",250,3,0,2,1\r\n"
                            "13,1013,\"Walnut bread with a long description\",\" \",425,3,20,2,"
                            "2\r\n";

const QByteArray kIngredFile = "31,\"Wheat flour\",\"water\",\" \",\" \"\r\n"
                               "32,\"Contains nuts\",\"Store dry\",\"Best before: see pack\","
                               "\" \"\r\n";

} // namespace

TEST_F(DownloadCommand, EveryPluRowReachesTheScaleAsItsWireRecord) {
    const QString file = write("shop.plu", kPluFile);
    Simulator simulator = startScale();
    ASSERT_TRUE(simulator.port().startsWith(QLatin1String("/dev/")));

    // Its texts and exit code are the Done row's below; the record layout is the wire
    // record's test.
    ASSERT_EQ(scalectl({"download", "plu", file, "--port", simulator.port()}).exitCode, 0);
    const QMap<QString, QByteArray> held = stopAndReadDump(simulator);
    auto table = std::make_unique<PluTable>();
    table->reset();
    ASSERT_TRUE(openTable(*table, file).ok);
    for (int row = 1; row <= 3; ++row) {
        const QString key = QStringLiteral("plu %1").arg(10 + row);
        ASSERT_TRUE(held.contains(key)) << key.toStdString();
        EXPECT_EQ(held[key], plu_wire::encode(table->records[row]).bytes) << row;
    }
}

TEST_F(DownloadCommand, ARangeOfIngredientMessagesAndARecoveredWrongEcho) {
    const QString file = write("shop.ingred", kIngredFile);
    Simulator simulator = startScale({"--fault", "echo@32"});
    const Outcome run =
        scalectl({"download", "ingred", file, "--port", simulator.port(), "--range", "2-2"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Message Count is 2\nMessage # is not same\nRetry #1\n"
                                      "Message#2 is transfered\n THE END \n"));

    const QMap<QString, QByteArray> held = stopAndReadDump(simulator);
    EXPECT_FALSE(held.contains(QStringLiteral("ingred 31")));
    const QByteArray message = held.value(QStringLiteral("ingred 32"));
    ASSERT_EQ(message.size(), 400);
    EXPECT_EQ(message.left(50), QByteArray("Contains nuts").leftJustified(50, ' '));
    EXPECT_EQ(message.mid(100, 50), QByteArray("Best before: see pack").leftJustified(50, ' '));
    EXPECT_EQ(message.mid(200), QByteArray(200, ' '));
}

namespace {

// How the run ends when the operator or the line stops it half-way.
enum class Stop { None, Sigint, Sigterm, ScaleEnds };

// One way a download with one scale ends: `scalectl download plu FILE --port PORT OPTIONS`
// against a `scalectl simulate SCALE --dump` (none: PORT is a missing device), stopped or not,
// and what it leaves: the exit code, stdout and stderr to the letter ("{port}" stands for PORT,
// "{dir}" for the test's folder), and the PLU numbers the scale holds.
struct DownloadEnding {
    const char* name;
    const char* scale;
    const char* file;
    const char* options;
    Stop stop; // after row 1 went across (the scale ends after row 2's first retry)
    int exitCode;
    QString out;
    const char* err;
    const char* held;
};

void PrintTo(const DownloadEnding& ending, std::ostream* out) {
    *out << ending.name;
}

const QString kThreeRows = QStringLiteral("PLU Count is 3\n");
const QString kFirstRowSent = kThreeRows + QStringLiteral("plu#1 is transfered\n");

QString gaveUpOnTheEcho() {
    QString text = kThreeRows;
    for (int retry = 1; retry <= 5; ++retry)
        text += QStringLiteral("PLU # is not same\nRetry #%1\n").arg(retry);
    return text + QStringLiteral("PLU # is not same\n");
}

const DownloadEnding kDownloadEndings[] = {
    {"Done", "--pty", "shop.plu", "", Stop::None, 0,
     kFirstRowSent + "plu#2 is transfered\nplu#3 is transfered\n THE END \n", "",
     "1 2 3 4 5 11 12 13"},
    {"DoneWithAnEmptyRange", "--pty", "shop.plu", "--range 3-1", Stop::None, 0,
     kThreeRows + " THE END \n", "", "1 2 3 4 5"},
    {"RefusedOneOutsideTheFile", "--pty", "shop.plu", "--one 4", Stop::None, 1,
     kThreeRows + "PLU Range is not valid\n", "", "1 2 3 4 5"},
    {"RefusedRangeFromZero", "--pty", "shop.plu", "--range 0-2", Stop::None, 1,
     kThreeRows + "PLU Range is not valid\n", "", "1 2 3 4 5"},
    {"RefusedRowOutOfRange", "--pty", "bad.plu", "", Stop::None, 1,
     "PLU Count is 1\nPLU row 1: Tare -1 cannot be sent: it must lie between 0 and 32767\n", "",
     "1 2 3 4 5"},
    // Onto a scale that holds nothing: the zero bytes that completed each frame are not stored
    // as a record.
    {"GaveUpOnTheEchoOverTcp", "--tcp 127.0.0.1:0 --load-plu {dir}/empty.plu --fault echo:*",
     "shop.plu", "", Stop::None, 1, gaveUpOnTheEcho(), "", ""},
    // Ended while the scale is silent on row 2's number: its retries do not reopen the port.
    {"PortLostWhenTheScaleEnds", "--tcp 127.0.0.1:0 --fault silence@12:*", "shop.plu", "",
     Stop::ScaleEnds, 1,
     kFirstRowSent + "PLU # is not same\nRetry #1\nTransfer stopped on port {port}: the device "
                     "server closed the connection\n",
     "", "1 2 3 4 5 11"},
    {"CouldNotOpen", "", "shop.plu", "", Stop::None, 1, kThreeRows,
     "scalectl download: cannot open {port}: {port}: No such file or directory\n", ""},
    // No echo for row 2: the rows sent stay on the scale.
    {"CancelledByCtrlC", "--pty --fault silence@12:*", "shop.plu", "", Stop::Sigint, 1,
     kFirstRowSent + "Transfer cancelled\n", "", "1 2 3 4 5 11"},
    {"CancelledBySigterm", "--pty --fault silence@12:*", "shop.plu", "", Stop::Sigterm, 1,
     kFirstRowSent + "Transfer cancelled\n", "", "1 2 3 4 5 11"},
};

class DownloadEnds : public DownloadCommand, public ::testing::WithParamInterface<DownloadEnding> {
protected:
    QStringList words(const char* text) const {
        return QString::fromLatin1(text)
            .replace(QLatin1String("{dir}"), dir.path())
            .split(u' ', Qt::SkipEmptyParts);
    }
};

} // namespace

TEST_P(DownloadEnds, WithItsExitCodeTextsAndWhatTheScaleHolds) {
    const DownloadEnding& ending = GetParam();
    write("shop.plu", kPluFile);
    write("bad.plu", "1,1,\"A\",\" \",1,0,-1,0,0\r\n");
    write("empty.plu", {});
    std::unique_ptr<Simulator> scale;
    QString port = dir.filePath(QStringLiteral("no-tty"));
    if (*ending.scale) {
        scale =
            std::make_unique<Simulator>(QStringList{"--dump", dumpPath()} + words(ending.scale));
        port = scale->port();
        ASSERT_FALSE(port.isEmpty());
    }

    Started download(
        QStringList{"download", "plu", dir.filePath(QLatin1String(ending.file)), "--port", port} +
        words(ending.options));
    if (ending.stop != Stop::None) {
        ASSERT_TRUE(download.waitForLine(ending.stop == Stop::ScaleEnds
                                             ? QStringLiteral("Retry #1")
                                             : QStringLiteral("plu#1 is transfered")));
        const bool stopped = ending.stop == Stop::ScaleEnds
                                 ? scale->stop() == 0
                                 : download.signal(ending.stop == Stop::Sigint ? SIGINT : SIGTERM);
        ASSERT_TRUE(stopped);
    }
    const Outcome run = download.finish();
    EXPECT_EQ(run.exitCode, ending.exitCode);
    EXPECT_EQ(run.out, QString(ending.out).replace(QLatin1String("{port}"), port));
    EXPECT_EQ(run.err, QString::fromLatin1(ending.err).replace(QLatin1String("{port}"), port));
    if (scale) {
        if (ending.stop != Stop::ScaleEnds) {
            ASSERT_EQ(scale->stop(), 0);
        }
        QStringList held;
        for (const QString& number : words(ending.held))
            held << QStringLiteral("plu ") + number;
        held.sort(); // as the dump lists them
        EXPECT_EQ(readDump().keys(), held);
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, DownloadEnds, ::testing::ValuesIn(kDownloadEndings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadCommand, UnreadableFilesBadArgumentsAndDeadPorts) {
    const QString plu = write("shop.plu", kPluFile);
    const QString missing = dir.filePath(QStringLiteral("missing.plu"));

    Outcome run = scalectl({"download", "plu", missing, "--port", "sim"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QLatin1String("missing.plu"))) << run.err.toStdString();

    const QStringList usage[] = {
        {"download", "plu", plu},
        {"download", "prices", plu, "--port", "sim"},
        {"download", "plu", plu, "--port", "sim", "--one", "1", "--all"},
        {"download", "plu", plu, "--port", "sim", "--range", "7"},
        {"download", "plu", plu, "--port", "sim", "--fast"},
        {"download", "plu", "--port", "sim"},
    };
    for (const QStringList& args : usage) {
        run = scalectl(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }

    // The simulated scale inside scalectl takes the rows, too.
    run = scalectl({"download", "plu", plu, "--port", "sim", "--range", " 1 - 2.5 "});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("PLU Count is 3\nplu#1 is transfered\nplu#2 is transfered\n"
                                      " THE END \n"));
}

// A read-back the scale keeps spoiling ends a download that was sent with exit status 1; the
// rows stay on the scale.
TEST_F(DownloadCommand, AVerifyTheScaleCannotAnswerFailsTheChecks) {
    const QString file = write("shop.plu", kPluFile);
    Simulator simulator = startScale({"--fault", "endbyte#4:*"}); // after the three rows
    const Outcome run = scalectl({"download", "plu", file, "--port", simulator.port(), "--verify"});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("PLU Count is 3\nplu#1 is transfered\nplu#2 is transfered\n"
                                      "plu#3 is transfered\n THE END \nSyncOK error\nRetry #1\n"
                                      "SyncOK error\nRetry #2\nSyncOK error\nRetry #3\n"
                                      "SyncOK error\nRetry #4\nSyncOK error\n"
                                      "Verify failed: SyncOK error\n"));
    EXPECT_EQ(stopAndReadDump(simulator).keys(), (QStringList{"plu 1", "plu 11", "plu 12", "plu 13",
                                                              "plu 2", "plu 3", "plu 4", "plu 5"}));
}
