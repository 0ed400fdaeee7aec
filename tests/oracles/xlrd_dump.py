#!/usr/bin/python3
"""Prints what xlrd 1.2 (formatting_info=True) sees in an .xls workbook, as JSON (UTF-8):

  {"file", "sheets": [{"name", "cells": [{"cell", "type", "value", "format"}], "merged": ["A1:F1", ...],
   "columns": [{"column", "width", "hidden"}], "rows": [{"row", "height", "hidden"}],
   "selected", "shown"}]}

Cells are A1-style; "type" is text, number, date, boolean or error (blank cells that only carry
formatting are left out); "format" is the XF's number format string. Column widths are COLINFO
widths in 1/256 of a character, columns and rows 0-based. "selected" and "shown" are the sheet's
WINDOW2 flags: the tab selected, the sheet in the window.

Usage: xlrd_dump.py WORKBOOK.xls
Exit status 0 on success, 1 when xlrd refuses the file (reason on stderr), 2 on a usage error."""
import json
import sys

import xlrd

TYPES = {
    xlrd.XL_CELL_TEXT: "text",
    xlrd.XL_CELL_NUMBER: "number",
    xlrd.XL_CELL_DATE: "date",
    xlrd.XL_CELL_BOOLEAN: "boolean",
    xlrd.XL_CELL_ERROR: "error",
    xlrd.XL_CELL_BLANK: "blank",
}


def format_string(book, xf_index):
    try:
        xf = book.xf_list[xf_index]
        return book.format_map[xf.format_key].format_str
    except (IndexError, KeyError):
        return None


def dump_sheet(book, index):
    sheet = book.sheet_by_index(index)
    cells = []
    for row in range(sheet.nrows):
        for column in range(sheet.ncols):
            cell = sheet.cell(row, column)
            kind = TYPES.get(cell.ctype)
            if kind in (None, "blank"):
                continue
            value = cell.value
            if kind == "boolean":
                value = bool(value)
            cells.append({
                "cell": xlrd.cellname(row, column),
                "type": kind,
                "value": value,
                "format": format_string(book, cell.xf_index),
            })
    merged = [f"{xlrd.cellname(r1, c1)}:{xlrd.cellname(r2 - 1, c2 - 1)}"
              for (r1, r2, c1, c2) in sheet.merged_cells]
    columns = [{"column": column, "width": info.width, "hidden": bool(info.hidden)}
               for column, info in sorted(sheet.colinfo_map.items())]
    rows = [{"row": row, "height": info.height, "hidden": bool(info.hidden)}
            for row, info in sorted(sheet.rowinfo_map.items())]
    return {
        "name": sheet.name,
        "cells": cells,
        "merged": merged,
        "columns": columns,
        "rows": rows,
        "selected": bool(sheet.sheet_selected),
        "shown": bool(sheet.sheet_visible),
    }


def dump(path):
    book = xlrd.open_workbook(path, formatting_info=True, logfile=sys.stderr)
    try:
        if book.biff_version < 80:
            raise ValueError(f"BIFF version {book.biff_version} is not an Excel 97-2003 workbook")
        return {"file": path.rsplit("/", 1)[-1], "sheets": [dump_sheet(book, index) for index in range(book.nsheets)]}
    finally:
        book.release_resources()


def main(arguments):
    if len(arguments) != 1 or arguments[0].startswith("-"):
        print("usage: xlrd_dump.py WORKBOOK.xls", file=sys.stderr)
        return 2
    try:
        report = dump(arguments[0])
    except Exception as error:  # xlrd raises many types for files it refuses
        print(f"cannot read: {type(error).__name__}: {error}", file=sys.stderr)
        return 1
    sys.stdout.buffer.write((json.dumps(report, ensure_ascii=False, indent=1) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
