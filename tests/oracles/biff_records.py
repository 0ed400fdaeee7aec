#!/usr/bin/python3
"""Lists the records of an .xls workbook's Workbook stream as JSON, read with olefile and a record
walk of its own (independent of the program's reader), so that tests can judge record order the
way Excel's grammar does:

  {"stream": "Workbook", "substreams": [{"offset", "kind", "records": ["00EC", "005D", ...],
                                          "charts": ["md5", ...]}]}

One entry per top-level substream (the globals first, then the sheets in stream order); "kind"
is the BOF's substream type (5 globals, 16 worksheet, 32 chart, ...). "records" are the record
types at that substream's own level as four hex digits; a substream embedded in it (a chart in a
worksheet) stands there as "BOF..EOF", and "charts" holds the md5 of each embedded substream's
bytes, headers included.

Usage: biff_records.py WORKBOOK.xls
Exit status 0 on success, 1 when the file cannot be read (reason on stderr), 2 on a usage error."""
import hashlib
import json
import struct
import sys

import olefile

BOF = 0x0809
EOF = 0x000A


def workbook_stream(ole):
    for name in ("Workbook", "WORKBOOK", "Book", "BOOK"):
        if ole.exists(name):
            return name, ole.openstream(name).read()
    raise ValueError("no Workbook stream")


def substreams(data):
    result = []
    pos = 0
    while pos + 4 <= len(data):
        kind, length = struct.unpack_from("<HH", data, pos)
        if kind != BOF:
            break  # the padding after the last substream
        entry = {"offset": pos, "kind": struct.unpack_from("<H", data, pos + 6)[0] if length >= 4 else None,
                 "records": [], "charts": []}
        depth = 0
        embedded_start = None
        while pos + 4 <= len(data):
            kind, length = struct.unpack_from("<HH", data, pos)
            end = pos + 4 + length
            if end > len(data):
                raise ValueError(f"record 0x{kind:04X} at {pos} runs past the stream")
            if kind == BOF:
                depth += 1
                if depth == 2:
                    embedded_start = pos
            if depth == 1:
                entry["records"].append(f"{kind:04X}")
            if kind == EOF:
                depth -= 1
                if depth == 1 and embedded_start is not None:
                    entry["records"].append("BOF..EOF")
                    entry["charts"].append(hashlib.md5(data[embedded_start:end]).hexdigest())
                    embedded_start = None
            pos = end
            if depth == 0:
                break
        result.append(entry)
    return result


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        ole = olefile.OleFileIO(argv[1])
        name, data = workbook_stream(ole)
        report = {"stream": name, "substreams": substreams(data)}
    except Exception as error:  # olefile and struct raise many types for damaged files
        print(f"cannot read {argv[1]}: {error}", file=sys.stderr)
        return 1
    print(json.dumps(report))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
