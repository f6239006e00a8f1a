#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Releases queued bytes no faster than a serial line would carry them: one byte per ten bit
// times (start bit, eight data bits, stop bit). A baud rate of 0 releases everything at once,
// from the event loop. Used by the simulated scale to answer at the pace of the real line.
class Pacer : public QObject {
    Q_OBJECT
public:
    explicit Pacer(int baud = 0, QObject* parent = nullptr);

    int baud() const { return baud_; }
    void push(const QByteArray& bytes);
    void clear(); // drops every byte not yet released
    qsizetype pending() const { return queue_.size(); }

Q_SIGNALS:
    void released(const QByteArray& bytes);

private:
    void release();
    void scheduleNext();

    int baud_;
    QByteArray queue_;
    QTimer timer_;
    QElapsedTimer since_; // start of the current run of bytes
    qint64 releasedInRun_ = 0;
};
