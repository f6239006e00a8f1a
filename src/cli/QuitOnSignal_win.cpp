#include "cli/QuitOnSignal.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <windows.h>

namespace {

// The system calls this on a thread of its own. The stop is queued to the event loop like any
// other event, so nothing is torn down in the middle of a write.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    const QString what = event == CTRL_C_EVENT       ? QStringLiteral("Ctrl-C")
                         : event == CTRL_BREAK_EVENT ? QStringLiteral("Ctrl-Break")
                                                     : QStringLiteral("closing the console");
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [what] { carryOutStop(what); }, Qt::QueuedConnection);
    // Once this returns from a closed console window the process is ended at once: wait here
    // instead, while the main thread finishes (the system allows it a few seconds).
    if (event == CTRL_CLOSE_EVENT)
        ::Sleep(INFINITE);
    return TRUE;
}

} // namespace

bool quitOnTerminationSignals() {
    static const bool installed = ::SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    return installed;
}
