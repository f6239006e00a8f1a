#pragma once

#include "scale/ScaleModel.h"
#include "serial/Link.h"

#include <QSerialPort>

// A serial device (COM1, /dev/ttyUSB0, a pseudo-terminal...) at the scale model's line
// settings (9600 baud, no parity, 8 data bits, 1 stop bit), no flow control, DTR and RTS
// off, a 4096-byte receive buffer.
class SerialLink : public Link {
    Q_OBJECT
public:
    // `name` is what the operator chose ("COM1"); `device` the system's name for it
    // ("/dev/ttyS0"). Without a device the name is the device.
    explicit SerialLink(const QString& name, const QString& device = {}, QObject* parent = nullptr,
                        const scale::LineSettings& line = scale::kStandardScale.line);
    ~SerialLink() override;

    QString name() const override { return name_; }
    QString device() const { return device_; }

    async::Task<bool> open() override { co_return openNow(); }
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return error_; }

    bool write(const QByteArray& bytes) override;
    qint64 bytesWaiting() const override;
    QByteArray takeAll() override;
    QByteArray peekWaiting() override;

private:
    bool openNow();
    void onError(QSerialPort::SerialPortError error);
    void applyLineSettings();

    QString name_;
    QString device_;
    QString error_;
    scale::LineSettings line_;
    QSerialPort port_;
};

// The reason a device could not be opened, as the operator reads it. When the system denies
// access to the device file (`accessDenied`), Linux users get the hint about the dialout
// group; any other permission error means another program holds the port.
QString serialOpenErrorText(QSerialPort::SerialPortError error, const QString& device,
                            const QString& systemText, bool accessDenied);
