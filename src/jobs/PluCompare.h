#pragma once

#include "jobs/ScaleReadBack.h"
#include "tables/Table.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One difference between the PLU table and what the scale holds.
struct PluDifference {
    enum class Kind { OnlyOnScale, OnlyInTable, Field };

    int pluNo = 0;
    Kind kind = Kind::Field;
    QString field;      // the column's title ("U/Price") for Field; empty otherwise
    QString tableValue; // as the scale would store it (names centred); empty for OnlyOnScale
    QString scaleValue; // empty for OnlyInTable

    bool operator==(const PluDifference&) const = default;
};

// The table's rows 1..count against what the scale holds, by PLU number, in ascending order.
// A row is compared as the scale would store it after a download (names centred in their
// width), so a row that was sent unchanged shows no difference. Numbers the read did not
// reach (neither held nor missing) are not compared.
QList<PluDifference> comparePlus(const PluTable& table, const ScaleReadBack& scale);

// What differs, as the difference list and its CSV file say it: the field's title, or "only
// on the scale", "only in the table".
QString differenceText(const PluDifference& difference);

// The status text of a compare: "Compare: N differences", or that there are none.
QString compareSummary(const QList<PluDifference>& differences);

// The fields in which two records differ, as differences of `pluNo`.
QList<PluDifference> fieldDifferences(int pluNo, const PluRecord& table, const PluRecord& scale);

// One line per difference, e.g. `PLU 12: U/Price 150 in the table, 151 on the scale`.
QString describe(const PluDifference& difference);

// The differences as a .csv file: a header line, then PLU No, what differs, the table's and
// the scale's value; UTF-8 with a byte-order mark and CR LF, every text quoted.
QByteArray differencesCsv(const QList<PluDifference>& differences);
