#pragma once

#include "async/Task.h"
#include "protocol/Handshake.h"
#include "tables/Records.h"

#include <QList>
#include <QMap>
#include <QString>

class Wire;

// What the scale holds under PLU numbers, read with the upload exchange into records of its
// own: the operator's table is never touched.
struct ScaleReadBack {
    QMap<int, PluRecord> held; // by number, as the scale keeps them (names centred)
    QList<int> missing;        // asked for, and the scale answered that it lacks them
    Ending ending;             // how the read ended: Done when complete
    QString failure;           // the status text that ended the read early; empty when complete

    bool complete() const { return ending.done(); }
};

// Reads, when `all`, the numbers from 1 upwards until the scale lacks one (as "All PLU"
// uploads them), then each number of `numbers` not read yet, one upload exchange each.
// Numbers the upload cannot ask for (outside 1 to the scale's PLU capacity) are skipped.
// Every text, retry and number answered goes to `events`. A coroutine; the wire must outlive
// it.
async::Task<ScaleReadBack> readBackPlus(Wire& wire, bool all, QList<int> numbers,
                                        ExchangeEvents events);
