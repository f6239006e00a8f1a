#include "cli/PortSession.h"

#include "cli/Command.h"
#include "serial/LinkFactory.h"

std::unique_ptr<PortSession> PortSession::open(const QString& command, const QString& port,
                                               const TransferAbort* abort) {
    std::unique_ptr<Link> link = createLink(port);
    if (!link->open()) {
        cli::printError(QStringLiteral("scalectl %1: cannot open %2: %3")
                            .arg(command, port, link->errorString()));
        return nullptr;
    }
    return std::unique_ptr<PortSession>(new PortSession(std::move(link), abort));
}

PortSession::PortSession(std::unique_ptr<Link> link, const TransferAbort* abort)
    : link_(std::move(link)), wire_(*link_, clock_, abort) {}

PortSession::~PortSession() {
    close();
}

void PortSession::close() {
    if (!open_)
        return;
    open_ = false;
    link_->close();
}
