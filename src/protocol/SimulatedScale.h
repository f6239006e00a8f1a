#pragma once

#include "protocol/DisplayValues.h"
#include "protocol/FaultSpec.h"
#include "scale/ScaleModel.h"
#include "tables/Records.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// The scale's side of every exchange, as a pure state machine: bytes in, bytes out. Sizes
// are those of its scale model (here the standard scale's):
//   0xA5 -> 0x77, then a command:
//   0x02 PLU download:        0x01; 2-byte PLU number, echoed; 72-byte record; 0x10
//   0x00 ingredient download: 0x01; 2-byte message number, echoed; 400-byte record; 0x10
//   0x05 PLU upload:          0x01; 2-byte number n; 77-byte reply (n, PluNo, record, 0x10),
//                             or, for a number it does not hold, a reply not starting with n
//   0x06 display read:        the 12-byte display record
// It holds PLU records by PLU number, ingredient records by message number and the display
// values. A frame left half-received for the model's idle reset time is dropped, as the PC
// closes and reopens its port between rows. Faults (see FaultSpec.h) make it misbehave on
// demand. Pacing is left to whoever carries the bytes.
class SimulatedScale {
public:
    static constexpr quint8 kWrongSyncAnswer = 0x78;
    static constexpr quint8 kWrongAnswer = 0x15;

    explicit SimulatedScale(const scale::ScaleModel& model = scale::kStandardScale)
        : model_(model) {}

    const scale::ScaleModel& model() const { return model_; }

    // The answer to `in`, arriving at `nowMs` (any monotonic milliseconds).
    QByteArray feed(const QByteArray& in, qint64 nowMs);
    void dropFrame(); // back to idle, as after an idle gap
    bool idle() const { return state_ == State::Idle; }

    // PLU records by PLU number (the model's record size each).
    void storePlu(quint16 pluNo, const QByteArray& record);
    QString storePlu(const PluRecord& record); // error text, empty when stored
    std::optional<QByteArray> pluRecord(quint16 pluNo) const;
    QList<quint16> pluNumbers() const { return plus_.keys(); }
    void clearPlus() { plus_.clear(); }

    // Ingredient records by message number (the model's record size each).
    void storeIngred(quint16 messageNo, const QByteArray& record);
    std::optional<QByteArray> ingredRecord(quint16 messageNo) const;
    QList<quint16> ingredNumbers() const { return ingreds_.keys(); }

    void setDisplay(const DisplayValues& values) { display_ = values; }
    DisplayValues display() const { return display_; }

    void addFaults(const QList<Fault>& faults) { faults_ += faults; }
    void clearFaults() { faults_.clear(); }
    QList<Fault> pendingFaults() const { return faults_; }

    int exchanges() const { return exchanges_; } // syncs received so far

    // The reply to an upload request for `n`, without faults.
    QByteArray uploadReply(quint16 n) const;

    // A scale holding a few sample PLUs and showing non-zero display values.
    static SimulatedScale withSamples();

private:
    enum class State { Idle, AwaitCommand, AwaitNumber, AwaitRecord, SwallowRecord };

    void onIdle(quint8 byte, QByteArray& out);
    void onCommand(quint8 byte, QByteArray& out);
    void onNumber(QByteArray& out);
    void onRecord(QByteArray& out);
    bool isDownload() const;
    int recordSize() const;
    // Consumes one occurrence of a matching fault, if any.
    bool fire(FaultKind kind, bool atNumberStep);

    scale::ScaleModel model_;
    State state_ = State::Idle;
    quint8 command_ = 0;
    quint16 number_ = 0;
    QByteArray frame_; // bytes of the number or record collected so far
    qint64 lastInputMs_ = 0;
    int exchanges_ = 0;

    QMap<quint16, QByteArray> plus_;
    QMap<quint16, QByteArray> ingreds_;
    DisplayValues display_;
    QList<Fault> faults_;
};
