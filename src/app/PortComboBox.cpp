#include "app/PortComboBox.h"

#include "protocol/SimLink.h"
#include "serial/LinkFactory.h"
#include "serial/PortExamples.h"

#include <QLineEdit>
#include <QSerialPortInfo>

namespace {

// What the operator types for a serial port of this system, as createLink() takes it. Windows
// reports its ports as "\\.\COM3"; the name people know is "COM3", and it opens the same port.
#ifdef Q_OS_WIN
QString deviceOf(const QSerialPortInfo& info) {
    return info.portName();
}
#else
QString deviceOf(const QSerialPortInfo& info) {
    return info.systemLocation();
}
#endif

} // namespace

PortComboBox::PortComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    lineEdit()->setPlaceholderText(portExamples().serial + QStringLiteral(" or tcp://host:port"));
    registerSimulatedScaleLink();
    refresh();
    setEditText(QString());
    // A picked entry leaves only its device in the box, the description stays in the list.
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString port = itemData(index).toString();
        if (!port.isEmpty())
            setEditText(port);
        Q_EMIT portChosen();
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, &PortComboBox::portChosen);
}

QString PortComboBox::portName() const {
    const QString text = currentText().trimmed();
    for (int i = 0; i < count(); ++i) {
        if (itemText(i) == text)
            return itemData(i).toString();
    }
    return text;
}

void PortComboBox::refresh() {
    const QString typed = currentText();
    clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = deviceOf(info);
        const QString text = info.description().isEmpty()
                                 ? device
                                 : QStringLiteral("%1  (%2)").arg(device, info.description());
        addItem(text, device);
    }
    for (const QString& name : registeredLinkNames())
        addItem(name == kSimPortName ? QStringLiteral("Simulated scale") : name, name);
    setCurrentIndex(-1);
    setEditText(typed);
}

void PortComboBox::showPopup() {
    refresh();
    QComboBox::showPopup();
}
