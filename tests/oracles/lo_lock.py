#!/usr/bin/python3
"""Opens a workbook in LibreOffice Calc headless for editing, as a user would open it, and prints
as JSON how LibreOffice opened it and what lock file lay beside it while it was open:

  {"asked": N, "readOnly": true|false, "lockFile": "the lock file's text" or null}

"asked" counts the questions LibreOffice put to its user (through an interaction handler, which
answers each with its "approve" choice: for a workbook locked by someone else, "open read-only").
LibreOffice writes its own lock file beside a workbook it opens for editing (removed again when it
closes the workbook).

Usage: lo_lock.py [--timeout SECONDS] WORKBOOK
Exit status 0 on success, 1 when LibreOffice cannot load the file, 3 on timeout."""
import argparse
import json
import os
import shutil
import sys
import threading
import time

import uno
import unohelper
from com.sun.star.task import XInteractionHandler

from lo_dump import Office, kill_group, prop

APPROVE = "com.sun.star.task.XInteractionApprove"
ABORT = "com.sun.star.task.XInteractionAbort"


class Answerer(unohelper.Base, XInteractionHandler):
    """Counts LibreOffice's questions and approves each (or aborts where approval is no choice).
    The question itself is not read: PyUNO cannot hand over the exception that carries it."""

    def __init__(self):
        self.asked = 0

    def handle(self, request):
        self.asked += 1
        continuations = request.getContinuations()
        for wanted in (APPROVE, ABORT):
            for continuation in continuations:
                if any(t.typeName == wanted for t in continuation.getTypes()):
                    continuation.select()
                    return


def open_and_look(office, path, deadline):
    desktop = office.connect(deadline)
    url = uno.systemPathToFileUrl(os.path.abspath(path))
    answerer = Answerer()
    document = desktop.loadComponentFromURL(url, "_blank", 0,
                                            (prop("Hidden", True), prop("InteractionHandler", answerer)))
    if document is None:
        raise RuntimeError("LibreOffice did not load the workbook")
    try:
        read_only = any(a.Name == "ReadOnly" and a.Value for a in document.getArgs())
        lock_path = os.path.join(os.path.dirname(os.path.abspath(path)), ".~lock." + os.path.basename(path) + "#")
        lock_text = None
        if os.path.exists(lock_path):
            with open(lock_path, "rb") as lock:
                lock_text = lock.read().decode("utf-8", "replace")
        return {"asked": answerer.asked, "readOnly": read_only, "lockFile": lock_text}
    finally:
        document.close(True)


def main(arguments):
    parser = argparse.ArgumentParser(prog="lo_lock.py")
    parser.add_argument("--timeout", type=float, default=120.0)
    parser.add_argument("workbook")
    options = parser.parse_args(arguments)

    office = Office()

    def on_timeout():
        kill_group(office.process)
        shutil.rmtree(office.profile, ignore_errors=True)
        print(f"lo_lock.py: timed out after {options.timeout} s", file=sys.stderr)
        sys.stderr.flush()
        os._exit(3)

    watchdog = threading.Timer(options.timeout, on_timeout)
    watchdog.daemon = True
    watchdog.start()
    report = None
    try:
        report = open_and_look(office, options.workbook, time.monotonic() + options.timeout)
    except Exception as error:  # UNO raises its own exception types
        print(f"cannot open: {type(error).__name__}: {error}", file=sys.stderr)
    finally:
        watchdog.cancel()
        office.close()
    if report is None:
        return 1
    sys.stdout.buffer.write((json.dumps(report, ensure_ascii=False) + "\n").encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
