#!/usr/bin/python3
"""Prints what Gnumeric sees of the pictures in a workbook, as JSON (UTF-8). The workbook is
converted with `ssconvert` into Gnumeric's own XML file (gzip), which is then read here; each
call gets a private home, configuration and cache folder, since tests run side by side.

  {"file", "warnings": ["..."],
   "sheets": [{"name",
     "pictures": [{"name", "imageType", "size", "md5", "data"}]}]}

"name" is the shape's name (null when it has none). "imageType" is what Gnumeric calls the
picture's format (jpeg, png, wmf, emf ...). "size", "md5" and "data" (base64) describe the
picture bytes that Gnumeric keeps.
"warnings" are the lines ssconvert printed on its error output.

Usage: gnumeric_dump.py [--timeout SECONDS] WORKBOOK
Exit status 0 on success, 1 when ssconvert cannot convert the file, 2 on a usage error,
3 on timeout."""
import argparse
import base64
import gzip
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SSCONVERT = shutil.which("ssconvert") or "/usr/bin/ssconvert"
GNM = "{http://www.gnumeric.org/v10.dtd}"


def convert(workbook, target, timeout):
    private = tempfile.mkdtemp(prefix="tavorin-gnumeric-")
    try:
        environment = dict(os.environ)
        environment.update({
            "HOME": private,
            "XDG_CONFIG_HOME": os.path.join(private, "config"),
            "XDG_CACHE_HOME": os.path.join(private, "cache"),
            "XDG_DATA_HOME": os.path.join(private, "data"),
            "XDG_RUNTIME_DIR": private,
            # Keeps ssconvert's preferences in memory: nothing shared is read or written.
            "GSETTINGS_BACKEND": "memory",
            "LC_ALL": "C.UTF-8",
        })
        environment.pop("DISPLAY", None)
        environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
        completed = subprocess.run(
            [SSCONVERT, "--export-type=Gnumeric_XmlIO:sax", workbook, target],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            env=environment, timeout=timeout, cwd=private)
        return completed
    finally:
        shutil.rmtree(private, ignore_errors=True)


def picture_report(element, images):
    content = element.find("Content")
    name = content.get("name") if content is not None else None
    image = images.get(name)
    data = b""
    if image is not None and image.text:
        data = base64.b64decode("".join(image.text.split()))
    elif content is not None and content.text:
        data = base64.b64decode("".join(content.text.split()))
    return {
        "name": element.get("Name"),
        "imageType": (content.get("image-type") if content is not None else None)
        or (image.get("image-type") if image is not None else None),
        "size": len(data),
        "md5": hashlib.md5(data).hexdigest(),
        "data": base64.b64encode(data).decode("ascii"),
    }


def report(workbook, timeout):
    folder = tempfile.mkdtemp(prefix="tavorin-gnumeric-out-")
    try:
        target = os.path.join(folder, "workbook.gnumeric")
        completed = convert(workbook, target, timeout)
        warnings = [line for line in completed.stderr.decode("utf-8", "replace").splitlines() if line.strip()]
        if completed.returncode != 0 or not os.path.exists(target):
            print("ssconvert could not convert %s (exit %d): %s"
                  % (workbook, completed.returncode, " / ".join(warnings)), file=sys.stderr)
            return None
        with gzip.open(target, "rb") as stream:
            root = ElementTree.fromstring(stream.read())
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    images = {}
    for document in root.iter("GODoc"):
        for image in document.iter("GOImage"):
            images[image.get("name")] = image
    sheets = []
    container = root.find(GNM + "Sheets")
    for sheet in container if container is not None else []:
        pictures = []
        objects = sheet.find(GNM + "Objects")
        for element in objects if objects is not None else []:
            if element.tag == GNM + "SheetObjectImage":
                pictures.append(picture_report(element, images))
        sheets.append({"name": sheet.findtext(GNM + "Name"), "pictures": pictures})
    return {"file": workbook, "warnings": warnings, "sheets": sheets}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--timeout", type=float, default=120)
    parser.add_argument("workbook")
    arguments = parser.parse_args()
    if not os.path.isfile(arguments.workbook):
        print("no such workbook: %s" % arguments.workbook, file=sys.stderr)
        return 2
    try:
        result = report(os.path.abspath(arguments.workbook), arguments.timeout)
    except subprocess.TimeoutExpired:
        print("ssconvert did not finish within %g s" % arguments.timeout, file=sys.stderr)
        return 3
    if result is None:
        return 1
    json.dump(result, sys.stdout, ensure_ascii=False)
    sys.stdout.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
