#pragma once

#include "files/TableFileCommands.h"
#include "protocol/DownloadPlan.h"
#include "spreadsheet/WorkbookContainer.h"
#include "tables/InnerEmptyRow.h"
#include "tables/Table.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>

// One table of the window whatever its kind: the grid, and every file, workbook and download
// command the core offers for it. The window's panes hold one each and are written once.
class TableAccess {
public:
    using ShowText = std::function<void(const QString& text)>;

    virtual ~TableAccess() = default;

    virtual const TableKind& kind() const = 0;
    virtual TextGrid& grid() = 0;
    virtual int rowLimit() const = 0; // grid rows at reset, header included

    // The reset of start-up: an empty table; returns the count text ("PLU Count is 0").
    virtual QString reset() = 0;
    virtual QString makeNew() = 0; // New: the status text
    virtual OpenResult open(const QString& path) = 0;
    virtual CopyResult copyGridToRecords() = 0;
    virtual SaveResult save(const QString& path) = 0;
    virtual bool importWorkbook(const QString& path, const ShowText& show) = 0;
    virtual void exportWorkbook(const QString& path, const QDate& today, const ShowText& show,
                                WorkbookContainer container) const = 0;
    virtual std::optional<InnerEmptyRow> innerEmptyRow() const = 0;
    virtual DownloadPlan planDownload(const QString& sourcePath,
                                      const DownloadSelection& selection) const = 0;
};

// The access to `table`, which must outlive it. `T` is any table of SCALEDESK_FOR_EACH_TABLE.
template <typename T> std::unique_ptr<TableAccess> accessTo(T& table);
