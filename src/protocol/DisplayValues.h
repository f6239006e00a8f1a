#pragma once

#include "scale/ScaleModel.h"

#include <QByteArray>
#include <QtGlobal>

// The three numbers on the scale's display, as the 12-byte display record carries them:
// weight, unit price, total price, each four bytes unsigned and big-endian. The values have
// no unit and no decimal point; they are shown as the integers they are (0 to 4294967295).
struct DisplayValues {
    quint32 weight = 0;
    quint32 unitPrice = 0;
    quint32 totalPrice = 0;

    QByteArray toRecord(const scale::ScaleModel& model = scale::kStandardScale) const;

    bool operator==(const DisplayValues&) const = default;
};
