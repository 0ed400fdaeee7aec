#!/usr/bin/python3
"""Injects known one-line faults into the program one at a time and lists which tests catch each:
a measure of how sharp the test suite is, not a test itself.

Usage: scripts/mutation-check.py [--commit REV] [--build DIR] [--only NAME[,NAME]] [--jobs N] [--output FILE.md]

Works on a scratch copy of the tree (a git worktree of REV, HEAD by default, under /tmp), builds it once in
Release, runs the whole suite to see that it passes, then for each fault: changes the one line,
builds, runs the whole suite, restores the line. Prints a Markdown table (fault, where, the tests
that failed) and writes it to --output when given. A fault that no test catches is listed as
"NOT CAUGHT". Takes a few minutes per fault."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

# name, file, text as it stands, text with the fault
MUTATIONS = [
    ("block-cursor-off-by-one", "src/run/BlockCursor.cpp",
     "step_(layout.rowSpacing + 1)", "step_(layout.rowSpacing)"),
    ("anchor-270-not-sideways", "src/platform/xls/drawing/ShapeAnchor.cpp",
     "(turned >= 225.0 && turned < 315.0)", "(turned >= 225.0 && turned < 265.0)"),
    ("date-format-index", "src/platform/xls/model/DateNumberFormats.h",
     "return dateCaptionFormats[static_cast<std::size_t>(position)];",
     "return dateCaptionFormats[static_cast<std::size_t>(position ^ 1)];"),
    ("shared-string-dropped", "src/platform/xls/records/SharedStringTable.cpp",
     "    entries_.push_back(entry);\n    plainIndex_.emplace(text, index);",
     "    plainIndex_.emplace(text, index);"),
    ("boundsheet-offset", "src/platform/xls/model/WorkbookStreamWriter.cpp",
     "putU32(data, static_cast<std::uint32_t>(sheetPositions[i]));",
     "putU32(data, static_cast<std::uint32_t>(sheetPositions[i] + (i > 0 ? 4 : 0)));"),
    ("settings-fields-swapped", "src/platform/SettingsRecord.cpp",
     "    writer.int16(option1);\n    writer.int16(option2);\n",
     "    writer.int16(option2);\n    writer.int16(option1);\n"),
    ("case-sensitive-sort", "src/run/PictureNames.cpp",
     "return displayText.toLower();", "return displayText;"),
    ("uncentred-preview", "src/run/PreviewFit.cpp",
     "geometry.left = (previewBoxWidth - naturalWidth * scale) / 2.0f + previewBoxLeft;",
     "geometry.left = previewBoxLeft;"),
    ("truncated-row-heights", "src/platform/xls/geometry/SheetGeometry.cpp",
     "return (twips * 2 + 15) / 30;", "return twips / 15;"),
    ("png-resolution-axis", "src/platform/xls/drawing/PictureHeader.cpp",
     "double x = be32(b, at + 8) * metresPerInch, y = be32(b, at + 12) * metresPerInch;",
     "double y = be32(b, at + 8) * metresPerInch, x = be32(b, at + 12) * metresPerInch;"),
    ("column-pair-end-before-start", "src/panel/OptionRules.cpp",
     "        if (c_.Combo1->currentIndex() > c_.Combo2->currentIndex())\n            c_.Combo1->setCurrentIndex(c_.Combo2->currentIndex());",
     "        (void)0;"),
    ("date-caption-group-always-on", "src/panel/OptionRules.cpp",
     "c_.Combo13, c_.Label19}, isChecked(c_.Check2));", "c_.Combo13, c_.Label19}, true);"),
    ("drag-down-lands-short", "src/panel/ListDragReorder.cpp",
     "    if (dropIndex_ >= pointedIndex_)\n        ++dropIndex_;\n", ""),
    ("drop-limit-off-by-one", "src/lists/PictureDrop.cpp",
     "list_.rowCount() + files.size() > PictureList::pictureLimit",
     "list_.rowCount() + files.size() > PictureList::pictureLimit + 1"),
    ("duplicates-by-full-name", "src/run/DuplicateNames.cpp",
     "return keys_.contains(nameKey(displayName));", "return keys_.contains(displayName);"),
]


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


def failed_tests(output):
    names = []
    after = False
    for line in output.splitlines():
        if line.startswith("The following tests FAILED"):
            after = True
            continue
        if after:
            match = re.match(r"\s*\d+ - (\S+) \(", line)
            if match:
                names.append(match.group(1))
    return names


def build_and_test(tree, build, jobs):
    built = run(["cmake", "--build", build, "-j", str(jobs)], tree)
    if built.returncode != 0:
        return None, built.stdout[-3000:]
    tested = run(["ctest", "-j", str(jobs), "--timeout", "900"], build)
    return failed_tests(tested.stdout), tested.stdout[-1500:]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--commit", default="HEAD")
    parser.add_argument("--build", default=None)
    parser.add_argument("--only", default="")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--output", default=None)
    args = parser.parse_args()
    source = subprocess.check_output(["git", "rev-parse", "--show-toplevel"], text=True).strip()
    tree = tempfile.mkdtemp(prefix="tavorin-mutation-")
    subprocess.check_call(["git", "worktree", "add", "--detach", tree, args.commit], cwd=source,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    build = args.build or os.path.join(tree, "build")
    try:
        configured = run(["cmake", "-S", tree, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                          "-DTAVORIN_BENCH=OFF"], tree)
        if configured.returncode != 0:
            sys.exit("cannot configure:\n" + configured.stdout[-3000:])
        baseline, text = build_and_test(tree, build, args.jobs)
        if baseline is None or baseline:
            sys.exit("the suite does not pass without faults:\n" + text)
        chosen = [m for m in MUTATIONS if not args.only or m[0] in args.only.split(",")]
        rows = []
        for name, path, old, new in chosen:
            file = os.path.join(tree, path)
            original = open(file, encoding="utf-8").read()
            if original.count(old) != 1:
                rows.append((name, path, "FAULT NOT APPLIED (the line changed)"))
                print(f"{name}: {rows[-1][2]}", flush=True)
                continue
            open(file, "w", encoding="utf-8").write(original.replace(old, new))
            try:
                failed, text = build_and_test(tree, build, args.jobs)
            finally:
                open(file, "w", encoding="utf-8").write(original)
            if failed is None:
                rows.append((name, path, "does not build: " + text.splitlines()[-1]))
            else:
                rows.append((name, path, ", ".join(failed) if failed else "NOT CAUGHT"))
            print(f"{name}: {rows[-1][2]}", flush=True)
        table = "| fault | where | tests that catch it |\n|---|---|---|\n" + "".join(
            f"| {n} | `{p}` | {t} |\n" for n, p, t in rows)
        print(table)
        if args.output:
            open(args.output, "w", encoding="utf-8").write(table)
    finally:
        subprocess.call(["git", "worktree", "remove", "--force", tree], cwd=source,
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
