// scalectl serve with the real jobs behind it (the tests put a fake there instead).
#include "cli/Command.h"
#include "cli/ServeCommand.h"
#include "http/JobSendService.h"
#include "journal/Journal.h"
#include "serial/Clock.h"

namespace cli {
namespace {

// The service on the journal of --journal, or the window's; refused when it cannot be opened.
std::unique_ptr<SendService> makeJobSendService(const ServeSetup& setup, QString& error) {
    static RealClock clock; // the jobs' clock, for as long as the program serves
    const QString path =
        setup.journalPath.isEmpty() ? journal::defaultJournalPath() : setup.journalPath;
    std::unique_ptr<journal::Journal> journal = journal::Journal::open(path, &error);
    if (!journal)
        return nullptr;
    return std::make_unique<JobSendService>(setup.scales, clock, std::move(journal));
}

int serveScales(const QStringList& args) {
    return serve(args, makeJobSendService);
}

RegisterCommand reg{CliCommand{QStringLiteral("serve"),
                               QStringLiteral("send to the scales of a list over HTTP"),
                               kServeUsage, serveScales}};

} // namespace
} // namespace cli
