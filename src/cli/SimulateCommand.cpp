// scalectl simulate: serves a simulated scale on a pseudo-terminal or a TCP port until it is
// terminated, so that ScaleDesk and scalectl can be tried and tested without hardware.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/QuitOnSignal.h"
#include "cli/ScaleDump.h"
#include "cli/ScaleServers.h"
#include "cli/UsageError.h"
#include "files/TableFileCommands.h"
#include "protocol/FaultSpec.h"
#include "protocol/SimulatedScale.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

namespace {

const QString kUsage = QStringLiteral(
    "scalectl simulate (--pty | --tcp HOST:PORT) [--load-plu FILE.plu] [--display W,U,T]\n"
    "                         [--fault FAULT ...] [--baud RATE] [--dump FILE]");

QString help() {
    return QStringLiteral("Usage: ") + kUsage +
           QStringLiteral(
               "\n"
               "\n"
               "Serves a simulated scale until SIGTERM or Ctrl-C ends it (exit code 0). The\n"
               "first line on stdout is the port to give ScaleDesk or 'scalectl --port':\n"
               "  --pty            a pseudo-terminal; the line is its path, {pty-path}\n"
               "  --tcp HOST:PORT  a TCP port, one connection at a time; PORT 0 takes a free\n"
               "                   one; the line is e.g. tcp://127.0.0.1:40123\n"
               "\n"
               "The scale starts with five sample PLUs (numbers 1 to 5), no ingredient\n"
               "messages and the display values 1250, 899 and 1124. What is downloaded to it\n"
               "stays until it ends.\n"
               "  --load-plu FILE  hold the PLUs of this PLU file instead of the samples\n"
               "  --display W,U,T  the weight, unit price and total price it shows (0 to\n"
               "                   4294967295 each)\n"
               "  --fault FAULT    misbehave on demand; may be repeated (see below)\n"
               "  --baud RATE      answer at the pace of a serial line of RATE baud (%1 bits\n"
               "                   a byte), e.g. 9600; without it answers go out at once\n"
               "  --dump FILE      on ending, write every record it holds to FILE, one line\n"
               "                   each: 'plu NUMBER HEX' (%2 bytes), 'ingred NUMBER HEX'\n"
               "                   (%3 bytes)\n"
               "\n")
               .arg(scale::kStandardScale.line.bitsPerByte())
               .arg(scale::kStandardScale.pluRecordSize)
               .arg(scale::kStandardScale.ingredRecordSize) +
           faultSyntaxHelp() +
           QStringLiteral("\n"
                          "\n"
                          "Examples:\n"
                          "  scalectl simulate {simulate}\n"
                          "  scalectl simulate --tcp 127.0.0.1:0 --fault sync:2,echo@5\n"
                          "  scalectl simulate {simulate} --load-plu shop.plu --baud 9600\n"
                          "\n"
                          "Exit codes: 0 ended by a signal, 1 the port cannot be served, 2 usage "
                          "error,\n"
                          "3 the PLU file cannot be read or the dump cannot be written.");
}

struct Options {
    bool pty = false;
    QString tcp;
    QString loadPlu;
    std::optional<DisplayValues> display;
    QList<Fault> faults;
    int baud = 0;
    QString dump;
};

std::optional<DisplayValues> parseDisplay(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    quint32 values[3] = {};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const qulonglong value = parts[i].trimmed().toULongLong(&ok);
        if (!ok || value > 0xFFFFFFFFull)
            return std::nullopt;
        values[i] = quint32(value);
    }
    return DisplayValues{values[0], values[1], values[2]};
}

