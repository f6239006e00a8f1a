#include "FreeXlSheet.h"

#include "spreadsheet/CellText.h"

#include <freexl.h>

FreeXlSheet readWithFreeXl(const QString& path) {
    FreeXlSheet sheet;
    const void* handle = nullptr;
    const int rc = freexl_open(path.toLocal8Bit().constData(), &handle);
    // Some damaged files give OK with no handle; only a handle with a sheet counts.
    if (rc != FREEXL_OK || handle == nullptr) {
        if (handle)
            freexl_close(handle);
        return sheet;
    }
    unsigned int info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_VERSION, &info) == FREEXL_OK)
        sheet.biffVersion = int(info);
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &info) == FREEXL_OK)
        sheet.sheetCount = int(info);
    const char* name = nullptr;
    if (sheet.sheetCount > 0 && freexl_get_worksheet_name(handle, 0, &name) == FREEXL_OK && name)
        sheet.sheetName = QString::fromUtf8(name);
    if (sheet.sheetCount > 0 && freexl_select_active_worksheet(handle, 0) == FREEXL_OK &&
        freexl_worksheet_dimensions(handle, &sheet.rows, &sheet.cols) == FREEXL_OK) {
        for (unsigned r = 0; r < sheet.rows; ++r) {
            for (unsigned short c = 0; c < sheet.cols; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK ||
                    value.type == FREEXL_CELL_NULL)
                    continue;
                FreeXlCell cell;
                cell.type = value.type;
                if (value.type == FREEXL_CELL_INT)
                    cell.text = QString::number(value.value.int_value);
                else if (value.type == FREEXL_CELL_DOUBLE)
                    cell.text = celltext::plainDecimal(value.value.double_value);
                else
                    cell.text = QString::fromUtf8(value.value.text_value);
                sheet.cells.insert({int(r), int(c)}, cell);
            }
        }
        sheet.ok = sheet.biffVersion != 0;
    }
    freexl_close(handle);
    return sheet;
}
