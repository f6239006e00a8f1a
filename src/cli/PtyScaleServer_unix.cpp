// The pseudo-terminal server of `scalectl simulate --pty`: POSIX terminals, Linux only.

#include "cli/ScaleServers.h"

#include "protocol/SimulatedScale.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyScaleServer::PtyScaleServer(SimulatedScale& scale, int baud, QObject* parent)
    : QObject(parent), m_scale(scale), m_pacer(baud) {
    m_clock.start();
    connect(&m_pacer, &Pacer::released, this, &PtyScaleServer::send);
}

PtyScaleServer::~PtyScaleServer() {
    delete m_readable;
    delete m_writable;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyScaleServer::start() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) {
        m_error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    char path[128] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, path, sizeof path) != 0) {
        m_error = systemError("cannot prepare the pseudo-terminal");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(path);
    m_slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw = {};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        m_error = systemError("cannot open the pseudo-terminal's slave");
        return false;
    }
    ::cfmakeraw(&raw);
    if (::tcsetattr(m_slave, TCSANOW, &raw) != 0) {
        m_error = systemError("cannot put the pseudo-terminal into raw mode");
        return false;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_readable = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_readable, &QSocketNotifier::activated, this, &PtyScaleServer::readRequests);
    m_writable = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writable->setEnabled(false);
    connect(m_writable, &QSocketNotifier::activated, this, &PtyScaleServer::flushPending);
    return true;
}

void PtyScaleServer::readRequests() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            return; // EAGAIN: all read; EIO cannot happen while the slave is held open here
        m_pacer.push(m_scale.feed(QByteArray(buffer, got), m_clock.elapsed()));
    }
}

void PtyScaleServer::send(const QByteArray& bytes) {
    m_unsent += bytes;
    flushPending();
}

void PtyScaleServer::flushPending() {
    while (!m_unsent.isEmpty()) {
        const ssize_t put = ::write(m_master, m_unsent.constData(), size_t(m_unsent.size()));
        if (put <= 0)
            break; // the slave's input queue is full: wait until the master is writable
        m_unsent.remove(0, put);
    }
    m_writable->setEnabled(!m_unsent.isEmpty());
}
