#include "app/TableAccess.h"

#include "spreadsheet/WorkbookExport.h"
#include "spreadsheet/WorkbookImport.h"

namespace {

template <typename T> class TableAccessOf final : public TableAccess {
public:
    explicit TableAccessOf(T& table) : table_(table) {}

    const TableKind& kind() const override { return T::kind(); }
    TextGrid& grid() override { return table_.grid; }
    int rowLimit() const override { return T::kRowLimit; }

    QString reset() override {
        table_.reset();
        table_.count = 0;
        return countText(table_);
    }
    QString makeNew() override { return newTable(table_); }
    OpenResult open(const QString& path) override { return openTable(table_, path); }
    CopyResult copyGridToRecords() override { return ::copyGridToRecords(table_); }
    SaveResult save(const QString& path) override { return saveRecords(table_, path); }
    bool importWorkbook(const QString& path, const ShowText& show) override {
        return workbook::importTable(path, table_, show);
    }
    void exportWorkbook(const QString& path, const QDate& today, const ShowText& show,
                        WorkbookContainer container) const override {
        workbook::exportTable(path, table_, today, show, container);
    }
    std::optional<InnerEmptyRow> innerEmptyRow() const override {
        return findInnerEmptyRow(table_.grid, T::kind());
    }
    DownloadPlan planDownload(const QString& sourcePath,
                              const DownloadSelection& selection) const override {
        return ::planDownload(table_, sourcePath, selection);
    }

private:
    T& table_;
};

} // namespace

template <typename T> std::unique_ptr<TableAccess> accessTo(T& table) {
    return std::make_unique<TableAccessOf<T>>(table);
}

#define INSTANTIATE(T) template std::unique_ptr<TableAccess> accessTo(T&);
SCALEDESK_FOR_EACH_TABLE(INSTANTIATE)
