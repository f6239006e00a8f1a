// scalectl convert IN OUT: reads IN as the window's Open reads it and writes OUT as its Save
// writes it. The table and the formats follow the file extensions.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "files/TableFileCommands.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"

#include <QDate>
#include <QFileInfo>

#include <functional>
#include <optional>

namespace {

const QString kUsage = QStringLiteral("scalectl convert IN OUT\n"
                                      "       scalectl convert --table plu|ingred IN.xls OUT.xls");

const QString kHelp =
    QStringLiteral("Usage: ") + kUsage +
    QStringLiteral(
        "\n"
        "\n"
        "Reads the table in IN as ScaleDesk's Open reads it and writes it to OUT as Save writes\n"
        "it: the rows up to the first one without a number, empty names and messages as one\n"
        "blank, an empty \"Message No\" of a PLU as 0. The extensions say which table the files\n"
        "hold and in which format (case does not matter):\n"
        "  .plu      PLU file\n"
        "  .ingred   ingredient file\n"
        "  .xls      workbook of either table, read as the import reads it and written as the\n"
        "            export writes it; between two workbooks --table plu|ingred names the table\n"
        "\n"
        "The status texts of reading and writing go to stdout, errors to stderr.\n"
        "\n"
        "Examples:\n"
        "  scalectl convert shop.plu shop.xls\n"
        "  scalectl convert shop.xls shop.plu\n"
        "  scalectl convert --table ingred old.xls new.xls\n"
        "\n"
        "Exit codes: 0 converted, 2 usage error, 3 a file cannot be read or written.");

// One format a table can be read from and written to. Another format is one more entry.
template <typename TableT> struct TableFormat {
    QString extension; // lower case, without the dot
    std::function<FileCommandResult(TableT&, const QString&)> read;
    std::function<FileCommandResult(TableT&, const QString&)> write;
};

// Writing a table file is the Save of the window: the grid filled by reading is copied into
// the records first, exactly as the operator's Save copies it.
template <typename TableT> FileCommandResult saveTableFile(TableT& table, const QString& path) {
    const CopyResult copied = copyGridToRecords(table);
    if (!copied.ok)
        return copied;
    return saveRecords(table, path);
}

// Every status text but the last is printed as it comes; the last one is the result's.
template <typename TableT> TableFormat<TableT> workbookFormat() {
    auto run = [](const std::function<bool(const workbook::StatusSink&)>& command) {
        QString last;
        const bool ok = command([&last](const QString& text) {
            if (!last.isNull())
                cli::printLine(last);
            last = text;
        });
        return FileCommandResult{ok, last};
    };
    return {QStringLiteral("xls"),
            [run](TableT& table, const QString& path) {
                return run([&](const workbook::StatusSink& status) {
                    return workbook::importTable(path, table, status);
                });
            },
            [run](TableT& table, const QString& path) {
                return run([&](const workbook::StatusSink& status) {
                    return workbook::exportTable(path, table, QDate::currentDate(), status);
                });
            }};
}

template <typename TableT> QVector<TableFormat<TableT>> tableFileFormat(const QString& extension) {
    return {{extension, [](TableT& table, const QString& path) { return openTable(table, path); },
             saveTableFile<TableT>},
            workbookFormat<TableT>()};
}

QVector<TableFormat<PluTable>> formatsOf(const PluTable*) {
    return tableFileFormat<PluTable>(QStringLiteral("plu"));
}

QVector<TableFormat<IngredTable>> formatsOf(const IngredTable*) {
    return tableFileFormat<IngredTable>(QStringLiteral("ingred"));
}

template <typename TableT>
const TableFormat<TableT>* findFormat(const QVector<TableFormat<TableT>>& formats,
                                      const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const TableFormat<TableT>& format : formats) {
        if (format.extension == extension)
            return &format;
    }
    return nullptr;
}

template <typename TableT> QVector<TableFormat<TableT>> formats() {
    return formatsOf(static_cast<const TableT*>(nullptr));
}

// True when both files are in formats of this table.
template <typename TableT> bool holds(const QString& in, const QString& out) {
    const QVector<TableFormat<TableT>> all = formats<TableT>();
    return findFormat(all, in) && findFormat(all, out);
}

template <typename TableT> int convertAs(const QString& in, const QString& out) {
    const QVector<TableFormat<TableT>> all = formats<TableT>();
    const TableFormat<TableT>* reader = findFormat(all, in);
    const TableFormat<TableT>* writer = findFormat(all, out);
    TableT table;
    table.reset();
    const FileCommandResult read = reader->read(table, in);
    if (!read.ok) {
        cli::printError(read.status);
        return ExitFileError;
    }
    cli::printLine(read.status);
    const FileCommandResult written = writer->write(table, out);
    if (!written.ok) {
        cli::printError(written.status);
        return ExitFileError;
    }
    cli::printLine(written.status);
    return ExitOk;
}

int runConvert(const QStringList& args) {
    cli::CommandLine line(QStringLiteral("convert"), kUsage);
    line.addValue(QStringLiteral("table")); // plu|ingred: needed only where both are workbooks
    if (const std::optional<int> done = line.parse(args, kHelp))
        return *done;
    const QString tableName = line.value(QStringLiteral("table"));
    if (line.isSet(QStringLiteral("table")) && tableName != QLatin1String("plu") &&
        tableName != QLatin1String("ingred"))
        return line.usageError(QStringLiteral("--table takes plu or ingred"));
    const QStringList files = line.positional();
    if (files.size() != 2)
        return line.usageError(QStringLiteral("expected two files, IN and OUT"));
    const QString& in = files[0];
    const QString& out = files[1];

    const bool plu = holds<PluTable>(in, out) && tableName != QLatin1String("ingred");
    const bool ingred = holds<IngredTable>(in, out) && tableName != QLatin1String("plu");
    if (plu && ingred) // two workbooks: only --table tells the table
        return line.usageError(QStringLiteral("'%1' and '%2' may hold either table: give --table "
                                              "plu or --table ingred")
                                   .arg(in, out));
    if (plu == ingred) // neither, or a pair of formats that both tables share
        return line.usageError(
            QStringLiteral("cannot convert '%1' to '%2': the extensions must name "
                           "one table (.plu or .ingred)")
                .arg(in, out));
    return plu ? convertAs<PluTable>(in, out) : convertAs<IngredTable>(in, out);
}

const RegisterCommand registration{
    CliCommand{QStringLiteral("convert"),
               QStringLiteral("convert a table file or workbook into another of the same table"),
               kUsage, runConvert}};

} // namespace
