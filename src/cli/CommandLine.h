#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// The arguments of one `scalectl COMMAND`, read the same way for every command: an option
// takes its value as `--name VALUE` or `--name=VALUE`, `--help` and `-h` print the command's
// help, "--" ends the options, and everything else is a positional argument.
class CommandLine {
public:
    // `usage` is the synopsis repeated under every usage error.
    CommandLine(const QString& command, const QString& usage);

    void addSwitch(const QString& name); // --name
    void addValue(const QString& name);  // --name VALUE; an empty VALUE is a usage error
    void addSwitches(const QStringList& names);
    void addValues(const QStringList& names);

    // Reads `args`. When the command is to end at once, returns its exit code: ExitOk once
    // `help` is printed on stdout, ExitUsage once a usage error is reported on stderr.
    std::optional<int> parse(const QStringList& args, const QString& help);

    bool isSet(const QString& name) const { return parser_.isSet(name); }
    QString value(const QString& name) const; // the last one given
    QStringList values(const QString& name) const { return parser_.values(name); }
    qsizetype count(const QString& name) const; // how many times the option was given
    QStringList positional() const { return parser_.positionalArguments(); }

    // Reports "scalectl COMMAND: message" and the synopsis on stderr; returns ExitUsage.
    int usageError(const QString& message) const;

private:
    QString firstProblem(const QStringList& args) const;

    QString command_;
    QString usage_;
    QStringList valueNames_;
    QCommandLineParser parser_;
};

} // namespace cli
