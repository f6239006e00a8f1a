// The list file of the store's scales and the report of a run over several scales.

#include "jobs/ScaleList.h"
#include "jobs/JobReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScaleList, ReadsWhatTheWindowWritesAndSaysWhichLineIsWrong) {
    const QList<ScaleEntry> shop{
        {"Meat counter", "COM1"}, {"Käse", "tcp://10.0.0.5:4001"}, {"Deli", "/dev/ttyUSB0"}};
    EXPECT_EQ(parseScaleList(formatScaleList(shop)).scales, shop);

    const struct {
        const char* text;
        QList<ScaleEntry> scales;
        const char* error;
    } cases[] = {
        {"\xEF\xBB\xBF# notes\r\n\r\n  Meat = COM1 \r\nDeli=sim\n",
         {{"Meat", "COM1"}, {"Deli", "sim"}},
         ""},
        {"Meat = tcp://host:1 # not a note", {{"Meat", "tcp://host:1 # not a note"}}, ""},
        {"Meat = COM1\nDeli COM2\n", {}, "line 2: expected NAME = PORT, not \"Deli COM2\""},
        {"Meat = COM1\nmeat = COM2\n", {}, "line 2: There is a scale named Meat already"},
        {"Meat = COM1\nDeli = COM1\n", {}, "line 2: The scale Meat is on port COM1 already"},
        {"# a\n = COM1\n", {}, "line 2: The scale needs a name"},
        {"Meat =\n", {}, "line 1: The scale needs a port"},
    };
    for (const auto& c : cases) {
        const ScaleListResult result = parseScaleList(QByteArray(c.text));
        EXPECT_EQ(result.scales, c.scales) << c.text;
        EXPECT_EQ(result.error, QString::fromUtf8(c.error)) << c.text;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scales.txt"));
    EXPECT_EQ(writeScaleList(path, shop), QString());
    EXPECT_EQ(readScaleList(path).scales, shop);
    EXPECT_EQ(writeScaleList(path, {}), QString());
    EXPECT_EQ(readScaleList(path).error, QStringLiteral("it names no scale"));
    EXPECT_FALSE(readScaleList(dir.filePath(QStringLiteral("none.txt"))).ok());
}

TEST(JobReport, EachScaleAndTheRunFailWhenOneScaleDidNotSucceed) {
    JobResult done;
    done.state = JobState::Done;
    done.rowsDone = done.rowsTotal = 600;
    done.retries = 2;
    done.lastText = QStringLiteral(" THE END ");
    JobResult cancelled = done;
    cancelled.state = JobState::Cancelled;
    cancelled.ending = {Outcome::Cancelled, QStringLiteral("Cancel")};
    cancelled.rowsDone = 17;

    for (const bool oneCancelled : {false, true}) {
        const QList<ScaleReportEntry> run{{{"Meat", "COM1"}, done},
                                          {{"Deli", "COM2"}, oneCancelled ? cancelled : done}};
        const QJsonObject report =
            QJsonDocument::fromJson(
                jobReportJson(QStringLiteral("download plu"), QStringLiteral("shop.plu"), run))
                .object();
        EXPECT_EQ(report[QStringLiteral("exitStatus")].toInt(), oneCancelled ? 1 : 0);
        EXPECT_EQ(exitStatusOf(run), oneCancelled ? 1 : 0);
        const QJsonObject deli = report[QStringLiteral("scales")].toArray()[1].toObject();
        EXPECT_EQ(deli[QStringLiteral("name")].toString(), QStringLiteral("Deli"));
        EXPECT_EQ(deli[QStringLiteral("state")].toString(),
                  oneCancelled ? QStringLiteral("cancelled") : QStringLiteral("done"));
        EXPECT_EQ(deli[QStringLiteral("outcome")].toString(),
                  oneCancelled ? QStringLiteral("cancelled") : QStringLiteral("done"));
        EXPECT_EQ(deli[QStringLiteral("reason")].toString(),
                  oneCancelled ? QStringLiteral("Cancel") : QString());
        EXPECT_EQ(deli[QStringLiteral("rowsSent")].toInt(), oneCancelled ? 17 : 600);
        EXPECT_EQ(deli[QStringLiteral("retries")].toInt(), 2);
        EXPECT_EQ(deli[QStringLiteral("finalText")].toString(), QStringLiteral(" THE END "));
        EXPECT_EQ(deli[QStringLiteral("exitStatus")].toInt(), oneCancelled ? 1 : 0);
    }
}

} // namespace
