// Tab "Scales" on a manual clock: the list kept between windows, the entries refused, and
// sending to several in-process scales at once, one with a fault, cancelled or closed mid-way.

#include "app/ScalesTab.h"
#include "app/frmMain.h"
#include "jobs/ScaleJobs.h"
#include "jobs/ScaleList.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "support/DroppingLink.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>

static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

enum class Twist { None, CancelAllAtFirstWait, CloseAtFirstWait };

struct Case {
    const char* name;
    const char* button;
    QStringList faults; // per scale, "" for none
    Twist twist;
    QStringList states;    // per scale, the "State" column at the end
    QString seen = {};     // a "State" the grid showed while the jobs waited
    qint64 dropAfter = -1; // the last scale's cable is pulled after this many bytes
};

const QString kSyncError = QStringLiteral("failed: Sync error PLU No : 1");

const Case kCases[] = {
    {"SendPluToThreeOneSilent",
     "cmdSendPLU",
     {"", "silence:*", ""},
     Twist::None,
     {"done", kSyncError, "done"}},
    {"SendIngredToTwo", "cmdSendINGRED", {"", ""}, Twist::None, {"done", "done"}},
    {"ReadDisplays",
     "cmdReadDisplays",
     {"", ""},
     Twist::None,
     {"done: weight 1, unit price 2, total price 3",
      "done: weight 1, unit price 2, total price 3"}},
    {"CompareWithTheTable", // the scales hold no PLU, the table 201 to 203
     "cmdScalesCompare",
     {"", "silence:*"},
     Twist::None,
     {"done: Compare: 3 differences", "failed: Sync error"}},
    {"OneRetriedOneUnpluggedMidRow",
     "cmdSendPLU",
     {"sync:1", ""},
     Twist::None,
     {"done", "failed: Transfer stopped on port counter1: the cable was pulled"},
     QStringLiteral("retrying (Retry #1)"),
     4 + 36}, // sync, command, number, half the record
    {"CancelAll", "cmdSendPLU", {"", ""}, Twist::CancelAllAtFirstWait, {"cancelled", "cancelled"}},
    {"WindowClosed",
     "cmdSendPLU",
     {"", "", ""},
     Twist::CloseAtFirstWait,
     {"cancelled", "cancelled", "cancelled"}},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

QSettings userSettings() {
    return QSettings(QStringLiteral("ScaleDesk"), QStringLiteral("ScaleDesk"));
}

struct Tab {
    explicit Tab(frmMain& window)
        : tab(window.findChild<ScalesTab*>()),
          grid(window.findChild<QTreeWidget*>(QStringLiteral("grdScales"))) {}
    QPushButton* button(const char* name) const {
        return tab->findChild<QPushButton*>(QLatin1String(name));
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int i = 0; i < grid->topLevelItemCount(); ++i)
            texts << grid->topLevelItem(i)->text(c);
        return texts;
    }
    // "Add..." answered with `entry`.
    void add(const ScaleEntry& entry) const {
        tab->setEntryFunction(
            [entry](const ScaleEntry&, const QList<ScaleEntry>&,
                    std::function<void(const ScaleEntry&)> done) { done(entry); });
        button("cmdScaleAdd")->click();
    }
    ScalesTab* tab;
    QTreeWidget* grid;
};

class ScalesTabTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        userSettings().remove(QStringLiteral("Scales"));
        const Case& c = GetParam();
        const int pulled = int(c.faults.size()) - 1;
        for (int i = 0; i < int(scales.size()); ++i) {
            const QString port = QStringLiteral("counter%1").arg(i);
            const qint64 dropAfter = i == pulled ? c.dropAfter : -1;
            registerLinkFactory(port, [this, i, port, dropAfter](const QString&) {
                return std::unique_ptr<Link>(std::make_unique<DroppingLink>(
                    std::make_unique<SimLink>(scales[i], &clock), port, dropAfter));
            });
        }
    }
    ManualClock clock;
    std::array<SimulatedScale, 3> scales;
};

