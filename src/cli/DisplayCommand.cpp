// scalectl display --port PORT: reads the three values the scale's display shows, as the
// window's "Update" does.

#include "cli/Command.h"
#include "protocol/DisplayRead.h"
#include "serial/Clock.h"
#include "serial/LinkFactory.h"
#include "serial/Wire.h"

namespace {

const QString kUsage = QStringLiteral("scalectl display --port PORT");

const QString kHelp = QStringLiteral(
    "Usage: scalectl display --port PORT\n"
    "\n"
    "Reads the weight, unit price and total price that the scale's display shows and prints\n"
    "them on one line, as plain decimal numbers separated by one blank:\n"
    "  1250 899 1124\n"
    "PORT is COM1, COM2, a device path such as /dev/ttyUSB0, tcp://HOST:PORT or sim (the\n"
    "simulated scale built into scalectl).\n"
    "\n"
    "When the scale does not answer the sync nothing is printed on stdout. When it answers\n"
    "the sync but its display record does not come within five seconds, \"0 0 0\" is\n"
    "printed, as the window shows it, and the exit code tells the difference.\n"
    "\n"
    "Examples:\n"
    "  scalectl display --port /dev/ttyUSB0\n"
    "  scalectl display --port tcp://192.168.1.20:4001\n"
    "  scalectl display --port sim\n"
    "\n"
    "Exit codes: 0 read, 1 no answer, no record or the port failed, 2 usage error.");

int usageError(const QString& message) {
    cli::printError(QStringLiteral("scalectl display: ") + message);
    cli::printError(QStringLiteral("Usage: ") + kUsage);
    return ExitUsage;
}

int display(const QStringList& args) {
    QString port;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cli::printLine(kHelp);
            return ExitOk;
        }
        if (arg != QLatin1String("--port"))
            return usageError(QStringLiteral("unknown option '%1'").arg(arg));
        if (i + 1 >= args.size() || args[i + 1].isEmpty())
            return usageError(QStringLiteral("--port needs a port name"));
        port = args[++i];
    }
    if (port.isEmpty())
        return usageError(QStringLiteral("--port PORT is required"));

    const std::unique_ptr<Link> link = createLink(port);
    if (!link->open()) {
        cli::printError(
            QStringLiteral("scalectl display: cannot open %1: %2").arg(port, link->errorString()));
        return ExitRefused;
    }
    RealClock clock;
    Wire wire(*link, clock);
    const DisplayReadResult result = readDisplay(wire);
    link->close();

    switch (result.outcome) {
    case DisplayReadOutcome::NoSync:
        cli::printError(
            QStringLiteral("scalectl display: the scale on %1 did not answer").arg(port));
        return ExitRefused;
    case DisplayReadOutcome::LinkFailed:
    case DisplayReadOutcome::Aborted:
        cli::printError(QStringLiteral("scalectl display: %1: %2").arg(port, result.error));
        return ExitRefused;
    case DisplayReadOutcome::NoRecord:
    case DisplayReadOutcome::Shown:
        break;
    }
    cli::printLine(QStringLiteral("%1 %2 %3")
                       .arg(result.values.weight)
                       .arg(result.values.unitPrice)
                       .arg(result.values.totalPrice));
    if (result.outcome == DisplayReadOutcome::NoRecord) {
        cli::printError(QStringLiteral(
            "scalectl display: the scale answered but sent no display record within 5 seconds"));
        return ExitRefused;
    }
    return ExitOk;
}

RegisterCommand reg{CliCommand{QStringLiteral("display"),
                               QStringLiteral("read the weight, unit price and total price shown"),
                               kUsage, display}};

} // namespace
