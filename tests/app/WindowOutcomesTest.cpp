// The window's single-port tabs, once per way a job can end there: every status text in order
// with the tabs disabled at each, the tabs back at the end, the port buttons, the read-out
// boxes, the table and "Source". The retry rules themselves are the fault matrix's.

#include "app/StatusBar.h"
#include "app/frmMain.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"
#include "support/DroppingLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kPort = QStringLiteral("faultsim");
const QString kLost = QStringLiteral("lost port faultsim: the cable was pulled");
const QString kStopped = QStringLiteral("Transfer stopped on port faultsim: the cable was pulled");
qint64 g_dropAfter = -1; // bytes the window's port passes before its cable is pulled

QStringList retried(const QString& failure, int retries) {
    QStringList texts = {};
    for (int n = 1; n <= retries; ++n)
        texts << failure << QStringLiteral("Retry #%1").arg(n);
    return texts << failure;
}

struct Case {
    const char* name;
    const char* button;
    QString faults = {};
    int fromExchange = 0; // the faults' "%1": the scale's exchange this many from now
    qint64 dropAfter = -1;
    const char* cancelAt = nullptr; // "Cancel" at the first wait after this text
    bool noSource = false;          // no file behind the tables: a download refuses
    bool verify = false;
    QStringList texts = {};
    QStringList boxes{"old", "old", "old"};
    bool portOpen = true;
    QString source = QStringLiteral("/data/shop.plu");
    int firstPluNo = 201; // 1: the upload replaced the operator's table
    qint64 elapsedMs = 0;
};

