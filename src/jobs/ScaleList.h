#pragma once

#include "jobs/ScaleEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The store's scales as a plain-text file, the same list the "Scales" tab keeps: one scale
// per line as NAME = PORT, in UTF-8. Blank lines and lines starting with '#' are notes; a
// byte order mark and CR LF line ends are taken as well. The window exports and imports it,
// `scalectl --scales FILE` reads it.
//
//   # counters of the Main Street store
//   Meat counter = COM1
//   Cheese = tcp://10.0.0.5:4001

// Why `entry` cannot join `others` (empty when it can): a name is needed, unique without
// regard to case, and without '=' or a line break; a port is needed, one no other scale has.
QString scaleEntryProblem(const ScaleEntry& entry, const QList<ScaleEntry>& others);

struct ScaleListResult {
    QList<ScaleEntry> scales; // names and ports trimmed, in the file's order
    QString error;            // "line 3: the scale needs a port"; empty when every line was taken

    bool ok() const { return error.isEmpty(); }
};

ScaleListResult parseScaleList(const QByteArray& text);
QByteArray formatScaleList(const QList<ScaleEntry>& scales);

// The file's whole list, or why it cannot be read ("No such file or directory", or the
// first line that is not a scale). An empty list is an error too: there is nothing to do.
ScaleListResult readScaleList(const QString& path);
// Writes the list atomically; the reason of a failure, or an empty string.
QString writeScaleList(const QString& path, const QList<ScaleEntry>& scales);
