#pragma once

#include "protocol/DownloadKind.h"
#include "scale/ScaleModel.h"
#include "tables/Table.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Which rows a download sends, as the operator chose them on the "Download" tab.
enum class DownloadChoice { One, Multiple, All };

struct DownloadSelection {
    DownloadChoice choice = DownloadChoice::All;
    QString oneNo;   // the box beside "One": its text as typed
    QString startNo; // the boxes of "Multiple"
    QString endNo;
};

// One row ready to go: its row number (shown in the texts), the number the scale files it
// under (PluNo / MessageNo), its finished wire record and its fields as texts (for the
// journal).
struct DownloadRow {
    int index = 0;
    int number = 0; // 0 to the largest number
    QByteArray record;
    QStringList fields;
};

// Everything a download sends, settled before the first byte: every selected row is checked
// and its record built here, so a row that cannot be sent stops the transfer before it
// begins, and a table changed while the transfer runs cannot mix old and new rows.
struct DownloadPlan {
    const DownloadKind* kind = nullptr;
    const TableKind* table = nullptr; // the rows' kind: their fields' names
    int recordSize = 0;               // of every row's record, also when no row is selected
    QVector<DownloadRow> rows;        // ascending; empty for a reversed range
    QString refusal;                  // the status text when nothing is to be sent

    bool refused() const { return !refusal.isEmpty(); }
};

// `sourcePath` is the "Source" box: "?" refuses the download. Box texts are rounded halves to
// even; a text that is no 16-bit number, a row below 1 or above the table's count refuses it
// with the kind's range text. A row whose number, a number field or a character cannot
// travel refuses it with a text naming the row and the field. Any table of
// SCALEDESK_FOR_EACH_TABLE; its records travel as their WireFormat says.
template <typename T>
DownloadPlan planDownload(const T& table, const QString& sourcePath,
                          const DownloadSelection& selection,
                          const scale::ScaleModel& model = scale::kStandardScale);
