#pragma once

#include <QObject>
#include <QString>

// Ends a running exchange at once: a wait on the line or a retry pause returns as soon as
// abort() is called, and no further byte is sent through a Wire that watches this object.
// The "Cancel" button and leaving the program during a transfer use it. It stays aborted
// until reset(), so one object can serve one transfer after another.
class TransferAbort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void abort(const QString& reason);
    void reset();

    bool isAborted() const { return aborted_; }
    QString reason() const { return reason_; }

Q_SIGNALS:
    void aborted(const QString& reason);

private:
    bool aborted_ = false;
    QString reason_;
};
