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
    : QObject(parent), scale_(scale), pacer_(baud) {
    clock_.start();
    connect(&pacer_, &Pacer::released, this, &PtyScaleServer::send);
}

PtyScaleServer::~PtyScaleServer() {
    delete readable_;
    delete writable_;
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyScaleServer::start() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error_ = systemError("cannot create a pseudo-terminal");
        return false;
    }
    char path[128] = {};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, path, sizeof path) != 0) {
        error_ = systemError("cannot prepare the pseudo-terminal");
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(path);
    slave_ = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw = {};
    if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0) {
        error_ = systemError("cannot open the pseudo-terminal's slave");
        return false;
    }
    ::cfmakeraw(&raw);
    if (::tcsetattr(slave_, TCSANOW, &raw) != 0) {
        error_ = systemError("cannot put the pseudo-terminal into raw mode");
        return false;
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read);
    connect(readable_, &QSocketNotifier::activated, this, &PtyScaleServer::readRequests);
    writable_ = new QSocketNotifier(master_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    connect(writable_, &QSocketNotifier::activated, this, &PtyScaleServer::flushPending);
    return true;
}

void PtyScaleServer::readRequests() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got <= 0)
            return; // EAGAIN: all read; EIO cannot happen while the slave is held open here
        pacer_.push(scale_.feed(QByteArray(buffer, got), clock_.elapsed()));
    }
}

void PtyScaleServer::send(const QByteArray& bytes) {
    unsent_ += bytes;
    flushPending();
}

void PtyScaleServer::flushPending() {
    while (!unsent_.isEmpty()) {
        const ssize_t put = ::write(master_, unsent_.constData(), size_t(unsent_.size()));
        if (put <= 0)
            break; // the slave's input queue is full: wait until the master is writable
        unsent_.remove(0, put);
    }
    writable_->setEnabled(!unsent_.isEmpty());
}
