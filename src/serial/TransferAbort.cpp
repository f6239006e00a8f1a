#include "serial/TransferAbort.h"

void TransferAbort::abort(const QString& reason) {
    if (m_aborted)
        return; // the first reason is the one reported
    m_aborted = true;
    m_reason = reason;
    Q_EMIT aborted(reason);
}

void TransferAbort::reset() {
    m_aborted = false;
    m_reason.clear();
}
