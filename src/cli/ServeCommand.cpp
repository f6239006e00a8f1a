// scalectl serve: the HTTP interface for point-of-sale and ERP systems, in front of the jobs
// and the journal.

#include "cli/ServeCommand.h"

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/QuitOnSignal.h"
#include "cli/ScaleServers.h"
#include "http/ApiServer.h"
#include "http/SendService.h"
#include "http/ServeChecks.h"
#include "jobs/ScaleList.h"

#include <QCoreApplication>

#include <mutex>
#include <optional>

namespace cli {

const QString kServeUsage =
    QStringLiteral("scalectl serve --listen ADDR:PORT --scales LIST [--token-file FILE] "
                   "[--journal FILE]");

namespace {

const QString kHelp = QStringLiteral(
    "Usage: scalectl serve --listen ADDR:PORT --scales LIST [--token-file FILE]\n"
    "                      [--journal FILE]\n"
    "\n"
    "Serves the HTTP interface until SIGTERM or Ctrl-C ends it (exit code 0): JSON over\n"
    "HTTP/1.1 under /v1, with which a point-of-sale or ERP system sends PLU rows and\n"
    "ingredient messages to the scales of LIST and asks how the sends went. The first line\n"
    "on stdout is the address it serves, e.g. http://127.0.0.1:8080/v1/; then one line per\n"
    "answer: time, client, method, path, status. docs/http-api.md describes the interface.\n"
    "  --listen ADDR:PORT  where to listen, e.g. 127.0.0.1:8080; PORT 0 takes a free one.\n"
    "                      An address beyond this machine needs --token-file.\n"
    "  --scales LIST       the store's scales, one per line as NAME = PORT\n"
    "  --token-file FILE   every request must carry \"Authorization: Bearer TOKEN\" with\n"
    "                      the token FILE holds: 16 to 1024 visible ASCII characters; FILE\n"
    "                      must be private to its owner (chmod 600)\n"
    "  --journal FILE      the send journal to record in and answer from\n"
    "\n"
    "The server does not speak TLS: beyond this machine, put a reverse proxy with TLS in\n"
    "front of it (docs/http-api.md shows one).\n"
    "\n"
    "Examples:\n"
    "  scalectl serve --listen 127.0.0.1:8080 --scales store.scales\n"
    "  scalectl serve --listen 0.0.0.0:8080 --scales store.scales --token-file token\n"
    "\n"
    "Exit codes: 0 ended by a signal, 1 the address cannot be listened on or the journal\n"
    "cannot be used, 2 usage error, 3 LIST or the token file cannot be read or used.");

struct ServeOptions {
    QHostAddress address;
    quint16 port = 0;
    QByteArray token;
    ServeSetup setup;
};

std::optional<int> parse(const QStringList& args, ServeOptions& options) {
    CommandLine line(QStringLiteral("serve"), kServeUsage);
    for (const char* name : {"listen", "scales", "token-file", "journal"})
        line.addValue(QLatin1String(name));
    if (const std::optional<int> done = line.parse(args, kHelp))
        return done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    for (const char* name : {"listen", "scales"}) {
        if (!line.isSet(QLatin1String(name)))
            return line.usageError(QStringLiteral("--%1 is required").arg(QLatin1String(name)));
    }
    const QString listen = line.value(QStringLiteral("listen"));
    if (!parseHostPort(listen, options.address, options.port))
        return line.usageError(
            QStringLiteral("--listen takes ADDR:PORT, e.g. 127.0.0.1:8080, not '%1'").arg(listen));
    const bool hasToken = line.isSet(QStringLiteral("token-file"));
    if (const QString refusal = listenRefusal(options.address, hasToken); !refusal.isEmpty())
        return line.usageError(QStringLiteral("--listen ") + refusal);
    if (hasToken) {
        const QString path = line.value(QStringLiteral("token-file"));
        const TokenRead read = readTokenFile(path);
        if (!read.error.isEmpty()) {
            printError(QStringLiteral("scalectl serve: cannot use the token file \"%1\": %2")
                           .arg(path, read.error));
            return ExitFileError;
        }
        options.token = read.token;
    }
    const QString scalesPath = line.value(QStringLiteral("scales"));
    const ScaleListResult list = readScaleList(scalesPath);
    if (!list.ok()) {
        printError(QStringLiteral("scalectl serve: cannot read the scales of \"%1\": %2")
                       .arg(scalesPath, list.error));
        return ExitFileError;
    }
    options.setup.scales = list.scales;
    options.setup.journalPath = line.value(QStringLiteral("journal"));
    return std::nullopt;
}

} // namespace

int serve(const QStringList& args, const SendServiceMaker& makeService) {
    ServeOptions options;
    if (const std::optional<int> done = parse(args, options))
        return *done;
    QString error;
    const std::unique_ptr<SendService> service = makeService(options.setup, error);
    if (!service) {
        printError(QStringLiteral("scalectl serve: ") + error);
        return ExitRefused;
    }
    if (!quitOnTerminationSignals()) {
        printError(QStringLiteral("scalectl serve: cannot watch for signals"));
        return ExitRefused;
    }
    ServerSettings settings;
    settings.address = options.address;
    settings.port = options.port;
    settings.token = options.token;
    // Before the server, so it outlives the server's threads, which write the log lines.
    std::mutex printing;
    ApiServer server(*service, settings);
    server.setLog([&printing](const QString& line) {
        const std::lock_guard lock(printing);
        printLine(line);
    });
    const QString host = options.address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QLatin1Char('[') + options.address.toString() + QLatin1Char(']')
                             : options.address.toString();
    {
        // The address is the first line, before any answer's.
        std::unique_lock lock(printing);
        if (const QString failure = server.listen(); !failure.isEmpty()) {
            lock.unlock();
            printError(QStringLiteral("scalectl serve: cannot listen on %1:%2: %3")
                           .arg(host)
                           .arg(options.port)
                           .arg(failure));
            return ExitRefused;
        }
        printLine(QStringLiteral("http://%1:%2/v1/").arg(host).arg(server.port()));
    }
    QCoreApplication::exec();
    server.stop();
    return ExitOk;
}

} // namespace cli
