#pragma once

#include <QString>
#include <QtGlobal>

// What tells the PLU download from the ingredient download: the command byte, the size of
// the record that follows the number, and the texts that name the table. Everything else of
// the exchange is shared.
struct DownloadKind {
    QString table;         // "PLU" / "INGRED", for texts of our own
    quint8 command;        // 0x02 / 0x00
    int recordSize;        // 72 / 400
    QString noSourceText;  // the "Source" box holds "?"
    QString rangeText;     // the selection does not fit the table
    QString syncErrorText; // followed by the row number
    QString echoErrorText; // the scale echoed another number
    QString acceptedText;  // followed by the row number and " is transfered"
};

const DownloadKind& pluDownloadKind();
const DownloadKind& ingredDownloadKind();

// Texts both downloads show.
namespace download_texts {
inline const QString kCommandError = QStringLiteral("Download command error");
inline const QString kRecordError = QStringLiteral("SyncOK error");
inline const QString kRetry = QStringLiteral("Retry #");
inline const QString kTransfered = QStringLiteral(" is transfered");
inline const QString kTheEnd = QStringLiteral(" THE END ");
inline const QString kCancelled = QStringLiteral("Transfer cancelled");
} // namespace download_texts
