#!/usr/bin/python3
"""The insertion job done by LibreOffice through its automation interface, for comparison:
open the workbook hidden, put every picture into its block of cells (rows R1..R2 of columns
C1..C2, blocks one below the other), fitted and centred, write the three captions beside it,
copy the sheet per group when PER_SHEET > 0, and save as Excel 97-2003.

Usage: lo_peer.py WORKBOOK OUTPUT PER_SHEET PICTURE...
Prints the seconds the job took after LibreOffice accepted the connection, and the seconds
including LibreOffice's start, as 'job SECONDS total SECONDS'."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "oracles"))
import uno  # noqa: E402
from com.sun.star.awt import Point, Size  # noqa: E402

from lo_dump import Office, prop  # noqa: E402

FIRST_COLUMN, LAST_COLUMN = 1, 4      # B:E (0-based)
FIRST_ROW, LAST_ROW, SPACING = 2, 17, 2  # rows 3..18, two empty rows between blocks (0-based)


def block_rows(index):
    height = LAST_ROW - FIRST_ROW
    top = FIRST_ROW + index * (height + 1 + SPACING)
    return top, top + height


def place(document, sheet, provider, path, index, date_format):
    top, bottom = block_rows(index)
    block = sheet.getCellRangeByPosition(FIRST_COLUMN, top, LAST_COLUMN, bottom)
    position, size = block.Position, block.Size
    graphic = provider.queryGraphic((prop("URL", uno.systemPathToFileUrl(path)),))
    natural = graphic.Size100thMM
    if natural.Width == 0 or natural.Height == 0:
        pixels = graphic.SizePixel
        natural = Size(pixels.Width * 2540 // 96, pixels.Height * 2540 // 96)
    shape = document.createInstance("com.sun.star.drawing.GraphicObjectShape")
    shape.Graphic = graphic
    factor = min(size.Width / natural.Width, size.Height / natural.Height)
    width, height = int(natural.Width * factor), int(natural.Height * factor)
    sheet.DrawPage.add(shape)
    shape.setSize(Size(width, height))
    shape.setPosition(Point(position.X + (size.Width - width) // 2, position.Y + (size.Height - height) // 2))
    shape.Anchor = sheet.getCellByPosition(FIRST_COLUMN, top)

    date_cell = sheet.getCellByPosition(FIRST_COLUMN, top - 1)
    modified = os.stat(path).st_mtime
    date_cell.Value = modified / 86400.0 + 25569.0
    date_cell.NumberFormat = date_format
    sheet.getCellByPosition(FIRST_COLUMN + 1, top - 1).String = f"No.{index + 1}"
    sheet.getCellByPosition(FIRST_COLUMN, bottom + 1).String = " " + os.path.basename(path)


def main(arguments):
    if len(arguments) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    workbook, output, per_sheet, pictures = arguments[0], arguments[1], int(arguments[2]), arguments[3:]
    started = time.monotonic()
    office = Office()
    try:
        desktop = office.connect(time.monotonic() + 120)
        job_started = time.monotonic()
        document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(workbook)), "_blank", 0,
                                                (prop("Hidden", True),))
        provider = graphic_provider(office)
        formats = document.NumberFormats
        locale = uno.createUnoStruct("com.sun.star.lang.Locale")
        pattern = 'yyyy"年"m"月"d"日"'
        date_format = formats.queryKey(pattern, locale, False)
        if date_format == -1:
            date_format = formats.addNew(pattern, locale)
        sheets = document.Sheets
        template = sheets.getByIndex(0).Name
        sheet = sheets.getByIndex(0)
        copy = 0
        for index, path in enumerate(pictures):
            slot = index
            if per_sheet > 0:
                slot = index % per_sheet
                if slot == 0:
                    copy += 1
                    name = f"写真({copy})"
                    sheets.copyByName(template, name, sheets.Count)
                    sheet = sheets.getByName(name)
            place(document, sheet, provider, os.path.abspath(path), slot, date_format)
        document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(output)), (prop("FilterName", "MS Excel 97"),))
        document.close(True)
        finished = time.monotonic()
        print(f"job {finished - job_started:.3f} total {finished - started:.3f}")
        return 0
    finally:
        office.close()


def graphic_provider(office):
    """The graphic provider of the office process (pictures are loaded there, not here)."""
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    context = resolver.resolve(f"uno:pipe,name={office.pipe};urp;StarOffice.ComponentContext")
    return context.ServiceManager.createInstanceWithContext("com.sun.star.graphic.GraphicProvider", context)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
