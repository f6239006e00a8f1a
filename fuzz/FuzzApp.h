#pragma once

#include <QCoreApplication>
#include <QStringList>

// Signals and event processing need an application object: one for the whole run, never
// destroyed, so no input pays for building it.
inline void ensureCoreApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* const app = new QCoreApplication(argc, argv);
    (void)app;
}

// With SCALEDESK_FUZZ_VERBOSE set, prints the status texts of a run to stderr: what a
// finding's input made the exchange say.
void traceTexts(const QStringList& texts);

// Ends the run the way libFuzzer reports it: the input is saved as a crash file.
[[noreturn]] void fuzzFailure(const char* what);
