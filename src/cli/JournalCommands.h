#pragma once

#include <QString>
#include <QStringList>

// scalectl journal: what was sent (JournalCommand.cpp) and the three questions, a file each.
// Each gets the arguments after its own name and returns the exit code.
namespace journalcommand {

extern const QString kUsage;
QString help();

int holds(const QStringList& args);
int lowest(const QStringList& args);
int verify(const QStringList& args);

} // namespace journalcommand
