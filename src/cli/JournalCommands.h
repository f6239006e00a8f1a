#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// scalectl journal: what was sent (JournalCommand.cpp) and the three questions, a file each.
// Each gets the arguments after its own name and returns the exit code.
namespace journalcommand {

extern const QString kUsage;
QString help();

// Bytes to stdout as they are (CSV, a table file): on Windows too, CR LF stays CR LF.
void writeBytes(const QByteArray& bytes);

int holds(const QStringList& args);
int lowest(const QStringList& args);
int verify(const QStringList& args);

} // namespace journalcommand
