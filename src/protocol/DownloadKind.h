#pragma once

#include <QString>
#include <QtGlobal>

// What tells one table's download from another's: the command byte and the texts that name
// the table. Everything else of the exchange is shared. Each table kind's lives in its
// WireFormat.
struct DownloadKind {
    QString table;         // "PLU" / "INGRED", for texts of our own
    quint8 command;        // 0x02 / 0x00
    QString noSourceText;  // the "Source" box holds "?"
    QString rangeText;     // the selection does not fit the table
    QString syncErrorText; // followed by the row number
    QString echoErrorText; // the scale echoed another number
    QString acceptedText;  // followed by the row number and " is transfered"
    bool readsBack;        // the upload can read what was sent back from the scale
};

// Texts every download shows.
namespace download_texts {
inline const QString kCommandError = QStringLiteral("Download command error");
inline const QString kTransfered = QStringLiteral(" is transfered");
inline const QString kTheEnd = QStringLiteral(" THE END ");
} // namespace download_texts