// Parses the arguments; returns an exit code when the command is to end at once.
std::optional<int> parse(const QStringList& args, Options& options) {
    cli::CommandLine line(QStringLiteral("simulate"), kUsage);
    line.addSwitch(QStringLiteral("pty"));
    for (const char* name : {"tcp", "load-plu", "display", "fault", "baud", "dump"})
        line.addValue(QLatin1String(name));
    if (const std::optional<int> done = line.parse(args, help()))
        return done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    options.pty = line.isSet(QStringLiteral("pty"));
    options.tcp = line.value(QStringLiteral("tcp"));
    options.loadPlu = line.value(QStringLiteral("load-plu"));
    options.dump = line.value(QStringLiteral("dump"));
    if (line.isSet(QStringLiteral("display"))) {
        const QString text = line.value(QStringLiteral("display"));
        options.display = parseDisplay(text);
        if (!options.display)
            return line.usageError(QStringLiteral("--display takes three numbers 0 to 4294967295 "
                                                  "separated by commas, not '%1'")
                                       .arg(text));
    }
    for (const QString& text : line.values(QStringLiteral("fault"))) {
        QString error;
        const auto faults = parseFaults(text, &error);
        if (!faults)
            return line.usageError(error);
        options.faults += *faults;
    }
    if (line.isSet(QStringLiteral("baud"))) {
        const QString text = line.value(QStringLiteral("baud"));
        bool ok = false;
        options.baud = text.toInt(&ok);
        if (!ok || options.baud < 1 || options.baud > 4'000'000)
            return line.usageError(
                QStringLiteral("--baud takes a rate from 1 to 4000000, not '%1'").arg(text));
    }
    if (options.pty == !options.tcp.isEmpty())
        return line.usageError(QStringLiteral("give exactly one of --pty and --tcp HOST:PORT"));
    return std::nullopt;
}

// Replaces the sample PLUs with those of the file, read as the window's Open reads it.
std::optional<int> loadPlus(SimulatedScale& scale, const QString& path) {
    auto table = std::make_unique<PluTable>();
    table->reset();
    const OpenResult opened = openTable(*table, path);
    if (!opened.ok) {
        cli::printError(QStringLiteral("scalectl simulate: ") + opened.status);
        return ExitFileError;
    }
    scale.clearPlus();
    for (int i = 1; i <= table->count; ++i) {
        const QString problem = scale.storePlu(table->records[i]);
        if (!problem.isEmpty()) {
            cli::printError(QStringLiteral("scalectl simulate: \"%1\" line %2: %3")
                                .arg(path)
                                .arg(i)
                                .arg(problem));
            return ExitFileError;
        }
    }
    return std::nullopt;
}

int simulate(const QStringList& args) {
    Options options;
    if (const std::optional<int> done = parse(args, options))
        return *done;

    SimulatedScale scale = SimulatedScale::withSamples();
    if (!options.loadPlu.isEmpty()) {
        if (const std::optional<int> failed = loadPlus(scale, options.loadPlu))
            return *failed;
    }
    if (options.display)
        scale.setDisplay(*options.display);
    scale.addFaults(options.faults);

    if (!quitOnTerminationSignals()) {
        cli::printError(QStringLiteral("scalectl simulate: cannot watch for signals"));
        return ExitRefused;
    }

    std::unique_ptr<PtyScaleServer> pty;
    std::unique_ptr<TcpScaleServer> tcp;
    QString portName;
    if (options.pty) {
        pty = std::make_unique<PtyScaleServer>(scale, options.baud);
        if (!pty->start()) {
            cli::printError(QStringLiteral("scalectl simulate: ") + pty->errorString());
            return ExitRefused;
        }
        portName = pty->portName();
    } else {
        QHostAddress address;
        quint16 port = 0;
        if (!parseHostPort(options.tcp, address, port))
            return cli::usageError(
                QStringLiteral("simulate"), kUsage,
                QStringLiteral("--tcp takes HOST:PORT, e.g. 127.0.0.1:5000, not '%1'")
                    .arg(options.tcp));
        tcp = std::make_unique<TcpScaleServer>(scale, options.baud);
        if (!tcp->start(address, port)) {
            cli::printError(QStringLiteral("scalectl simulate: cannot listen on %1: %2")
                                .arg(options.tcp, tcp->errorString()));
            return ExitRefused;
        }
        portName = tcp->portName();
    }
    cli::printLine(portName);
    cli::printError(QStringLiteral("scalectl simulate: serving a simulated scale on %1; "
                                   "Ctrl-C or SIGTERM ends it")
                        .arg(portName));
    QCoreApplication::exec();
    if (!options.dump.isEmpty()) {
        if (const QString problem = writeScaleDump(scale, options.dump); !problem.isEmpty()) {
            cli::printError(QStringLiteral("scalectl simulate: ") + problem);
            return ExitFileError;
        }
    }
    return ExitOk;
}

RegisterCommand reg{CliCommand{
    QStringLiteral("simulate"),
    QStringLiteral("serve a simulated scale on a pseudo-terminal or TCP"), kUsage, simulate}};

} // namespace
