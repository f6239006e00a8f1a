#pragma once

#include "serial/Link.h"
#include "serial/Pacer.h"

#include <QElapsedTimer>

class Clock;
class SimulatedScale;

inline const QString kSimPortName = QStringLiteral("sim");

// A link to an in-process simulated scale. What the program writes is fed to the scale at
// once; its answer arrives later, from the event loop, like bytes from a real port: at the
// pace of the line when a baud rate is given, else as soon as events are processed. Closing
// the link drops every byte not yet taken, including answers still on their way.
class SimLink : public Link {
    Q_OBJECT
public:
    // `scale` must outlive the link. `clock` (may be null: a clock of its own) is what the
    // scale measures its idle gaps on; tests pass their manual clock.
    SimLink(SimulatedScale& scale, const Clock* clock = nullptr, int baud = 0,
            QObject* parent = nullptr);

    QString name() const override { return kSimPortName; }
    async::Task<bool> open() override { co_return openNow(); }
    void close() override;
    bool isOpen() const override { return open_; }
    QString errorString() const override { return error_; }

    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override { return received_.size(); }
    QByteArray takeAll() override;
    QByteArray peekWaiting() override { return received_; }

    // Breaks the link as a pulled cable would: `failed` is emitted, writes fail until reopened.
    void breakLink(const QString& reason);

private:
    bool openNow();
    qint64 nowMs() const;
    void deliver(const QByteArray& bytes);

    SimulatedScale& scale_;
    const Clock* clock_;
    QElapsedTimer ownClock_;
    Pacer pacer_;
    bool open_ = false;
    bool broken_ = false;
    QString error_;
    QByteArray received_;
};

// The simulated scale behind the port name "sim": one for the whole program, starting with
// the sample PLUs, so what is downloaded to it stays there until the program ends.
SimulatedScale& embeddedScale();

// Makes "sim" a port name the link factory knows. Safe to call more than once.
void registerSimulatedScaleLink();
