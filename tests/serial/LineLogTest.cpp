// The line log: a download against the in-process simulated scale on a manual clock, with
// and without the log, and the log's bound.

#include "../protocol/RecordingLink.h"

#include "protocol/DownloadEngine.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimLink.h"
#include "protocol/SimulatedScale.h"
#include "serial/Clock.h"
#include "serial/LineLog.h"
#include "serial/Wire.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Records what the program does to the simulated scale's link, and lets the log see the
// bytes waiting on it, as the program's own links do.
class PeekingLink : public RecordingLink {
public:
    PeekingLink(SimLink& sim, const Clock& clock) : RecordingLink(sim, clock), sim_(sim) {}
    QByteArray peekWaiting() override { return sim_.peekWaiting(); }

private:
    SimLink& sim_;
};

// One download of the PLU row holding PLU 101, with the scale's faults, logged or not.
struct Download {
    SimulatedScale scale;
    ManualClock clock;
    SimLink sim{scale, &clock};
    PeekingLink link{sim, clock};
    Wire wire{link, clock};
    LineLog log;
    QStringList texts;

    Download(const QString& faults, bool logged) {
        if (!faults.isEmpty())
            scale.addFaults(*parseFaults(faults));
        if (logged)
            wire.setLog(&log);
        auto table = std::make_unique<PluTable>();
        table->reset();
        table->records[1] = {101, 1001, QStringLiteral("Item"), {}, 150, 7, 20, 1, 0};
        table->count = 1;
        const DownloadPlan plan = planDownload(*table, QStringLiteral("/data/shop.plu"),
                                               {DownloadChoice::One, QStringLiteral("1"), {}, {}});
        async::waitFor(link.open());
        async::waitFor(runDownload(plan, wire, [this](const QString& text) { texts << text; }));
    }

    // The steps in order, a step repeated on consecutive lines named once.
    QStringList steps() const {
        QStringList names;
        for (qsizetype i = 0; i < log.size(); ++i) {
            const QString name = stepName(log.at(i).step);
            if (names.isEmpty() || names.last() != name)
                names << name;
        }
        return names;
    }

    QByteArray logged(LineDirection direction) const {
        QByteArray bytes;
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (log.at(i).direction == direction)
                bytes += log.at(i).bytes;
        }
        return bytes;
    }

    // Every open, close and write with its time: the line as the scale saw it.
    QStringList timeline() const {
        QStringList lines;
        for (const RecordingLink::Event& event : link.events)
            lines << QStringLiteral("%1 %2 @%3")
                         .arg(int(event.kind))
                         .arg(QString::fromLatin1(event.bytes.toHex()))
                         .arg(event.atMs);
        return lines;
    }
};

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

TEST(LineLogTest, ADownloadLogsEachStepAndEveryByteOnceWithoutChangingTheTransfer) {
    const QStringList sent = {
        QStringLiteral("sync"),   QStringLiteral("command"),         QStringLiteral("number"),
        QStringLiteral("record"), QStringLiteral("acknowledgement"), QStringLiteral("reopen")};
    struct Case {
        const char* faults;
        QStringList steps;
        QByteArray received; // from the scale, each byte once, the dropped ones included
    };
    const Case cases[] = {
        {"", sent, hex("7701006510")},
        // A refused record: reopen, pause, then the row again from the sync.
        {"ack@101",
         QStringList(sent.begin(), sent.end() - 1)
             << QStringLiteral("reopen") << QStringLiteral("pause") << sent,
         hex("7701006515"
             "7701006510")},
        // A wrong echo: the zero bytes that complete the record, then the row again at once.
        {"echo@101", QStringList(sent.begin(), sent.end() - 2) << sent,
         hex("77010066"
             "7701006510")},
        // A stray byte after the sync answer: the sync times out with both bytes shown.
        {"stray",
         QStringList{QStringLiteral("sync"), QStringLiteral("pause"), QStringLiteral("reopen")}
             << sent,
         hex("7700"
             "7701006510")},
        {"silence",
         QStringList{QStringLiteral("sync"), QStringLiteral("pause"), QStringLiteral("reopen")}
             << sent,
         hex("7701006510")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        const Download plain(QString::fromLatin1(c.faults), false);
        const Download logged(QString::fromLatin1(c.faults), true);
        EXPECT_EQ(logged.steps(), c.steps) << logged.log.text().toStdString();
        EXPECT_EQ(logged.logged(LineDirection::ToScale), logged.link.written);
        EXPECT_EQ(logged.logged(LineDirection::FromScale), c.received);
        EXPECT_EQ(logged.texts, plain.texts);
        EXPECT_EQ(logged.timeline(), plain.timeline());
        EXPECT_EQ(logged.texts.last(), QStringLiteral(" THE END "));
        EXPECT_EQ(plain.log.size(), 0);
    }
}

TEST(LineLogTest, LinesHaveAFixedTextAndTheOldestGiveWayToTheBound) {
    const LineEntry lines[] = {
        {12345,
         QStringLiteral("/dev/pts/3"),
         LineDirection::ToScale,
         LineStep::Record,
         hex("01000c"),
         {}},
        {1000999, QStringLiteral("sim"), LineDirection::FromScale, LineStep::Acknowledgement,
         hex("15"), QStringLiteral("timed out: 2 bytes waiting, 1 expected")},
        {7,
         QStringLiteral("sim"),
         LineDirection::Event,
         LineStep::Reopen,
         {},
         QStringLiteral("closed and opened again")},
    };
    const QStringList texts = {
        QStringLiteral("    12.345 /dev/pts/3 record          >  01 00 0C"),
        QStringLiteral("  1000.999 sim acknowledgement <  15 (timed out: 2 bytes waiting, 1 "
                       "expected)"),
        QStringLiteral("     0.007 sim reopen          *  closed and opened again"),
    };
    LineLog log(2);
    int added = 0;
    QObject::connect(&log, &LineLog::lineAdded, [&added] { ++added; });
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lineText(lines[i]), texts[i]);
        log.add(lines[i]);
    }
    EXPECT_EQ(added, 3);
    EXPECT_EQ(log.size(), 2);
    EXPECT_EQ(log.dropped(), 1);
    EXPECT_EQ(log.text(),
              QStringLiteral("# 1 earlier lines dropped\n") + texts[1] + '\n' + texts[2] + '\n');
    log.clear();
    EXPECT_EQ(log.text(), QString());
}
