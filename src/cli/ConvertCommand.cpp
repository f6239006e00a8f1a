// scalectl convert IN OUT: reads IN as the window's Open or import reads it and writes OUT as
// its Save or export writes it. A table is kept in five forms: its own file (.plu, .ingred)
// and a workbook as .xls, .xlsx or .csv. With --map, IN is an export read through a column
// map, so that a map can be tried before the hot folder uses it.

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "columnmap/MappedImport.h"
#include "files/TableFileCommands.h"
#include "spreadsheet/WorkbookContainer.h"
#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <functional>
#include <optional>

namespace {

const QString kUsage = QStringLiteral("scalectl convert IN OUT\n"
                                      "       scalectl convert --table plu|ingred IN OUT\n"
                                      "       scalectl convert --map MAP IN OUT");

const QString kHelp =
    QStringLiteral("Usage: ") + kUsage +
    QStringLiteral(
        "\n"
        "\n"
        "Reads the table in IN as ScaleDesk's Open reads it and writes it to OUT as Save writes\n"
        "it: the rows up to the first one without a number, empty names and messages as one\n"
        "blank, an empty \"Message No\" of a PLU as 0. A table is kept in five forms:\n"
        "  .plu      PLU file\n"
        "  .ingred   ingredient file\n"
        "  .xls      workbook of either table, read as the import reads it and written as the\n"
        "            export writes it\n"
        "  .xlsx     the same as an Excel workbook\n"
        "  .csv      the same as comma-separated text (UTF-8 with a byte order mark)\n"
        "\n"
        "OUT is written in the form its extension names (case does not matter). IN is a table\n"
        "file when its extension is .plu or .ingred; any other IN is a workbook whose form is\n"
        "told by its first bytes, whatever its name. The .plu or .ingred file on either side\n"
        "says which table is converted; between two workbooks --table plu|ingred names it.\n"
        "\n"
        "--map MAP reads IN, an export of a merchandise system (.csv, .xls or .xlsx), through\n"
        "the column map MAP, a JSON file (watch.md in ScaleDesk's documentation describes it):\n"
        "which column holds which field, the decimal separator, a factor per number field,\n"
        "defaults, the table, the encoding and rows to skip. The map names the table. A\n"
        "column the file lacks or a value that does not convert refuses the file, naming the\n"
        "row, the column and the field; nothing is written then. The hot folder reads its\n"
        "files through the same map.\n"
        "\n"
        "The status texts of reading and writing go to stdout, errors to stderr.\n"
        "\n"
        "Examples:\n"
        "  scalectl convert shop.plu shop.xlsx\n"
        "  scalectl convert shop.csv shop.plu\n"
        "  scalectl convert --table ingred old.xls new.csv\n"
        "  scalectl convert --map erp-prices.json export.csv prices.plu\n"
        "\n"
        "Exit codes: 0 converted, 2 usage error, 3 a file or the map cannot be read or written.");

enum class TableName { Plu, Ingred };

std::optional<TableName> tableOfExtension(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("plu"))
        return TableName::Plu;
    if (extension == QLatin1String("ingred"))
        return TableName::Ingred;
    return std::nullopt;
}

// Where a table is read from or written to: its own file, or a workbook in `container`'s
// form (a workbook being read goes by its first bytes instead), or an export read through
// a column map.
struct Form {
    bool tableFile = false;
    WorkbookContainer container = WorkbookContainer::Xls;
    const ColumnMap* map = nullptr;
};

// Every status text but the last is printed as it comes; the last one is the result's.
FileCommandResult printingStatus(const std::function<bool(const workbook::StatusSink&)>& run) {
    QString last;
    const bool ok = run([&last](const QString& text) {
        if (!last.isNull())
            cli::printLine(last);
        last = text;
    });
    return FileCommandResult{ok, last};
}

template <typename TableT>
FileCommandResult readTable(TableT& table, const QString& path, const Form& form) {
    if (form.tableFile)
        return openTable(table, path);
    return printingStatus([&](const workbook::StatusSink& status) {
        if (form.map)
            return workbook::importMappedTable(path, *form.map, table, status);
        return workbook::importTable(path, table, status);
    });
}

