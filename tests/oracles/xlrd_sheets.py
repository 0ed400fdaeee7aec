#!/usr/bin/python3
"""Prints the worksheet names of an .xls workbook, one per line (UTF-8), as xlrd reads them:
xlrd leaves chart sheets, macro sheets and modules out of sheet_names().
Exit status 1 with the reason on stderr when xlrd refuses the file.

xlrd 1.2 refuses compound files whose sector chains overlap although Excel opens them (xlrd 2
added ignore_workbook_corruption for that); with --tolerant the Workbook stream is then taken
out with olefile and handed to xlrd as a bare BIFF stream."""
import sys

import xlrd


def names_of(book):
    return book.sheet_names()


def main(arguments):
    tolerant = "--tolerant" in arguments
    path = [a for a in arguments if a != "--tolerant"][0]
    try:
        try:
            book = xlrd.open_workbook(path, on_demand=True, logfile=sys.stderr)
        except xlrd.compdoc.CompDocError:
            if not tolerant:
                raise
            import olefile
            stream = olefile.OleFileIO(path).openstream("Workbook").read()
            book = xlrd.open_workbook(file_contents=stream, on_demand=True, logfile=sys.stderr)
        if book.biff_version < 80:
            print(f"cannot read: BIFF version {book.biff_version}", file=sys.stderr)
            return 1
        names = names_of(book)
    except Exception as error:  # xlrd raises many types for files it refuses
        print(f"cannot read: {type(error).__name__}: {error}", file=sys.stderr)
        return 1
    sys.stdout.buffer.write("".join(name + "\n" for name in names).encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
