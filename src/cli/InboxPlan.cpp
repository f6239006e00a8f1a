#include "cli/InboxPlan.h"

#include "columnmap/ColumnMap.h"
#include "columnmap/MappedImport.h"
#include "files/TableFileCommands.h"
#include "spreadsheet/WorkbookImport.h"
#include "tables/Table.h"

#include <QFileInfo>

#include <memory>

namespace cli {
namespace {

enum class Form { TableFile, Workbook, Unknown };

Form formOf(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("plu") || extension == QLatin1String("ingred"))
        return Form::TableFile;
    if (extension == QLatin1String("xls") || extension == QLatin1String("xlsx") ||
        extension == QLatin1String("csv"))
        return Form::Workbook;
    return Form::Unknown;
}

template <typename TableT>
InboxPlan planTable(const QString& path, const ColumnMap* map, const QString& command) {
    auto table = std::make_unique<TableT>(); // hundreds of records: too big for the stack
    table->reset();
    InboxPlan result;
    result.command = command;
    bool read = false;
    if (formOf(path) == Form::TableFile) {
        const OpenResult opened = openTable(*table, path);
        read = opened.ok;
        result.readText = opened.status;
    } else {
        const auto status = [&result](const QString& text) { result.readText = text; };
        read = map ? workbook::importMappedTable(path, *map, *table, status)
                   : workbook::importTable(path, *table, status);
    }
    if (!read) {
        result.refusal = result.readText;
        return result;
    }
    result.plan = planDownload(*table, path, DownloadSelection{});
    result.refusal = result.plan.refusal;
    return result;
}

} // namespace

InboxPlan planInboxFile(const QString& path, const ColumnMap* map) {
    const QString plu = QStringLiteral("download plu");
    const QString ingred = QStringLiteral("download ingred");
    switch (formOf(path)) {
    case Form::TableFile:
        if (QFileInfo(path).suffix().toLower() == QLatin1String("ingred"))
            return planTable<IngredTable>(path, nullptr, ingred);
        return planTable<PluTable>(path, nullptr, plu);
    case Form::Workbook:
        if (map && map->kind == &IngredTable::kind())
            return planTable<IngredTable>(path, map, ingred);
        return planTable<PluTable>(path, map, plu);
    case Form::Unknown:
        break;
    }
    InboxPlan refused;
    refused.command = plu;
    refused.refusal =
        QStringLiteral("Cannot send %1: ScaleDesk reads .plu, .ingred, .xls, .xlsx and .csv files")
            .arg(QFileInfo(path).fileName());
    return refused;
}

} // namespace cli
