// scalectl journal verify: whether any entry of the send journal was changed, removed or
// inserted since it was written.

#include "cli/Command.h"
#include "cli/JournalCommands.h"
#include "cli/JournalOption.h"

namespace journalcommand {

int verify(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("journal verify"), kUsage);
    line.addValue(QStringLiteral("journal"));
    if (const std::optional<int> done = line.parse(args, help()))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    const std::unique_ptr<journal::Journal> journal =
        journaloption::open(line, journal::Journal::Access::ReadOnly);
    if (!journal)
        return ExitFileError;
    journal::VerifyReport report;
    if (const QString error = journal->verify(&report); !error.isEmpty()) {
        cli::printError(error);
        return ExitFileError;
    }
    cli::printLine(report.text);
    return report.intact ? ExitOk : ExitRefused;
}

} // namespace journalcommand
