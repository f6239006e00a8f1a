// `scalectl serve` on the fake service: the command as a process for the script test, with
// everything of the real command but the jobs and the journal behind it.
#include "FakeSendService.h"
#include "cli/Command.h"
#include "cli/ServeCommand.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.takeFirst() != QLatin1String("serve")) {
        cli::printError(QStringLiteral("usage: serve_probe serve OPTIONS"));
        return ExitUsage;
    }
    return cli::serve(args, [](const cli::ServeSetup& setup, QString&) {
        return std::make_unique<FakeSendService>(setup.scales);
    });
}