TEST_P(ScalesTabTest, EachTickedScaleEndsWithItsOwnState) {
    const Case& c = GetParam();
    int exits = 0;
    frmMain window;
    window.setClock(clock);
    window.setExitFunction([&] { ++exits; });
    Tab tab(window);
    for (int i = 0; i < c.faults.size(); ++i) {
        tab.add({QStringLiteral("Counter %1").arg(i), QStringLiteral("counter%1").arg(i)});
        if (!c.faults[i].isEmpty())
            scales[i].addFaults(*parseFaults(c.faults[i]));
        scales[i].setDisplay({1, 2, 3});
    }
    for (int i = 1; i <= 3; ++i) {
        window.pluTable().records[i] = {qint16(200 + i), i, "Item", {}, 10 * i, 1, 0, 0, 0};
        window.ingredTable().records[i].MessageNo = qint16(70 + i);
    }
    window.pluTable().count = window.ingredTable().count = 3;
    window.setSourcePath(QStringLiteral("/data/shop.plu"));
    window.findChild<QRadioButton*>(QStringLiteral("optDownAllPLU"))->setChecked(true);

    QList<int> exchangesAtTwist;
    QStringList seen;
    clock.setOnWait([&](qint64) {
        seen << tab.column(2);
        if (c.twist == Twist::None || !exchangesAtTwist.isEmpty())
            return;
        for (const SimulatedScale& scale : scales)
            exchangesAtTwist << scale.exchanges();
        if (c.twist == Twist::CancelAllAtFirstWait)
            tab.button("cmdScalesCancelAll")->click();
        else
            window.close();
    });
    tab.button(c.button)->click();

    EXPECT_EQ(tab.column(2), c.states);
    if (!c.seen.isEmpty()) {
        EXPECT_TRUE(seen.contains(c.seen)) << seen.join(QLatin1String(" | ")).toStdString();
    }
    EXPECT_FALSE(window.findChild<ScalesTab*>()->jobs()->running());
    EXPECT_TRUE(tab.button("cmdSendPLU")->isEnabled());
    EXPECT_FALSE(tab.button("cmdScalesCancelAll")->isEnabled());
    EXPECT_EQ(exits, c.twist == Twist::CloseAtFirstWait ? 1 : 0);
    if (c.twist != Twist::None) {
        QList<int> exchangesAtEnd; // no further byte after the cancel
        for (const SimulatedScale& scale : scales)
            exchangesAtEnd << scale.exchanges();
        EXPECT_EQ(exchangesAtEnd, exchangesAtTwist);
    }
    if (c.faults.size() == 3 && c.twist == Twist::None) { // the silent scale stopped no other
        EXPECT_EQ(scales[2].pluNumbers().size(), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScalesTabTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The list and its ticks come back in a new window; entries that cannot be kept are refused
// with the reason in the status panel and change nothing.
TEST(ScalesList, KeptBetweenWindowsAndRefusalsSayWhy) {
    userSettings().remove(QStringLiteral("Scales"));
    {
        frmMain window;
        Tab tab(window);
        tab.add({QStringLiteral("Meat"), QStringLiteral("COM1")});
        tab.add({QStringLiteral("Deli"), QStringLiteral("tcp://10.0.0.7:4001")});
        tab.grid->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        const struct {
            ScaleEntry entry;
            QString status;
        } refusals[] = {
            {{"", "COM2"}, "The scale needs a name"},
            {{"meat", "COM2"}, "There is a scale named Meat already"},
            {{"A=B", "COM2"}, "A scale's name cannot hold '=' or a line break"},
            {{"Cheese", ""}, "The scale needs a port"},
            {{"Cheese", "COM1"}, "The scale Meat is on port COM1 already"},
        };
        for (const auto& refusal : refusals) {
            tab.add(refusal.entry);
            EXPECT_EQ(window.statusText(), refusal.status);
        }
    }
    frmMain window;
    Tab tab(window);
    EXPECT_EQ(tab.column(0), (QStringList{"Meat", "Deli"}));
    EXPECT_EQ(tab.column(1), (QStringList{"COM1", "tcp://10.0.0.7:4001"}));
    EXPECT_EQ(tab.tab->tickedScales().size(), 1);
    EXPECT_EQ(tab.tab->tickedScales().value(0).name, QStringLiteral("Deli"));

    // "Export list..." writes the list file; "Import list..." puts a file's list in its place,
    // and a file it cannot take changes nothing.
    QTemporaryDir dir;
    const QString exported = dir.filePath(QStringLiteral("scales.txt"));
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    ASSERT_TRUE(writeScaleList(other, {{"Bakery", "sim"}}).isEmpty());
    QFile(dir.filePath(QStringLiteral("bad.txt"))).open(QIODevice::WriteOnly);
    const struct {
        const char* button;
        QString path;
        QString status;
        QStringList names;
    } steps[] = {
        {"cmdScalesExport", exported, "2 scales exported to " + exported, {"Meat", "Deli"}},
        {"cmdScalesImport", other, "1 scales imported from " + other, {"Bakery"}},
        {"cmdScalesImport",
         dir.filePath(QStringLiteral("bad.txt")),
         "Cannot import \"" + dir.filePath(QStringLiteral("bad.txt")) + "\": it names no scale",
         {"Bakery"}},
        {"cmdScalesImport", exported, "2 scales imported from " + exported, {"Meat", "Deli"}},
    };
    for (const auto& step : steps) {
        tab.tab->setPathFunction(
            [&step](bool, const QString&) { return std::optional<QString>(step.path); });
        tab.button(step.button)->click();
        EXPECT_EQ(window.statusText(), step.status);
        EXPECT_EQ(tab.column(0), step.names);
    }
    EXPECT_EQ(readScaleList(exported).scales, tab.tab->scales());
}

} // namespace
