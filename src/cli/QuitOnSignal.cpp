#include "cli/QuitOnSignal.h"

#include "serial/TransferAbort.h"

#include <QCoreApplication>

namespace {

TransferAbort* abortOnStop = nullptr; // set while an AbortOnTerminationSignals lives

} // namespace

AbortOnTerminationSignals::AbortOnTerminationSignals(TransferAbort& abort) {
    quitOnTerminationSignals();
    abortOnStop = &abort;
}

AbortOnTerminationSignals::~AbortOnTerminationSignals() {
    abortOnStop = nullptr;
}

void carryOutStop(const QString& what) {
    if (abortOnStop)
        abortOnStop->abort(QStringLiteral("stopped by ") + what);
    else
        QCoreApplication::quit();
}
