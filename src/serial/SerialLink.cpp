#include "serial/SerialLink.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kReceiveBufferSize = 4096;

// Errors after which the device cannot be used any more (unplugged adapter, hung-up line).
bool isFatal(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

// True when the system denies this user access to the device file itself (as opposed to
// another program holding it).
bool accessDenied(const QString& device) {
#ifdef Q_OS_UNIX
    const QString path =
        device.startsWith(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
    return ::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES;
#else
    Q_UNUSED(device);
    return false;
#endif
}

} // namespace

SerialLink::SerialLink(const QString& name, const QString& device, QObject* parent,
                       const scale::LineSettings& line)
    : Link(parent), name_(name), device_(device.isEmpty() ? name : device), line_(line) {
    port_.setPortName(device_);
    applyLineSettings();
    connect(&port_, &QSerialPort::readyRead, this, &Link::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

SerialLink::~SerialLink() {
    // Closing here keeps errorOccurred from reaching a half-destroyed link.
    port_.disconnect(this);
    port_.close();
}

void SerialLink::applyLineSettings() {
    port_.setBaudRate(line_.baud);
    port_.setDataBits(QSerialPort::DataBits(line_.dataBits));
    port_.setParity(line_.parity == 'E'   ? QSerialPort::EvenParity
                    : line_.parity == 'O' ? QSerialPort::OddParity
                                          : QSerialPort::NoParity);
    port_.setStopBits(line_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReceiveBufferSize);
}

bool SerialLink::openNow() {
    if (port_.isOpen())
        return true;
    error_.clear();
    if (!port_.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_.error();
        error_ =
            serialOpenErrorText(error, device_, port_.errorString(),
                                error == QSerialPort::PermissionError && accessDenied(device_));
        port_.clearError();
        return false;
    }
    // The modem lines stay off. A pseudo-terminal has no modem lines and refuses both calls
    // as an unsupported operation; that is harmless.
    if (!port_.setDataTerminalReady(false) || !port_.setRequestToSend(false))
        port_.clearError();
    // Whatever the system still holds from before the open is stale.
    port_.clear(QSerialPort::AllDirections);
    return true;
}

void SerialLink::close() {
    port_.close();
}

bool SerialLink::isOpen() const {
    return port_.isOpen();
}

bool SerialLink::write(const QByteArray& bytes) {
    if (!port_.isOpen()) {
        if (error_.isEmpty())
            error_ = QStringLiteral("%1 is not open").arg(name_);
        return false;
    }
    return port_.write(bytes) == bytes.size();
}

qint64 SerialLink::bytesWaiting() const {
    return port_.isOpen() ? port_.bytesAvailable() : 0;
}

QByteArray SerialLink::takeAll() {
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

QByteArray SerialLink::peekWaiting() {
    return port_.isOpen() ? port_.peek(port_.bytesAvailable()) : QByteArray();
}

void SerialLink::onError(QSerialPort::SerialPortError error) {
    if (!port_.isOpen() || !isFatal(error))
        return;
    // The status texts name the port already; say what happened, then the system's words.
    error_ =
        QStringLiteral("the device was removed or stopped answering (%1)").arg(port_.errorString());
    port_.clearError();
    port_.close();
    Q_EMIT failed(error_);
}

QString serialOpenErrorText(QSerialPort::SerialPortError error, const QString& device,
                            const QString& systemText, bool accessDenied) {
    QString text = QStringLiteral("%1: %2").arg(device, systemText);
    if (error != QSerialPort::PermissionError)
        return text;
#ifdef Q_OS_LINUX
    if (accessDenied)
        return text + QStringLiteral(" (add your user to the group dialout, e.g. "
                                     "'sudo adduser $USER dialout', then log in again)");
#else
    Q_UNUSED(accessDenied);
#endif
    return text + QStringLiteral(" (is another program using the port?)");
}
