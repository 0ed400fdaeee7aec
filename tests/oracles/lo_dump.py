#!/usr/bin/python3
"""Prints what LibreOffice Calc sees in a workbook, as JSON (UTF-8). LibreOffice runs headless
with a private profile and is always terminated, also on errors and on timeout.

  {"file", "sheets": [{"name",
     "cells": [{"cell", "type", "value", "format", "text"}],
     "merged": ["A1:F1", ...],
     "columns": [{"column", "width", "visible"}], "rows": [{"row", "height", "visible"}],
     "printAreas": ["$Sheet1.$A$1:$H$60"],
     "graphics": [{"name", "type", "x", "y", "width", "height", "rotation",
                   "pixelWidth", "pixelHeight", "mimeType", "bounds"}]}]}

"type" is value, text or formula; "format" is the cell's number format string, "text" what the
cell shows (getString). Widths, heights and positions are in 1/100 mm, rotation in 1/100 degree
counter-clockwise; "bounds" ({"x", "y", "width", "height"}) is the rectangle that the turned
shape covers on the page. Columns are reported up to the last used column, rows up to the last used row
(both at least through the graphics and the --cell cells). "printAreas" are the print ranges
that a Print_Area name becomes.

Usage: lo_dump.py [--timeout SECONDS] [--cell SHEET!A1]... WORKBOOK
  --cell adds that cell to "cells" even when it is empty (e.g. to read a number format).
Exit status 0 on success, 1 when LibreOffice cannot load the file, 2 on a usage error,
3 on timeout."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import uuid

import uno
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException
from com.sun.star.table.CellContentType import EMPTY, FORMULA, TEXT, VALUE

SOFFICE = shutil.which("soffice") or "/usr/bin/soffice"


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def column_name(column):
    name = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def cell_name(row, column):
    return f"{column_name(column)}{row + 1}"


def parse_cell(text):
    """'A1' -> (row, column), 0-based."""
    letters = "".join(c for c in text if c.isalpha()).upper()
    digits = "".join(c for c in text if c.isdigit())
    if not letters or not digits:
        raise ValueError(f"not a cell: {text}")
    column = 0
    for c in letters:
        column = column * 26 + (ord(c) - ord("A") + 1)
    return int(digits) - 1, column - 1


class Office:
    """A private soffice process and a connection to it."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="lo-")
        self.pipe = "lo-" + uuid.uuid4().hex
        self.process = subprocess.Popen(
            [SOFFICE, "--headless", "--invisible", "--nologo", "--norestore", "--nodefault",
             "--nolockcheck", f"-env:UserInstallation=file://{self.profile}",
             f"--accept=pipe,name={self.pipe};urp;StarOffice.ComponentContext"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        self.desktop = None

    def connect(self, deadline):
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        url = f"uno:pipe,name={self.pipe};urp;StarOffice.ComponentContext"
        while True:
            try:
                context = resolver.resolve(url)
                break
            except NoConnectException:
                if self.process.poll() is not None:
                    raise RuntimeError("soffice ended before accepting a connection")
                if time.monotonic() > deadline:
                    raise TimeoutError("soffice did not accept a connection in time")
                time.sleep(0.25)
        self.desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        return self.desktop

    def close(self):
        if self.desktop is not None:
            try:
                self.desktop.terminate()
            except Exception:  # the bridge goes away while terminating
                pass
        try:
            self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            kill_group(self.process)
        shutil.rmtree(self.profile, ignore_errors=True)


def kill_group(process):
    try:
        os.killpg(process.pid, 9)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        pass


def format_string(document, key):
    try:
        return document.NumberFormats.getByKey(key).FormatString
    except Exception:
        return None


def cell_report(document, sheet, row, column):
    cell = sheet.getCellByPosition(column, row)
    kind = cell.getType()
    if kind == VALUE:
        type_name, value = "value", cell.getValue()
    elif kind == TEXT:
        type_name, value = "text", cell.getString()
    elif kind == FORMULA:
        type_name, value = "formula", cell.getFormula()
    else:
        type_name, value = "empty", None
    return {
        "cell": cell_name(row, column),
        "type": type_name,
        "value": value,
        "format": format_string(document, cell.NumberFormat),
        "text": cell.getString(),
    }


def used_end(sheet):
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    address = cursor.getRangeAddress()
    return address.EndRow, address.EndColumn


def range_text(address):
    return (f"{cell_name(address.StartRow, address.StartColumn)}:"
            f"{cell_name(address.EndRow, address.EndColumn)}")


def graphics_of(sheet):
    graphics = []
    page = sheet.getDrawPage()
    for index in range(page.getCount()):
        shape = page.getByIndex(index)
        position, size = shape.getPosition(), shape.getSize()
        item = {
            "name": shape.Name if hasattr(shape, "Name") else None,
            "type": shape.getShapeType(),
            "x": position.X,
            "y": position.Y,
            "width": size.Width,
            "height": size.Height,
            "rotation": getattr(shape, "RotateAngle", 0),
            "pixelWidth": None,
            "pixelHeight": None,
            "mimeType": None,
            "bounds": None,
        }
        try:
            box = shape.BoundRect
            item["bounds"] = {"x": box.X, "y": box.Y, "width": box.Width, "height": box.Height}
        except Exception:
            pass
        try:
            graphic = shape.Graphic
            if graphic is not None:
                pixels = graphic.SizePixel
                item["pixelWidth"], item["pixelHeight"] = pixels.Width, pixels.Height
                item["mimeType"] = graphic.MimeType
        except Exception:
            pass
        graphics.append(item)
    return graphics


def merged_areas(sheet):
    """Top-left cells of merged areas, found by halving the sheet: a range's getIsMerged() says
    whether any merged area starts inside it, so only the halves that hold one are searched."""
    areas = []
    pending = [(0, 0, sheet.getRows().getCount() - 1, sheet.getColumns().getCount() - 1)]
    while pending:
        top, left, bottom, right = pending.pop()
        if not sheet.getCellRangeByPosition(left, top, right, bottom).getIsMerged():
            continue
        if top == bottom and left == right:
            cursor = sheet.createCursorByRange(sheet.getCellRangeByPosition(left, top, left, top))
            cursor.collapseToMergedArea()
            areas.append(cursor.getRangeAddress())
            continue
        if bottom - top >= right - left:
            middle = (top + bottom) // 2
            pending += [(middle + 1, left, bottom, right), (top, left, middle, right)]
        else:
            middle = (left + right) // 2
            pending += [(top, middle + 1, bottom, right), (top, left, bottom, middle)]
    areas.sort(key=lambda a: (a.StartRow, a.StartColumn))
    return [range_text(a) for a in areas]


def sheet_report(document, sheet, extra_cells):
    end_row, end_column = used_end(sheet)
    graphics = graphics_of(sheet)
    cells = []
    listed = set()
    ranges = sheet.queryContentCells(1 | 2 | 4 | 16)  # VALUE | DATETIME | STRING | FORMULA
    for address in ranges.getRangeAddresses():
        for row in range(address.StartRow, address.EndRow + 1):
            for column in range(address.StartColumn, address.EndColumn + 1):
                listed.add((row, column))
    for row, column in extra_cells:
        listed.add((row, column))
    for row, column in sorted(listed):
        cells.append(cell_report(document, sheet, row, column))

    # Columns and rows up to the used area, and far enough to place every graphic.
    columns_shown = max([end_column] + [column for _, column in extra_cells])
    rows_shown = max([end_row] + [row for row, _ in extra_cells])
    columns = sheet.getColumns()
    x_end = max((g["x"] + g["width"] for g in graphics), default=0)
    y_end = max((g["y"] + g["height"] for g in graphics), default=0)
    column_items, left = [], 0
    column = 0
    while column < columns.getCount() and (column <= columns_shown or left < x_end):
        info = columns.getByIndex(column)
        column_items.append({"column": column, "width": info.Width, "visible": bool(info.IsVisible)})
        left += info.Width if info.IsVisible else 0
        column += 1
    rows = sheet.getRows()
    row_items, top = [], 0
    row = 0
    while row < rows.getCount() and (row <= rows_shown or top < y_end):
        info = rows.getByIndex(row)
        row_items.append({"row": row, "height": info.Height, "visible": bool(info.IsVisible)})
        top += info.Height if info.IsVisible else 0
        row += 1

    print_areas = []
    for address in sheet.getPrintAreas():
        print_areas.append(f"${sheet.getName()}.${column_name(address.StartColumn)}${address.StartRow + 1}:"
                           f"${column_name(address.EndColumn)}${address.EndRow + 1}")
    return {
        "name": sheet.getName(),
        "cells": cells,
        "merged": merged_areas(sheet),
        "columns": column_items,
        "rows": row_items,
        "printAreas": print_areas,
        "graphics": graphics,
    }


def dump(office, path, extra, deadline):
    desktop = office.connect(deadline)
    url = uno.systemPathToFileUrl(os.path.abspath(path))
    document = desktop.loadComponentFromURL(url, "_blank", 0, (prop("Hidden", True), prop("ReadOnly", True)))
    if document is None or not hasattr(document, "getSheets"):
        raise RuntimeError("LibreOffice did not load a spreadsheet")
    try:
        sheets = document.getSheets()
        report_sheets = []
        for index in range(sheets.getCount()):
            sheet = sheets.getByIndex(index)
            wanted = [parse_cell(cell) for name, cell in extra if name == sheet.getName()]
            report_sheets.append(sheet_report(document, sheet, wanted))
        return {"file": os.path.basename(path), "sheets": report_sheets}
    finally:
        document.close(True)


def main(arguments):
    parser = argparse.ArgumentParser(prog="lo_dump.py", description="LibreOffice's view of a workbook as JSON")
    parser.add_argument("--timeout", type=float, default=120.0)
    parser.add_argument("--cell", action="append", default=[], help="SHEET!A1, reported even when empty")
    parser.add_argument("workbook")
    try:
        options = parser.parse_args(arguments)
        extra = []
        for text in options.cell:
            sheet, _, cell = text.rpartition("!")
            parse_cell(cell)
            extra.append((sheet, cell))
    except (SystemExit, ValueError) as error:
        if isinstance(error, ValueError):
            print(f"lo_dump.py: {error}", file=sys.stderr)
        return 2
    if not os.path.isfile(options.workbook):
        print(f"cannot read: no such file: {options.workbook}", file=sys.stderr)
        return 1

    office = Office()
    timed_out = threading.Event()
    finished = threading.Event()

    def on_timeout():
        # Killing soffice makes a pending UNO call fail, so the main thread can clean up; if it
        # is stuck anyway, leave after a grace period.
        timed_out.set()
        kill_group(office.process)
        if not finished.wait(20):
            shutil.rmtree(office.profile, ignore_errors=True)
            print(f"lo_dump.py: timed out after {options.timeout} s", file=sys.stderr)
            sys.stderr.flush()
            os._exit(3)

    watchdog = threading.Timer(options.timeout, on_timeout)
    watchdog.daemon = True
    watchdog.start()
    report = None
    try:
        report = dump(office, options.workbook, extra, time.monotonic() + options.timeout)
    except Exception as error:  # UNO raises its own exception types
        if isinstance(error, TimeoutError):
            timed_out.set()
        if not timed_out.is_set():
            print(f"cannot read: {type(error).__name__}: {error}", file=sys.stderr)
    finally:
        watchdog.cancel()
        if timed_out.is_set():
            kill_group(office.process)
            shutil.rmtree(office.profile, ignore_errors=True)
        else:
            office.close()
        finished.set()
    if timed_out.is_set():
        print(f"lo_dump.py: timed out after {options.timeout} s", file=sys.stderr)
        return 3
    if report is None:
        return 1
    sys.stdout.buffer.write((json.dumps(report, ensure_ascii=False, indent=1) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
