#pragma once

#include <QString>

// One of the store's scales: the name the operator gave it ("Meat counter") and the port it
// answers on, as createLink() takes it: "COM1", "/dev/ttyUSB0", "tcp://10.0.0.5:4001", "sim".
struct ScaleEntry {
    QString name;
    QString port;

    bool operator==(const ScaleEntry&) const = default;
};
