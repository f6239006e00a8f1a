#pragma once

#include <QComboBox>

// The editable list beside "Other": the serial ports the system reports (device and
// description, read again each time the list drops down) and the other port names the
// program knows; the operator may also type a device path or tcp://HOST:PORT.
class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // The port as createLink() takes it: a listed entry gives its device, typed text is
    // taken as it stands (blanks around it removed).
    QString portName() const;

    void refresh();
    void showPopup() override;

Q_SIGNALS:
    void portChosen(); // the operator picked an entry or typed a name
};
