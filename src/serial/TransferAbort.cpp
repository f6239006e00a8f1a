#include "serial/TransferAbort.h"

void TransferAbort::abort(const QString& reason) {
    if (aborted_)
        return; // the first reason is the one reported
    aborted_ = true;
    reason_ = reason;
    Q_EMIT aborted(reason);
}

void TransferAbort::reset() {
    aborted_ = false;
    reason_.clear();
}