// Writing a table file is the Save of the window: the grid filled by reading is copied into
// the records first, exactly as the operator's Save copies it.
template <typename TableT>
FileCommandResult writeTable(TableT& table, const QString& path, const Form& form) {
    if (form.tableFile) {
        const CopyResult copied = copyGridToRecords(table);
        if (!copied.ok)
            return copied;
        return saveRecords(table, path);
    }
    return printingStatus([&](const workbook::StatusSink& status) {
        return workbook::exportTable(path, table, QDate::currentDate(), status, form.container);
    });
}

template <typename TableT>
int convertAs(const QString& in, const Form& inForm, const QString& out, const Form& outForm) {
    TableT table;
    table.reset();
    const FileCommandResult read = readTable(table, in, inForm);
    if (!read.ok) {
        cli::printError(read.status);
        return ExitFileError;
    }
    cli::printLine(read.status);
    const FileCommandResult written = writeTable(table, out, outForm);
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
    line.addValue(QStringLiteral("map"));
    if (const std::optional<int> done = line.parse(args, kHelp))
        return *done;
    std::optional<TableName> named;
    if (line.isSet(QStringLiteral("table"))) {
        const QString name = line.value(QStringLiteral("table"));
        if (name == QLatin1String("plu"))
            named = TableName::Plu;
        else if (name == QLatin1String("ingred"))
            named = TableName::Ingred;
        else
            return line.usageError(QStringLiteral("--table takes plu or ingred"));
    }
    const QStringList files = line.positional();
    if (files.size() != 2)
        return line.usageError(QStringLiteral("expected two files, IN and OUT"));
    const QString& in = files[0];
    const QString& out = files[1];

    const std::optional<TableName> inTable = tableOfExtension(in);
    const std::optional<TableName> outTable = tableOfExtension(out);
    const std::optional<WorkbookContainer> outContainer =
        containerOfExtension(QFileInfo(out).suffix());
    if (!outTable && !outContainer)
        return line.usageError(QStringLiteral("cannot write '%1': OUT must end in .plu, .ingred, "
                                              ".xls, .xlsx or .csv")
                                   .arg(out));
    Form inForm{inTable.has_value()};
    const Form outForm{outTable.has_value(), outContainer.value_or(WorkbookContainer::Xls)};

    // A map names its table as well.
    std::optional<ColumnMap> map;
    std::optional<TableName> mapTable;
    if (line.isSet(QStringLiteral("map"))) {
        const QString mapPath = line.value(QStringLiteral("map"));
        if (inTable)
            return line.usageError(QStringLiteral("--map reads an export (.csv, .xls or .xlsx), "
                                                  "not the table file '%1'")
                                       .arg(in));
        ColumnMapRead read = readColumnMap(mapPath);
        if (!read.map) {
            cli::printError(QStringLiteral("Cannot read the column map %1: %2")
                                .arg(QDir::toNativeSeparators(mapPath), read.error));
            return ExitFileError;
        }
        map = std::move(read.map);
        inForm.map = &*map;
        mapTable = map->kind == &pluKind() ? TableName::Plu : TableName::Ingred;
        for (const std::optional<TableName>& said : {outTable, named})
            if (said && *said != *mapTable)
                return line.usageError(
                    QStringLiteral("cannot convert '%1' to '%2': the map '%3' is for the %4 table")
                        .arg(in, out, mapPath, map->kind->name));
    }

    // The table: each table file names one, and --table names one; all must agree.
    std::optional<TableName> table;
    for (const std::optional<TableName>& said : {inTable, outTable, named, mapTable}) {
        if (said && table && *said != *table)
            return line.usageError(
                QStringLiteral("cannot convert '%1' to '%2': the extensions must name "
                               "one table (.plu or .ingred)")
                    .arg(in, out));
        if (said)
            table = said;
    }
    if (!table) // two workbooks
        return line.usageError(QStringLiteral("'%1' and '%2' may hold either table: give --table "
                                              "plu or --table ingred")
                                   .arg(in, out));
    return *table == TableName::Plu ? convertAs<PluTable>(in, inForm, out, outForm)
                                    : convertAs<IngredTable>(in, inForm, out, outForm);
}

const RegisterCommand registration{
    CliCommand{QStringLiteral("convert"),
               QStringLiteral("convert a table file or workbook into another of the same table"),
               kUsage, runConvert}};

} // namespace
