#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Exit codes of scalectl. A job's outcome gives 0 or 1 (exitStatusOf in jobs/JobResult.h).
enum ExitCode : int {
    ExitOk = 0,        // success: a download ended with " THE END ", an upload without abort
    ExitRefused = 1,   // refusal or abort
    ExitUsage = 2,     // usage error
    ExitFileError = 3, // a file cannot be read or written
};

// One subcommand. `run` gets the arguments after the subcommand's name and returns the
// exit code; it prints its own --help.
struct CliCommand {
    QString name;
    QString summary; // one line for the overview of `scalectl --help`
    QString usage;   // the synopsis line(s)
    std::function<int(const QStringList& args)> run;
};

namespace cli {
void registerCommand(const CliCommand& command);
const QVector<CliCommand>& commands();

// Output helpers: status texts go to stdout verbatim, one per line, flushed at once;
// messages of scalectl's own go to stderr.
void printLine(const QString& line);
void printError(const QString& line);
} // namespace cli

// Static registration: `static RegisterCommand reg{{"convert", ...}};` in the command's file.
struct RegisterCommand {
    explicit RegisterCommand(const CliCommand& command) { cli::registerCommand(command); }
};
