#include "cli/JournalOption.h"

#include "cli/Command.h"
#include "cli/TraceFile.h"
#include "journal/JournalTime.h"

namespace journaloption {

QString helpText() {
    return QStringLiteral(
        "  --journal FILE      the send journal (default: journal.sqlite in ScaleDesk's data\n"
        "                      folder, ~/.local/share/ScaleDesk or %APPDATA%\\ScaleDesk, the\n"
        "                      one the window uses)\n");
}

QString transferHelpText() {
    return TraceFile::helpText() + QLatin1Char('\n') + helpText().chopped(1);
}

QString path(const cli::CommandLine& line) {
    return line.isSet(QStringLiteral("journal")) ? line.value(QStringLiteral("journal"))
                                                 : journal::defaultJournalPath();
}

std::unique_ptr<journal::Journal> open(const cli::CommandLine& line,
                                       journal::Journal::Access access) {
    QString error;
    std::unique_ptr<journal::Journal> journal = journal::Journal::open(path(line), &error, access);
    if (!journal)
        cli::printError(error);
    return journal;
}

std::optional<QDateTime> timeOption(const cli::CommandLine& line, const QString& name,
                                    journal::PeriodEnd end, std::optional<int>* exitCode) {
    if (!line.isSet(name))
        return std::nullopt;
    QString error;
    const QDateTime time = journal::parseOperatorTime(line.value(name), end, &error);
    if (!time.isValid()) {
        *exitCode = line.usageError(QStringLiteral("--%1: %2").arg(name, error));
        return std::nullopt;
    }
    return time;
}

} // namespace journaloption
