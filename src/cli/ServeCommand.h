#pragma once

#include "jobs/ScaleEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class SendService;

namespace cli {

// What the program behind `scalectl serve` is made from: the scales of --scales LIST and
// the journal of --journal (empty: the default one).
struct ServeSetup {
    QList<ScaleEntry> scales;
    QString journalPath;
};

// Makes the SendService, or says in `error` why it cannot ("journal /path: disk full").
using SendServiceMaker =
    std::function<std::unique_ptr<SendService>(const ServeSetup& setup, QString& error)>;

extern const QString kServeUsage;

// scalectl serve --listen ADDR:PORT --scales LIST [--token-file FILE] [--journal FILE]:
// checks the options, makes the service and serves the HTTP interface until SIGTERM or
// Ctrl-C. Returns the exit code.
int serve(const QStringList& args, const SendServiceMaker& makeService);

} // namespace cli