const Case kCases[] = {
    {.name = "Done_Upload",
     .button = "cmdPLUUpload",
     .texts = {"plu#1 is received", "plu#2 is received", "PLU is not exist"},
     .source = QStringLiteral("?"),
     .firstPluNo = 1},
    {.name = "Done_Update", .button = "cmdVFDUpdate", .boxes = {"1234", "1000", "4660"}},
    {.name = "Refused_NoFile",
     .button = "cmdPLUDownload",
     .noSource = true,
     .texts = {"ERROR! select plu files"},
     .source = QStringLiteral("?")},
    {.name = "GaveUp_IngredDownload",
     .button = "cmdINGREDDownload",
     .faults = QStringLiteral("sync:*"),
     .texts = retried(QStringLiteral("Sync error Message No : 1"), 5),
     .elapsedMs = 5 * 5000},
    {.name = "GaveUp_Update",
     .button = "cmdVFDUpdate",
     .faults = QStringLiteral("short"),
     .boxes = {"0", "0", "0"},
     .elapsedMs = 5000},
    {.name = "PortLost_PluDownload",
     .button = "cmdPLUDownload",
     .dropAfter = 4 + 36, // sync, command, number, half the record
     .texts = {kLost, kStopped},
     .portOpen = false},
    {.name = "PortLost_Update",
     .button = "cmdVFDUpdate",
     .dropAfter = 1,
     .texts = {kLost},
     .portOpen = false},
    {.name = "Cancelled_Upload",
     .button = "cmdPLUUpload",
     .faults = QStringLiteral("sync:*"),
     .cancelAt = "Retry #2",
     .texts = {"Sync error", "Retry #1", "Sync error", "Retry #2", "Transfer cancelled"},
     .elapsedMs = 2000}, // the second pause ended at once
    {.name = "ChecksFailed_VerifiedDownload",
     .button = "cmdPLUDownload",
     .faults = QStringLiteral("silence#%1:*"), // the read-back after both rows
     .fromExchange = 3,
     .verify = true,
     .texts = QStringList{"plu#1 is transfered", "plu#2 is transfered", " THE END "} +
              retried(QStringLiteral("Sync error"), 4) + QStringList{"Verify failed: Sync error"},
     .elapsedMs = 4 * (1000 + 2000) + 1000},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class WindowOutcomes : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        const Case& c = GetParam();
        scale().dropFrame();
        scale().clearFaults();
        scale().clearPlus();
        for (int n = 1; n <= 2; ++n)
            scale().storePlu(
                PluRecord{qint16(n), n, QStringLiteral("Kept"), QString(), n, 1, 0, 0, 0});
        scale().setDisplay({1234, 1000, 4660});
        g_dropAfter = c.dropAfter;
        registerLinkFactory(kPort, [](const QString&) -> std::unique_ptr<Link> {
            return std::make_unique<DroppingLink>(std::make_unique<SimLink>(embeddedScale()), kPort,
                                                  g_dropAfter);
        });
        window.setClock(clock);
        window.setExitFunction([] {});
        control<QRadioButton>("optComOther")->setChecked(true);
        control<QComboBox>("cboComOther")->setEditText(kPort);
        QTest::mouseClick(control<QPushButton>("cmdPortOpen"), Qt::LeftButton);
        ASSERT_EQ(window.statusText(), QStringLiteral("open port faultsim"));

        // The operator's work, which only an upload may replace.
        PluTable& plu = window.pluTable();
        IngredTable& ingred = window.ingredTable();
        for (int n = 1; n <= 2; ++n) {
            plu.records[n] = {qint16(200 + n), n, QStringLiteral("Item"), {}, 10 * n, 1, 0, 0, 0};
            plu.grid.setText(n, 1, QString::number(200 + n));
            ingred.records[n].MessageNo = qint16(70 + n);
        }
        plu.count = ingred.count = 2;
        window.setSourcePath(c.noSource ? QStringLiteral("?") : QStringLiteral("/data/shop.plu"));
        for (const char* option : {"optDownAllPLU", "optDownAllINGRED", "optUpAllPLU"})
            control<QRadioButton>(option)->setChecked(true);
        control<QCheckBox>("chkDownVerifyPLU")->setChecked(c.verify);
        for (const char* box : {"txtWeight", "txtUnitPrice", "txtTotalPrice"})
            control<QLineEdit>(box)->setText(QStringLiteral("old"));
        if (!c.faults.isEmpty()) {
            const QString faults =
                c.fromExchange ? c.faults.arg(scale().exchanges() + c.fromExchange) : c.faults;
            scale().addFaults(*parseFaults(faults));
        }

        QObject::connect(window.findChild<StatusBar*>(), &StatusBar::statusTextChanged,
                         [this](const QString& text) {
                             texts << text;
                             tabsAtTexts << window.tabs()->isEnabled();
                             sourcesAtTexts << window.sourcePath();
                         });
        clock.setOnWait([this, c](qint64) {
            if (c.cancelAt && texts.contains(QString::fromLatin1(c.cancelAt)))
                control<QPushButton>("cmdCancel")->click();
        });
    }
    void TearDown() override { scale().clearFaults(); }

    static SimulatedScale& scale() { return embeddedScale(); }
    template <typename T> T* control(const char* name) {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    QStringList boxes() {
        QStringList all;
        for (const char* box : {"txtWeight", "txtUnitPrice", "txtTotalPrice"})
            all << control<QLineEdit>(box)->text();
        return all;
    }

    ManualClock clock{10'000};
    frmMain window;
    QStringList texts = {};
    QList<bool> tabsAtTexts;
    QStringList sourcesAtTexts;
};

TEST_P(WindowOutcomes, TheWindowShowsHowTheJobEnded) {
    const Case& c = GetParam();
    const qint64 start = clock.nowMs();
    QTest::mouseClick(control<QPushButton>(c.button), Qt::LeftButton);

    EXPECT_EQ(texts, c.texts);
    // A display read leaves the tabs alone; every transfer disables them at each of its texts.
    const bool disables = QByteArray(c.button) != "cmdVFDUpdate";
    EXPECT_EQ(tabsAtTexts, QList<bool>(texts.size(), !disables));
    EXPECT_TRUE(window.tabs()->isEnabled());
    EXPECT_EQ(clock.nowMs() - start, c.elapsedMs);
    EXPECT_EQ(boxes(), c.boxes);
    // An upload replaces the table and "Source" with the scale's first reply, before its text.
    EXPECT_EQ(sourcesAtTexts, QStringList(texts.size(), c.source));
    EXPECT_EQ(window.sourcePath(), c.source);
    EXPECT_EQ(window.pluTable().records[1].PluNo, c.firstPluNo);
    // A lost port leaves the buttons as after "Close".
    EXPECT_EQ(control<QPushButton>("cmdPortOpen")->isEnabled(), !c.portOpen);
    for (const char* name :
         {"cmdPortClose", "cmdVFDUpdate", "cmdPLUDownload", "cmdINGREDDownload", "cmdPLUUpload"})
        EXPECT_EQ(control<QPushButton>(name)->isEnabled(), c.portOpen) << name;
}

INSTANTIATE_TEST_SUITE_P(Outcomes, WindowOutcomes, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
