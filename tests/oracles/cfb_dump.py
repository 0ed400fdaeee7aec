#!/usr/bin/python3
"""Lists every stream of a compound file as 'path<TAB>size<TAB>md5', one per line, sorted by
path, after a first line 'root<TAB>clsid'. Uses olefile, a reader independent of ours.
Exit status 1 with a message when the file cannot be read."""
import hashlib
import sys

import olefile


def main(path):
    try:
        ole = olefile.OleFileIO(path)
        lines = [f"root\t{ole.root.clsid}"]
        for entry in sorted(ole.listdir(streams=True, storages=False)):
            data = ole.openstream(entry).read()
            lines.append(f"{'/'.join(entry)}\t{len(data)}\t{hashlib.md5(data).hexdigest()}")
    except Exception as error:  # olefile raises many types for damaged files
        print(f"cannot read: {error}", file=sys.stderr)
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
