// scalectl status: each scale's answer, as lines and as JSON, and the exit code.

#include "support/ScalectlProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;

const QString kMissing = QStringLiteral("/dev/no-such-scale");

TEST(StatusCommand, EachScaleSaysWhetherItAnswersItsLastSendAndTheExitCodeSumsUp) {
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("journal.sqlite"));
    const Outcome one = scalectl({"status", "--port", "sim", "--journal", journal});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(one.out, QStringLiteral("sim: answers (1250 899 1124)\n")); // no journal yet

    const QString file = dir.filePath(QStringLiteral("one.plu"));
    ASSERT_TRUE(scalectl_process::writeFile(file, "7,70,\"Seven\",\" \",700,1,0,1,0\r\n"));
    ASSERT_EQ(scalectl({"download", "plu", file, "--port", "sim", "--journal", journal}).exitCode,
              0);
    const Outcome sent = scalectl({"status", "--port", "sim", "--journal", journal});
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^sim: answers \\(1250 899 1124\\); last send "
                                                  "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\\n$"))
                    .match(sent.out)
                    .hasMatch())
        << sent.out.toStdString();

    const Outcome two =
        scalectl({"status", "--port", "sim", "--port", kMissing, "--journal", journal});
    EXPECT_EQ(two.exitCode, 1);
    EXPECT_TRUE(two.out.endsWith(QStringLiteral("\n%1: does not answer: cannot open port %1: No "
                                                "such file or directory\n")
                                     .arg(kMissing)))
        << two.out.toStdString();

    const Outcome json =
        scalectl({"status", "--port", "sim", "--port", kMissing, "--json", "--journal", journal});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonArray scales =
        QJsonDocument::fromJson(json.out.toUtf8()).object().value("scales").toArray();
    ASSERT_EQ(scales.size(), 2);
    EXPECT_EQ(scales[0].toObject().value("answers"), true);
    EXPECT_TRUE(scales[0].toObject().value("lastError").isNull());
    EXPECT_TRUE(scales[0].toObject().value("lastSend").isString());
    EXPECT_EQ(scales[1].toObject().value("answers"), false);
    EXPECT_EQ(scales[1].toObject().value("port"), kMissing);

    EXPECT_EQ(scalectl({"status"}).exitCode, 2);
}

} // namespace
