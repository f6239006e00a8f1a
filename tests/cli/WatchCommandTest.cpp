// scalectl watch end to end: files dropped into the inbox reach a simulated scale over a
// pseudo-terminal, a file that cannot be read sends nothing, and a stop (SIGTERM or a
// kill -9) never loses a file.

#include "support/ScalectlProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

using scalectl_process::Outcome;
using scalectl_process::readFile;
using scalectl_process::Simulator;
using scalectl_process::Started;
using scalectl_process::writeFile;

// A PLU file of `rows` rows; row `badLine` (from 1), if any, has a price that is no number.
QByteArray pluFile(int rows, int badLine = 0) {
    QByteArray text;
    for (int n = 1; n <= rows; ++n)
        text += QStringLiteral("%1,%2,\"Item %1\",\" \",%3,3,0,1,0\r\n")
                    .arg(n)
                    .arg(7000 + n)
                    .arg(n == badLine ? QStringLiteral("12x") : QString::number(100 + n))
                    .toLatin1();
    return text;
}

class WatchCommand : public testing::Test {
protected:
    QString inbox() const { return dir_.filePath(QStringLiteral("inbox")); }

    // Written beside the inbox, then renamed in: complete the moment it appears.
    void drop(const QString& name, const QByteArray& content) {
        const QString part = dir_.filePath(name + QStringLiteral(".part"));
        ASSERT_TRUE(writeFile(part, content));
        ASSERT_TRUE(QFile::rename(part, inbox() + QLatin1Char('/') + name));
    }

    QJsonObject result(const QString& folder, const QString& name) const {
        return QJsonDocument::fromJson(
                   readFile(inbox() + QStringLiteral("/%1/%2.result.json").arg(folder, name)))
            .object();
    }

    std::unique_ptr<Started> watch(const QString& port) {
        auto started = std::make_unique<Started>(QStringList{"watch", inbox(), "--port", port});
        EXPECT_TRUE(started->waitForStampedLine(
            QStringLiteral("Watching %1 for the 1 scale(s) of the list").arg(inbox())));
        return started;
    }

    QTemporaryDir dir_;
    bool made_ = QDir(dir_.path()).mkdir(QStringLiteral("inbox"));
};

TEST_F(WatchCommand, ABadFileSendsNothingAGoodOneReachesTheScale) {
    // The scale answers its first sync wrongly: whichever file sends first meets a retry.
    Simulator scale({"--pty", "--fault", "sync#1"});
    ASSERT_FALSE(scale.port().isEmpty());
    const auto watching = watch(scale.port());

    drop(QStringLiteral("a-bad.plu"), pluFile(9, 7));
    ASSERT_TRUE(watching->waitForStampedLine(
        QStringLiteral("a-bad.plu: moved to %1/failed/a-bad.plu").arg(inbox())));
    const QJsonObject bad = result(QStringLiteral("failed"), QStringLiteral("a-bad.plu"));
    EXPECT_TRUE(bad.value("reason").toString().contains("line 7"))
        << bad.value("reason").toString().toStdString();
    EXPECT_EQ(bad.value("exitStatus"), 3);

    drop(QStringLiteral("b-good.plu"), pluFile(3));
    ASSERT_TRUE(watching->waitForStampedLine(
        QStringLiteral("b-good.plu: moved to %1/done/b-good.plu").arg(inbox())));
    const QJsonObject good = result(QStringLiteral("done"), QStringLiteral("b-good.plu"));
    const QJsonObject meat = good.value("scales")[0].toObject();
    EXPECT_EQ(meat.value("rowsSent"), 3);
    // The retry is the good file's: the bad one sent no sync byte.
    EXPECT_EQ(meat.value("retries"), 1);
    EXPECT_EQ(meat.value("rows")[2].toObject().value("outcome"), "sent");

    ASSERT_TRUE(watching->signal(SIGTERM));
    const Outcome ended = watching->finish();
    EXPECT_EQ(ended.exitCode, 0) << ended.err.toStdString();
    EXPECT_TRUE(QDir(inbox()).entryList(QDir::Files).isEmpty());
}

TEST_F(WatchCommand, AStoppedOrKilledSendLeavesTheFileToBeSentOnTheNextStart) {
    Simulator scale({"--pty", "--baud", "9600"}); // 600 rows take seconds
    ASSERT_FALSE(scale.port().isEmpty());
    const QString taken = QStringLiteral("prices.plu: taken");
    drop(QStringLiteral("prices.plu"), pluFile(600));

    auto first = watch(scale.port());
    ASSERT_TRUE(first->waitForStampedLine(QStringLiteral("prices.plu: PLU Count is 600")));
    ASSERT_TRUE(first->signal(SIGTERM));
    const Outcome stopped = first->finish();
    EXPECT_EQ(stopped.exitCode, 0) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.out.contains(QStringLiteral(": cancelled, "))) << stopped.out.toStdString();
    // Every line is an event after its time: "2026-12-09T20:38:36Z prices.plu: taken".
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ [^\\n]+\\n)+$"))
                    .match(stopped.out)
                    .hasMatch())
        << stopped.out.toStdString();
    EXPECT_TRUE(stopped.out.endsWith(QStringLiteral(
        "prices.plu: stopped; it stays in the inbox and is sent again on the next start\n")))
        << stopped.out.toStdString();

    auto second = watch(scale.port());
    ASSERT_TRUE(second->waitForStampedLine(taken));
    ASSERT_TRUE(second->signal(SIGKILL));
    second->finish();
    EXPECT_TRUE(QFile::exists(inbox() + QStringLiteral("/prices.plu")));

    auto third = watch(scale.port());
    ASSERT_TRUE(third->waitForStampedLine(
        QStringLiteral("prices.plu: moved to %1/done/prices.plu").arg(inbox())));
    const QJsonObject sent = result(QStringLiteral("done"), QStringLiteral("prices.plu"));
    EXPECT_EQ(sent.value("scales")[0].toObject().value("rowsSent"), 600);
}

} // namespace
