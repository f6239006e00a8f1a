// scalectl status: each scale's answer, as lines and as JSON, and the exit code.

#include "support/ScalectlProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using scalectl_process::Outcome;
using scalectl_process::scalectl;

const QString kMissing = QStringLiteral("/dev/no-such-scale");

TEST(StatusCommand, EachScaleSaysWhetherItAnswersAndTheExitCodeSumsUp) {
    const Outcome one = scalectl({"status", "--port", "sim"});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(one.out, QStringLiteral("sim: answers (1250 899 1124)\n"));

    const Outcome two = scalectl({"status", "--port", "sim", "--port", kMissing});
    EXPECT_EQ(two.exitCode, 1);
    EXPECT_EQ(two.out, QStringLiteral("sim: answers (1250 899 1124)\n%1: does not answer: cannot "
                                      "open port %1: No such file or directory\n")
                           .arg(kMissing));

    const Outcome json = scalectl({"status", "--port", "sim", "--port", kMissing, "--json"});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonArray scales =
        QJsonDocument::fromJson(json.out.toUtf8()).object().value("scales").toArray();
    ASSERT_EQ(scales.size(), 2);
    EXPECT_EQ(scales[0].toObject().value("answers"), true);
    EXPECT_TRUE(scales[0].toObject().value("lastError").isNull());
    EXPECT_EQ(scales[1].toObject().value("answers"), false);
    EXPECT_EQ(scales[1].toObject().value("port"), kMissing);

    EXPECT_EQ(scalectl({"status"}).exitCode, 2);
}

} // namespace
