// scalectl journal holds --scale NAME [--table plu|ingred] [OUT]: the table a scale holds as
// far as the send journal knows, as a table file.

#include "cli/Command.h"
#include "cli/JournalCommands.h"
#include "cli/JournalOption.h"
#include "files/TableFileCommands.h"
#include "files/TableFileFormat.h"

#include <QFileInfo>

namespace {

// The held records as the grid's rows 1.., in the order of their numbers, then copied into
// the records as Save copies them (which checks every cell).
template <typename TableT>
CopyResult fillTable(TableT& table, const QMap<int, journal::HeldRecord>& held) {
    table.reset();
    if (held.size() > TableT::kDataRows)
        return {false, QStringLiteral("the journal holds %1 numbers, more than a %2 table has")
                           .arg(held.size())
                           .arg(TableT::kind().name)};
    QVector<QStringList> cells = table.grid.all();
    int row = 1;
    for (const journal::HeldRecord& record : held) {
        for (int f = 0; f < record.fields.size(); ++f)
            cells[row][f + 1] = record.fields[f].second;
        ++row;
    }
    table.grid.setAll(cells);
    return copyGridToRecords(table);
}

template <typename TableT>
int writeHeld(const journal::Journal& journal, const QString& scale, const QString& out) {
    QMap<int, journal::HeldRecord> held;
    if (const QString error = journal.holds(scale, TableT::kind().name, &held); !error.isEmpty()) {
        cli::printError(error);
        return ExitFileError;
    }
    if (held.isEmpty()) {
        cli::printError(QStringLiteral("scalectl journal holds: the journal knows of no %1 "
                                       "record that %2 holds")
                            .arg(TableT::kind().name, scale));
        return ExitRefused;
    }
    TableT table;
    const CopyResult copied = fillTable(table, held);
    if (!copied.ok) {
        cli::printError(QStringLiteral("scalectl journal holds: ") + copied.status);
        return ExitFileError;
    }
    if (out.isEmpty()) {
        const FormattedTableFile file = formatTableFile<typename TableT::RecordType>(
            std::span(table.records).subspan(1, size_t(table.count)));
        if (!file.ok()) {
            cli::printError(QStringLiteral("scalectl journal holds: ") + file.error);
            return ExitFileError;
        }
        journalcommand::writeBytes(file.bytes);
        return ExitOk;
    }
    const SaveResult saved = saveRecords(table, out);
    if (!saved.ok) {
        cli::printError(saved.status);
        return ExitFileError;
    }
    cli::printLine(saved.status);
    return ExitOk;
}

} // namespace

namespace journalcommand {

int holds(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("journal holds"), kUsage);
    line.addValues({"scale", "table", "journal"});
    if (const std::optional<int> done = line.parse(args, help()))
        return *done;
    if (!line.isSet(QStringLiteral("scale")))
        return line.usageError(QStringLiteral("--scale NAME is needed: whose table to write"));
    const QStringList positional = line.positional();
    if (positional.size() > 1)
        return line.usageError(QStringLiteral("one OUT file at most"));
    const QString out = positional.value(0);
    QString table = line.value(QStringLiteral("table"));
    if (!table.isEmpty() && table != QLatin1String("plu") && table != QLatin1String("ingred"))
        return line.usageError(QStringLiteral("--table takes plu or ingred"));
    if (!out.isEmpty()) {
        const QString extension = QFileInfo(out).suffix().toLower();
        if (extension != QLatin1String("plu") && extension != QLatin1String("ingred"))
            return line.usageError(
                QStringLiteral("cannot write '%1': OUT must end in .plu or .ingred").arg(out));
        if (!table.isEmpty() && table != extension)
            return line.usageError(
                QStringLiteral("'%1' is no %2 file: its extension names the table")
                    .arg(out, table));
        table = extension;
    }
    const std::unique_ptr<journal::Journal> journal =
        journaloption::open(line, journal::Journal::Access::ReadOnly);
    if (!journal)
        return ExitFileError;
    const QString scale = line.value(QStringLiteral("scale"));
    return table == QLatin1String("ingred") ? writeHeld<IngredTable>(*journal, scale, out)
                                            : writeHeld<PluTable>(*journal, scale, out);
}

} // namespace journalcommand
