#!/usr/bin/python3
"""Prints what openpyxl reads in an .xlsx/.xlsm workbook, as JSON (UTF-8).

  {"file", "normalFont": {"name", "size"}, "vba": bool,
   "sheets": [{"name",
     "format": {"baseColWidth", "defaultColWidth", "defaultRowHeight", "zeroHeight"},
     "columns": [{"min", "max", "width", "hidden"}], "rows": [{"row", "height", "hidden"}],
     "cells": [{"cell", "type", "value", "format"}], "merged": ["A1:B2"],
     "printArea",
     "images": [{"format", "anchorType", "from": {"col", "colOff", "row", "rowOff"}, "to": {...}, "rotation"}],
     "charts": n, "comments": n}]}

Anchor offsets are in EMU, columns and rows 0-based as the file stores them; rotation in degrees
(a:xfrm rot / 60000). Dates are reported as the serial number the cell holds.
Usage: openpyxl_dump.py WORKBOOK. Exit status 0 on success, 1 when openpyxl cannot load it."""
import json
import sys
import zipfile

import openpyxl
from openpyxl.utils.cell import get_column_letter


def point(marker):
    return {"col": marker.col, "colOff": marker.colOff, "row": marker.row, "rowOff": marker.rowOff}


def image_report(image):
    anchor = image.anchor
    item = {"format": getattr(image, "format", None), "anchorType": type(anchor).__name__,
            "from": None, "to": None, "rotation": 0}
    if hasattr(anchor, "_from"):
        item["from"] = point(anchor._from)
    if getattr(anchor, "to", None) is not None:
        item["to"] = point(anchor.to)
    picture = getattr(anchor, "pic", None)
    try:
        xfrm = picture.spPr.xfrm
        item["rotation"] = (xfrm.rot or 0) / 60000
    except AttributeError:
        pass
    return item


def cell_value(cell):
    value = cell.value
    if hasattr(value, "isoformat"):
        return value.isoformat()
    return value


def sheet_report(workbook, sheet, raw_serials):
    format_ = sheet.sheet_format
    cells = []
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            cells.append({"cell": cell.coordinate, "type": cell.data_type, "value": cell_value(cell),
                          "serial": raw_serials.get((sheet.title, cell.coordinate)),
                          "format": cell.number_format})
    columns = []
    for key, dimension in sorted(sheet.column_dimensions.items(), key=lambda item: item[1].min or 0):
        if dimension.min is None:
            continue
        columns.append({"min": dimension.min, "max": dimension.max, "width": dimension.width if dimension.customWidth or dimension.width else None,
                        "hidden": bool(dimension.hidden)})
    rows = []
    for index, dimension in sorted(sheet.row_dimensions.items()):
        if dimension.ht is None and not dimension.hidden:
            continue
        rows.append({"row": index, "height": dimension.ht, "hidden": bool(dimension.hidden)})
    return {
        "name": sheet.title,
        "format": {"baseColWidth": format_.baseColWidth, "defaultColWidth": format_.defaultColWidth,
                   "defaultRowHeight": format_.defaultRowHeight, "zeroHeight": bool(format_.zeroHeight)},
        "columns": columns,
        "rows": rows,
        "cells": cells,
        "merged": [str(area) for area in sheet.merged_cells.ranges],
        "printArea": ",".join(sheet.print_area) if isinstance(sheet.print_area, (list, tuple)) else sheet.print_area,
        "images": [image_report(image) for image in sheet._images],
        "charts": len(sheet._charts),
        "comments": sum(1 for row in sheet.iter_rows() for cell in row if cell.comment is not None),
    }


def normal_font(workbook):
    try:
        for style in workbook._named_styles:
            if style.name == "Normal":
                return {"name": style.font.name, "size": float(style.font.sz)}
    except Exception:
        pass
    font = workbook._fonts[0]
    return {"name": font.name, "size": float(font.sz)}


def main(arguments):
    if len(arguments) != 1:
        print("usage: openpyxl_dump.py WORKBOOK", file=sys.stderr)
        return 2
    path = arguments[0]
    try:
        workbook = openpyxl.load_workbook(path, keep_vba=True)
        # The serial numbers as stored, next to openpyxl's date reading.
        values_only = openpyxl.load_workbook(path, keep_vba=False)
        raw = {}
        for sheet in values_only.worksheets:
            for row in sheet.iter_rows():
                for cell in row:
                    if getattr(cell, "is_date", False):
                        from openpyxl.utils.datetime import to_excel
                        raw[(sheet.title, cell.coordinate)] = to_excel(cell.value, values_only.epoch)
    except Exception as error:  # openpyxl raises many kinds
        print(f"cannot read: {type(error).__name__}: {error}", file=sys.stderr)
        return 1
    with zipfile.ZipFile(path) as package:
        has_vba = any(name.lower().endswith("vbaproject.bin") for name in package.namelist())
    report = {
        "file": path,
        "normalFont": normal_font(workbook),
        "vba": has_vba and workbook.vba_archive is not None,
        "sheets": [sheet_report(workbook, sheet, raw) for sheet in workbook.worksheets],
    }
    sys.stdout.buffer.write((json.dumps(report, ensure_ascii=False, indent=1, default=str) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
