// Windows has no pseudo-terminals: `scalectl simulate --pty` refuses and names the way that
// works everywhere.

#include "cli/ScaleServers.h"

PtyScaleServer::PtyScaleServer(SimulatedScale& scale, int baud, QObject* parent)
    : QObject(parent), scale_(scale), pacer_(baud) {}

PtyScaleServer::~PtyScaleServer() = default;

bool PtyScaleServer::start() {
    error_ = QStringLiteral("--pty is available on Linux only; use --tcp HOST:PORT, e.g. "
                            "--tcp 127.0.0.1:0");
    return false;
}
