#pragma once

#include "cli/CommandLine.h"
#include "journal/Journal.h"
#include "journal/JournalTime.h"

#include <QDateTime>

#include <memory>
#include <optional>

// --journal FILE of the commands that record in the send journal or ask it: the journal
// shared with the window unless FILE names another. Usage in a command:
//
//     line.addValue(QStringLiteral("journal"));
//     ...
//     const std::unique_ptr<journal::Journal> journal =
//         journaloption::open(line, journal::Journal::Access::ReadOnly);
//     if (!journal)
//         return ExitFileError; // the reason is on stderr
namespace journaloption {

// The option's lines for a command's --help.
QString helpText();

// The lines of --trace and --journal, for the commands that talk to a scale.
QString transferHelpText();

// The journal's path: FILE, or the window's journal without the option.
QString path(const cli::CommandLine& line);

std::unique_ptr<journal::Journal> open(const cli::CommandLine& line,
                                       journal::Journal::Access access);

// A time option (--since, --until) read as a period's start or end; nothing when it is not
// given, a usage error (its exit code in `exitCode`) when it is not a time.
std::optional<QDateTime> timeOption(const cli::CommandLine& line, const QString& name,
                                    journal::PeriodEnd end, std::optional<int>* exitCode);

} // namespace journaloption
