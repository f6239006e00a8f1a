// scalectl journal [--scale NAME] [--plu N] [--since T] [--until T] [--format text|csv|json]:
// what was sent, from the send journal; and its questions holds, lowest and verify.

#include "cli/Command.h"
#include "cli/JournalCommands.h"
#include "cli/JournalOption.h"
#include "journal/SentRowsFormat.h"
#include "spreadsheet/CsvWriter.h"
#include "tables/Records.h"

#include <QJsonDocument>

#include <cstdio>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace journalcommand {

const QString kUsage = QStringLiteral(
    "scalectl journal [--scale NAME] [--plu N] [--since T] [--until T] [--format text|csv|json]\n"
    "       scalectl journal holds --scale NAME [--table plu|ingred] [OUT]\n"
    "       scalectl journal lowest --plu N [--scale NAME] [--days N] [--until T]\n"
    "       scalectl journal verify");

QString help() {
    return QStringLiteral(
               "Usage: scalectl journal [--scale NAME] [--plu N] [--since T] [--until T]\n"
               "                        [--format text|csv|json] [--journal FILE]\n"
               "       scalectl journal holds --scale NAME [--table plu|ingred] [OUT]\n"
               "                        [--journal FILE]\n"
               "       scalectl journal lowest --plu N [--scale NAME] [--days N] [--until T]\n"
               "                        [--journal FILE]\n"
               "       scalectl journal verify [--journal FILE]\n"
               "\n"
               "Answers from the send journal: the record of each transfer with a scale (when, "
               "which\n"
               "scale, who, from which file, how it ended) and of each row it sent or read, "
               "with the\n"
               "record and the scale's answer.\n"
               "\n"
               "Without a question: the rows sent, oldest first.\n"
               "  --scale NAME        one scale's rows\n"
               "  --plu N             PLU N's rows\n"
               "  --since T           from T on\n"
               "  --until T           up to T (both ends belong to the period)\n"
               "  --format text       one line per row (default)\n"
               "  --format csv        the .csv file the window's \"Save as CSV\" writes\n"
               "  --format json       an array of one object per row, the record's bytes in hex\n"
               "\n"
               "holds: the table the scale holds as far as the journal knows, each number as "
               "the scale\n"
               "last accepted it or showed it when read. A number whose last send the scale did "
               "not\n"
               "accept, or whose last read failed, is left out. The table is written to OUT "
               "as Save\n"
               "writes a table file (.plu or .ingred, which names the table too), or its lines "
               "go to\n"
               "stdout (the PLU table unless --table ingred).\n"
               "\n"
               "lowest: the lowest unit price PLU N had on the scale (on any scale without "
               "--scale)\n"
               "in the --days N days (default 30) up to --until T (default now): of the prices "
               "it\n"
               "accepted then and the one it held when that time began. Prints the price, the "
               "scale\n"
               "and when it was sent.\n"
               "\n"
               "verify: checks every entry against its SHA-256, chained over the entry before, "
               "and\n"
               "names the first one changed, removed or inserted since it was written.\n"
               "\n"
               "A scale is named as in the list of scales, or by its port when it has no name. "
               "T is a\n"
               "time in UTC: 2024-05-01 (the whole day), 2024-05-01T09:30 or "
               "2024-05-01T09:30:00Z;\n"
               "times are printed the same way, to the millisecond.\n"
               "%1"
               "The questions only read the journal (one of an older ScaleDesk is brought up to "
               "date\n"
               "first).\n"
               "\n"
               "Exit codes: 0 answered, 1 verify found a change, or nothing is known of what "
               "was asked,\n"
               "2 usage error, 3 the journal or OUT cannot be read or written.")
        .arg(journaloption::helpText());
}

void writeBytes(const QByteArray& bytes) {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace journalcommand

namespace {

enum class Format { Text, Csv, Json };

int listSent(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("journal"), journalcommand::kUsage);
    line.addValues({"scale", "plu", "since", "until", "format", "journal"});
    if (const std::optional<int> done = line.parse(args, journalcommand::help()))
        return *done;
    if (!line.positional().isEmpty())
        return line.usageError(QStringLiteral("unknown question '%1': ask holds, lowest or "
                                              "verify, before the options")
                                   .arg(line.positional().first()));
    journal::RowFilter filter;
    filter.scale = line.value(QStringLiteral("scale"));
    if (line.isSet(QStringLiteral("plu"))) {
        bool ok = false;
        const int plu = line.value(QStringLiteral("plu")).toInt(&ok);
        if (!ok || plu < 1 || plu > PluRecord::kCapacity)
            return line.usageError(
                QStringLiteral("--plu takes a PLU number from 1 to %1").arg(PluRecord::kCapacity));
        filter.kind = pluKind().name;
        filter.number = plu;
    }
    std::optional<int> exitCode;
    filter.since = journaloption::timeOption(line, QStringLiteral("since"),
                                             journal::PeriodEnd::Start, &exitCode)
                       .value_or(QDateTime());
    filter.until =
        journaloption::timeOption(line, QStringLiteral("until"), journal::PeriodEnd::End, &exitCode)
            .value_or(QDateTime());
    if (exitCode)
        return *exitCode;
    const QString formatName = line.value(QStringLiteral("format"));
    Format format = Format::Text;
    if (formatName == QLatin1String("csv"))
        format = Format::Csv;
    else if (formatName == QLatin1String("json"))
        format = Format::Json;
    else if (!formatName.isEmpty() && formatName != QLatin1String("text"))
        return line.usageError(QStringLiteral("--format takes text, csv or json"));

    const std::unique_ptr<journal::Journal> journal =
        journaloption::open(line, journal::Journal::Access::ReadOnly);
    if (!journal)
        return ExitFileError;
    if (format == Format::Csv)
        journalcommand::writeBytes(csvFileStart() + csvLine(journal::sentRowHeaders()).toUtf8() +
                                   "\r\n");
    if (format == Format::Json)
        std::fputs("[", stdout);
    bool first = true;
    const QString error = journal->sentRows(filter, [&](const journal::RowRecord& row) {
        switch (format) {
        case Format::Text:
            cli::printLine(journal::sentRowLine(row));
            break;
        case Format::Csv:
            journalcommand::writeBytes(csvLine(journal::sentRowCells(row)).toUtf8() + "\r\n");
            break;
        case Format::Json:
            std::fputs(first ? "\n" : ",\n", stdout);
            std::fputs(
                QJsonDocument(journal::sentRowJson(row)).toJson(QJsonDocument::Compact).constData(),
                stdout);
            break;
        }
        first = false;
        return true;
    });
    if (format == Format::Json)
        std::fputs("\n]\n", stdout);
    std::fflush(stdout);
    if (!error.isEmpty()) {
        cli::printError(error);
        return ExitFileError;
    }
    return ExitOk;
}

int runJournal(const QStringList& args) {
    const QString question = args.value(0);
    if (question == QLatin1String("holds"))
        return journalcommand::holds(args.mid(1));
    if (question == QLatin1String("lowest"))
        return journalcommand::lowest(args.mid(1));
    if (question == QLatin1String("verify"))
        return journalcommand::verify(args.mid(1));
    return listSent(args);
}

const RegisterCommand registration{
    CliCommand{QStringLiteral("journal"),
               QStringLiteral("what was sent to which scale, what a scale holds, the lowest "
                              "price of a PLU"),
               journalcommand::kUsage, runJournal}};

} // namespace
