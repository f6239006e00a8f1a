#include "cli/CommandLine.h"

#include "cli/Command.h"
#include "cli/UsageError.h"
#include "serial/PortExamples.h"

namespace cli {

namespace {

QString dashed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The argument that brought the unknown option `name`, as the operator typed it: "-port" for
// the "p" of a run of short options, "--fast" for "--fast=1".
QString asGiven(const QString& name, const QStringList& args) {
    for (const QString& arg : args) {
        if (arg == QLatin1String("--"))
            break;
        const QString option = arg.section(QLatin1Char('='), 0, 0);
        const bool matches = name.size() == 1 ? option.startsWith(QLatin1Char('-')) &&
                                                    !option.startsWith(QLatin1String("--")) &&
                                                    option.contains(name)
                                              : option == dashed(name);
        if (matches)
            return option;
    }
    return dashed(name);
}

} // namespace

CommandLine::CommandLine(const QString& command, const QString& usage)
    : command_(command), usage_(usage) {
    parser_.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
}

void CommandLine::addSwitch(const QString& name) {
    parser_.addOption(QCommandLineOption(name));
}

void CommandLine::addValue(const QString& name) {
    parser_.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    valueNames_.append(name);
}

void CommandLine::addSwitches(const QStringList& names) {
    for (const QString& name : names)
        addSwitch(name);
}

void CommandLine::addValues(const QStringList& names) {
    for (const QString& name : names)
        addValue(name);
}

std::optional<int> CommandLine::parse(const QStringList& args, const QString& help) {
    // The parser skips its first argument, the program's name.
    const bool parsed = parser_.parse(QStringList{QStringLiteral("scalectl")} + args);
    if (parser_.isSet(QStringLiteral("help"))) {
        printLine(withPortExamples(help));
        return ExitOk;
    }
    if (!parsed)
        return usageError(firstProblem(args));
    for (const QString& name : valueNames_) {
        if (parser_.values(name).contains(QString()))
            return usageError(QStringLiteral("%1 needs a value").arg(dashed(name)));
    }
    return std::nullopt;
}

QString CommandLine::value(const QString& name) const {
    const QStringList all = parser_.values(name);
    return all.isEmpty() ? QString() : all.last();
}

qsizetype CommandLine::count(const QString& name) const {
    return parser_.optionNames().count(name);
}

int CommandLine::usageError(const QString& message) const {
    return cli::usageError(command_, usage_, message);
}

// In the words of scalectl's other messages rather than the parser's.
QString CommandLine::firstProblem(const QStringList& args) const {
    if (const QStringList unknown = parser_.unknownOptionNames(); !unknown.isEmpty())
        return QStringLiteral("unknown option '%1'").arg(asGiven(unknown.first(), args));
    const QString last = args.isEmpty() ? QString() : args.last();
    for (const QString& name : valueNames_) {
        if (last == dashed(name))
            return QStringLiteral("%1 needs a value").arg(last);
    }
    QString text = parser_.errorText(); // e.g. "Unexpected value after '--all'."
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace cli
