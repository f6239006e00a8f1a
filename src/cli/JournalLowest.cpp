// scalectl journal lowest --plu N [--scale NAME] [--days N] [--until T]: the lowest unit price
// of a PLU in the days before a price reduction, from the send journal.

#include "cli/Command.h"
#include "cli/JournalCommands.h"
#include "cli/JournalOption.h"
#include "journal/JournalTime.h"
#include "tables/Records.h"

namespace {
constexpr int kDefaultDays = 30;
constexpr int kMostDays = 36525; // a century: anything longer is a typing error
} // namespace

namespace journalcommand {

int lowest(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("journal lowest"), kUsage);
    line.addValues({"plu", "scale", "days", "until", "journal"});
    if (const std::optional<int> done = line.parse(args, help()))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(
            QStringLiteral("unexpected argument '%1'").arg(line.positional().first()));
    bool ok = false;
    const int plu = line.value(QStringLiteral("plu")).toInt(&ok);
    if (!ok || plu < 1 || plu > PluRecord::kCapacity)
        return line.usageError(
            QStringLiteral("--plu takes a PLU number from 1 to %1").arg(PluRecord::kCapacity));
    int days = kDefaultDays;
    if (line.isSet(QStringLiteral("days"))) {
        days = line.value(QStringLiteral("days")).toInt(&ok);
        if (!ok || days < 1 || days > kMostDays)
            return line.usageError(
                QStringLiteral("--days takes a number of days from 1 to %1").arg(kMostDays));
    }
    std::optional<int> exitCode;
    const QDateTime until =
        journaloption::timeOption(line, QStringLiteral("until"), journal::PeriodEnd::End, &exitCode)
            .value_or(QDateTime::currentDateTimeUtc());
    if (exitCode)
        return *exitCode;
    const QDateTime from = until.addDays(-days);

    const std::unique_ptr<journal::Journal> journal =
        journaloption::open(line, journal::Journal::Access::ReadOnly);
    if (!journal)
        return ExitFileError;
    const QString scale = line.value(QStringLiteral("scale"));
    std::optional<journal::LowestPrice> lowest;
    if (const QString error = journal->lowestUnitPrice(plu, scale, from, until, &lowest);
        !error.isEmpty()) {
        cli::printError(error);
        return ExitFileError;
    }
    const QString period = QStringLiteral("PLU %1, %2 to %3")
                               .arg(plu)
                               .arg(journal::utcText(from), journal::utcText(until));
    if (!lowest) {
        cli::printError(QStringLiteral("%1: the journal knows of no unit price %2")
                            .arg(period, scale.isEmpty() ? QStringLiteral("sent to a scale")
                                                         : QStringLiteral("sent to ") + scale));
        return ExitRefused;
    }
    cli::printLine(QStringLiteral("%1: lowest unit price %2, sent to %3 at %4%5")
                       .arg(period)
                       .arg(lowest->unitPrice)
                       .arg(lowest->scale, journal::utcText(lowest->at),
                            lowest->fromBefore ? QStringLiteral(" and held when the period began")
                                               : QString()));
    return ExitOk;
}

} // namespace journalcommand
