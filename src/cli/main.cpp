#include "cli/Command.h"
#include "protocol/SimLink.h"
#include "serial/PortExamples.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString overview() {
    QString text = QStringLiteral(
        "Usage: scalectl COMMAND [OPTIONS]\n"
        "       scalectl --help | --version\n"
        "\n"
        "The command-line companion of ScaleDesk: moves the PLU table and the ingredient\n"
        "messages between files and a retail weighing scale, and serves a simulated scale.\n"
        "\n"
        "Commands:\n");
    QVector<CliCommand> sorted = cli::commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    for (const CliCommand& command : sorted)
        text += QStringLiteral("  %1%2\n").arg(command.name, -10).arg(command.summary);
    text += QStringLiteral(
        "\n"
        "PORT is COM1, COM2, {a-device}, tcp://HOST:PORT or sim (the\n"
        "simulated scale built into scalectl). Status texts go to stdout verbatim, one per\n"
        "line; messages of scalectl's own go to stderr.\n"
        "Run 'scalectl COMMAND --help' for the options of a command. An option takes its\n"
        "value after a blank or an equals sign: --port sim and --port=sim are the same.\n"
        "\n"
        "Examples:\n"
        "  scalectl simulate {simulate}\n"
        "  scalectl display --port {simulated-port}\n"
        "  scalectl convert shop.plu shop.xls\n"
        "\n"
        "Exit codes: 0 success, 1 refused or aborted, 2 usage error,\n"
        "3 a file cannot be read or written.");
    return withPortExamples(text);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scalectl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SCALEDESK_VERSION));
    registerSimulatedScaleLink(); // --port sim

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        cli::printError(overview());
        return ExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        cli::printLine(overview());
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        cli::printLine(QStringLiteral("scalectl " SCALEDESK_VERSION));
        return ExitOk;
    }
    for (const CliCommand& command : cli::commands()) {
        if (command.name == name)
            return command.run(args);
    }
    cli::printError(QStringLiteral("scalectl: unknown command '%1'\n\n").arg(name) + overview());
    return ExitUsage;
}
