#include "support/PseudoTerminal.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
    if (slave_ >= 0)
        ::close(slave_);
}

bool PseudoTerminal::sendFromFarEnd(const QByteArray& bytes) {
    return master_ >= 0 &&
           ::write(master_, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
}

QByteArray PseudoTerminal::receiveAtFarEnd(int count, int timeoutMs) {
    QByteArray received;
    if (master_ < 0)
        return received;
    QEventLoop loop;
    QSocketNotifier notifier(master_, QSocketNotifier::Read);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto drain = [&] {
        char buffer[512];
        ssize_t n;
        while (received.size() < count && (n = ::read(master_, buffer, sizeof buffer)) > 0)
            received.append(buffer, int(n));
        if (received.size() >= count)
            loop.quit();
    };
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, drain);
    drain();
    if (received.size() < count) {
        deadline.start(timeoutMs);
        loop.exec();
    }
    return received;
}

bool PseudoTerminal::slaveHasInput(int timeoutMs) {
    pollfd entry{slave_, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) == 1 && (entry.revents & POLLIN);
}

void PseudoTerminal::closeMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
