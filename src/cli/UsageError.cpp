#include "cli/UsageError.h"

#include "cli/Command.h"

namespace cli {
int usageError(const QString& command, const QString& usage, const QString& message) {
    printError(QStringLiteral("scalectl %1: %2").arg(command, message));
    printError(QStringLiteral("Usage: ") + usage);
    return ExitUsage;
}
} // namespace cli
