// `scalectl serve`'s own service under the server, with a real client: the rows reach the
// scales, a busy scale refuses a second send, a cancel stops a send, and the scales' list
// says what failed last.
#include "http/JobSendService.h"
#include "http/ApiServer.h"
#include "journal/Journal.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace {

// PLUs 1 to 3 at 100, 200 and 300, or PLU 2 at `price2`; only the rows that changed if so.
QByteArray rowsJson(const QString& scales, bool changed = false, int price2 = 200) {
    QJsonArray rows;
    for (int n = 1; n <= 3; ++n)
        rows.append(QJsonObject{{"PluNo", n},
                                {"ItemCode", 1000 + n},
                                {"ItemName1", QStringLiteral("Item %1").arg(n)},
                                {"ItemName2", ""},
                                {"UnitPrice", n == 2 ? price2 : 100 * n},
                                {"ValidDate", 0},
                                {"Tare", 0},
                                {"GCode", 0},
                                {"MessageNo", 0}});
    QJsonObject body{{"rows", rows}, {"changed", changed}};
    if (!scales.isEmpty())
        body.insert("scales", QJsonArray::fromStringList(scales.split(',')));
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

class JobSendServiceTest : public testing::Test {
protected:
    void SetUp() override {
        // Meat and Deli answer at once; Cheese never does, so its job waits for its answer
        // (seconds on the real clock) until it is cancelled.
        for (int i = 0; i < 3; ++i)
            registerLinkFactory(ports_[i], [this, i](const QString&) {
                return std::make_unique<SimLink>(scales_[i]);
            });
        scales_[2].addFaults(*parseFaults(QStringLiteral("silence:*")));
        ASSERT_EQ(server_.listen(), QString());
    }

    std::pair<int, QJsonObject> request(const QByteArray& method, const QString& path,
                                        const QByteArray& body = {}) {
        QNetworkRequest request(
            QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.port()).arg(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        QNetworkReply* reply = manager_.sendCustomRequest(request, method, body);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        EXPECT_TRUE(finished.wait(10000));
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                QJsonDocument::fromJson(reply->readAll()).object()};
    }

    QJsonObject endedJob(const QString& id) {
        QJsonObject job;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            job = request("GET", "/v1/jobs/" + id).second;
            return job.value("state") != "running";
        }));
        return job;
    }

    const std::array<QString, 3> ports_{"serve-meat", "serve-deli", "serve-cheese"};
    std::array<SimulatedScale, 3> scales_;
    RealClock clock_;
    QTemporaryDir dir_;
    QString journalError_;
    JobSendService service_{
        {{"Meat", ports_[0]}, {"Deli", ports_[1]}, {"Cheese", ports_[2]}},
        clock_,
        journal::Journal::open(dir_.filePath("journal.sqlite"), &journalError_)};
    ApiServer server_{service_, ServerSettings()};
    QNetworkAccessManager manager_;
};

TEST_F(JobSendServiceTest, SendsReachTheScalesBusyScalesRefuseCancelStops) {
    const auto [status, started] = request("POST", "/v1/plu", rowsJson("Meat,Deli"));
    ASSERT_EQ(status, 202);
    const QJsonObject done = endedJob(started.value("job").toString());
    EXPECT_EQ(done.value("state"), "done");
    EXPECT_EQ(done.value("exitStatus"), 0);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject scale = done.value("scales")[i].toObject();
        EXPECT_EQ(scale.value("outcome"), "done");
        EXPECT_EQ(scale.value("rowsSent"), 3);
        EXPECT_EQ(scale.value("finalText"), " THE END ");
        EXPECT_EQ(scales_[i].pluNumbers(), (QList<quint16>{1, 2, 3}));
    }

    const QString cheese = request("POST", "/v1/plu", rowsJson("Cheese")).second["job"].toString();
    const auto [busy, why] = request("POST", "/v1/plu", rowsJson("Cheese,Meat"));
    EXPECT_EQ(busy, 409);
    EXPECT_EQ(why.value("error"), "scale Cheese is still busy with another job");
    EXPECT_EQ(request("DELETE", "/v1/jobs/" + cheese).first, 202);
    const QJsonObject cancelled = endedJob(cheese);
    EXPECT_EQ(cancelled.value("state"), "cancelled");
    EXPECT_EQ(cancelled.value("scales")[0].toObject().value("outcome"), "cancelled");
    EXPECT_EQ(request("DELETE", "/v1/jobs/" + cheese).first, 409);
    EXPECT_EQ(request("GET", "/v1/jobs/999").first, 404);

    const QJsonArray list = request("GET", "/v1/scales").second.value("scales").toArray();
    ASSERT_EQ(list.size(), 3);
    EXPECT_TRUE(list[0].toObject().value("lastError").isNull());
    EXPECT_EQ(list[2].toObject().value("lastError"), "Transfer cancelled");
}

TEST_F(JobSendServiceTest, TheJournalKnowsWhatWasSentAndOnlyChangedRowsGoAgain) {
    const auto send = [this](bool changed, int price2) {
        const auto [status, started] =
            request("POST", "/v1/plu", rowsJson("Meat", changed, price2));
        EXPECT_EQ(status, 202);
        return endedJob(started.value("job").toString()).value("scales")[0].toObject();
    };
    EXPECT_EQ(send(false, 200).value("rowsSent"), 3);
    const QJsonObject page = request("GET", "/v1/journal?scale=Meat&limit=2").second;
    const QJsonArray entries = page.value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(page.value("more"), true);
    EXPECT_EQ(entries[0].toObject().value("number"), 3); // the newest first
    EXPECT_EQ(entries[0].toObject().value("accepted"), true);
    EXPECT_EQ(entries[1].toObject().value("record").toObject().value("UnitPrice"), 200);
    const QJsonArray scales = request("GET", "/v1/scales").second.value("scales").toArray();
    EXPECT_TRUE(scales[0].toObject().value("lastSend").isString());
    EXPECT_TRUE(scales[1].toObject().value("lastSend").isNull());

    // Nothing changed: nothing goes. PLU 2's new price: that row alone.
    const int exchanges = scales_[0].exchanges();
    const QJsonObject unchanged = send(true, 200);
    EXPECT_EQ(unchanged.value("outcome"), "done");
    EXPECT_EQ(unchanged.value("rowsTotal"), 0);
    EXPECT_EQ(scales_[0].exchanges(), exchanges);
    EXPECT_EQ(send(true, 250).value("rowsSent"), 1);
    EXPECT_EQ(scales_[0].exchanges(), exchanges + 1);
    const QJsonArray plu2 = request("GET", "/v1/journal?plu=2").second.value("entries").toArray();
    ASSERT_EQ(plu2.size(), 2);
    EXPECT_EQ(plu2[0].toObject().value("record").toObject().value("UnitPrice"), 250);
}

} // namespace
