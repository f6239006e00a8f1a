#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <deque>

// The step of an exchange a line of the log belongs to.
enum class LineStep {
    Sync,            // 0xA5 and its answer
    Command,         // the command byte and its answer
    Number,          // the PLU or message number and its echo
    Record,          // a record, or the zero bytes that complete one after a wrong echo
    Acknowledgement, // the scale's answer to a record
    Reply,           // the upload reply, the display record
    Pause,           // a pause before a retry
    Reopen,          // the port closed and opened again, and what that dropped
};
QString stepName(LineStep step); // "sync", "command", ..., "acknowledgement", "reopen"

enum class LineDirection {
    ToScale,   // bytes handed to the port
    FromScale, // bytes the port received
    Event,     // a pause or a reopen
};

// One line of the log.
struct LineEntry {
    qint64 ms = 0; // on the wire's monotonic clock
    QString port;  // the link's name, as the operator chose it
    LineDirection direction = LineDirection::Event;
    LineStep step = LineStep::Sync;
    QByteArray bytes;
    QString note; // what an event did, or why a receive ended without what it waited for
};

// The fixed text form of a line: seconds with milliseconds right-aligned in ten columns, the
// port, the step padded to fifteen, the direction (">" to the scale, "<" from the scale, "*"
// an event), then the bytes in hex and a note in parentheses (an event's note is bare):
//     12.345 /dev/pts/3 record          >  01 00 0C 4D ...
//     13.345 /dev/pts/3 acknowledgement <  (timed out: 0 bytes waiting, 1 expected)
//     13.345 /dev/pts/3 reopen          *  closed and opened again
QString lineText(const LineEntry& entry);

// Every byte each way over the scale's line, kept in memory up to a bound: the oldest lines
// give way to new ones and are counted. Wires write into it (Wire::setLog); views and trace
// files follow it through lineAdded.
class LineLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultCapacity = 20000;

    explicit LineLog(int capacity = kDefaultCapacity, QObject* parent = nullptr);

    void add(LineEntry entry);
    void clear(); // every line and the count of dropped ones

    int capacity() const { return capacity_; }
    qsizetype size() const { return qsizetype(lines_.size()); }
    const LineEntry& at(qsizetype i) const { return lines_[std::size_t(i)]; } // 0 the oldest
    qint64 dropped() const { return dropped_; } // lines given way since the last clear

    // The whole log as text, one line each; after a "# N earlier lines dropped" line when the
    // bound was reached.
    QString text() const;

Q_SIGNALS:
    void lineAdded(const LineEntry& entry);
    void cleared();

private:
    int capacity_;
    std::deque<LineEntry> lines_;
    qint64 dropped_ = 0;
};
