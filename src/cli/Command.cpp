#include "cli/Command.h"

#include <cstdio>

namespace cli {

static QVector<CliCommand>& registry() {
    static QVector<CliCommand> all;
    return all;
}

void registerCommand(const CliCommand& command) {
    registry().append(command);
}

const QVector<CliCommand>& commands() {
    return registry();
}

void printLine(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

} // namespace cli
