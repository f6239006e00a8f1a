#pragma once

#include <QString>

namespace cli {
// Says on stderr what is wrong with a call of `scalectl COMMAND` ("scalectl COMMAND: message")
// followed by the command's synopsis ("Usage: ..."); returns ExitUsage.
int usageError(const QString& command, const QString& usage, const QString& message);
} // namespace cli
