#include "FuzzApp.h"

#include <cstdio>
#include <cstdlib>

void traceTexts(const QStringList& texts) {
    static const bool verbose = std::getenv("SCALEDESK_FUZZ_VERBOSE") != nullptr;
    if (!verbose)
        return;
    for (const QString& text : texts)
        std::fprintf(stderr, "status: \"%s\"\n", text.toLocal8Bit().constData());
}

void fuzzFailure(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
