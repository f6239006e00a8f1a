// scalectl serve with the real jobs behind it (the tests put a fake there instead).
#include "cli/Command.h"
#include "cli/ServeCommand.h"
#include "http/JobSendService.h"
#include "serial/Clock.h"

namespace cli {
namespace {

std::unique_ptr<SendService> makeJobSendService(const ServeSetup& setup, QString&) {
    static RealClock clock; // the jobs' clock, for as long as the program serves
    return std::make_unique<JobSendService>(setup.scales, clock);
}

int serveScales(const QStringList& args) {
    return serve(args, makeJobSendService);
}

RegisterCommand reg{CliCommand{QStringLiteral("serve"),
                               QStringLiteral("send to the scales of a list over HTTP"),
                               kServeUsage, serveScales}};

} // namespace
} // namespace cli
