"""An independent reader and writer of .xlsx and .csv workbooks for the tests, built on
openpyxl and Python's csv module.

    python3 openpyxl_workbooks.py write SHEETS.json FOLDER
        SHEETS.json: [{"name": ..., "cells": [[row, col, value], ...]}, ...] with rows and
        columns from 0 and each value a number or a string. Writes FOLDER/N.xlsx (openpyxl)
        and FOLDER/N.csv (csv module, UTF-8, commas, quotes only where needed) for sheet N.
    python3 openpyxl_workbooks.py read FILE.xlsx ...
        Prints, per file, the first worksheet as {"name": ..., "cells": [[row, col, type,
        value], ...]} with type "number", "text" or "bool", one JSON document per line.
"""
import csv
import json
import os
import sys

import openpyxl


def number_text(value):
    if isinstance(value, float) and value.is_integer() and abs(value) < 2**53:
        return str(int(value))
    return repr(value)


def write(sheets_path, folder):
    with open(sheets_path, encoding="utf-8") as source:
        sheets = json.load(source)
    for index, sheet in enumerate(sheets):
        book = openpyxl.Workbook()
        page = book.active
        page.title = sheet["name"]
        rows = {}
        for row, col, value in sheet["cells"]:
            cell = page.cell(row=row + 1, column=col + 1, value=value)
            if isinstance(value, str):
                cell.data_type = "s"  # openpyxl would take "=1+1" for a formula
            rows.setdefault(row, {})[col] = value
        book.save(os.path.join(folder, "%d.xlsx" % index))
        width = 1 + max((c for cols in rows.values() for c in cols), default=0)
        with open(os.path.join(folder, "%d.csv" % index), "w", encoding="utf-8",
                  newline="") as out:
            writer = csv.writer(out)
            for row in range(1 + max(rows, default=-1)):
                cells = rows.get(row, {})
                writer.writerow([number_text(cells[c]) if isinstance(cells.get(c), float)
                                 else cells.get(c, "") for c in range(width)])


def read(paths):
    for path in paths:
        page = openpyxl.load_workbook(path).worksheets[0]
        cells = []
        for row in page.iter_rows():
            for cell in row:
                value = cell.value
                if value is None:
                    continue
                if isinstance(value, bool):
                    kind = "bool"
                elif isinstance(value, (int, float)):
                    kind, value = "number", float(value)
                else:
                    kind = "text"
                cells.append([cell.row - 1, cell.column - 1, kind, value])
        print(json.dumps({"name": page.title, "cells": cells}))


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3])
    else:
        read(sys.argv[2:])
