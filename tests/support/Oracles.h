#pragma once

// The independent readers that judge what the program writes, and lookups in what they report.
// Each runs a script of tests/oracles on a workbook and returns its JSON report. When a reader
// is missing (not installed) or cannot read the file, the test fails with the reader's name and
// what it said, and nothing comes back; lookups on an empty report find nothing, never crash.

#include "support/ProcessResult.h"

#include <QJsonObject>
#include <QStringList>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// Apache POI (HSSF): cells, formats, column and row records, pictures with anchors, shapes,
// comments, names (tests/oracles/PoiDump.java).
std::optional<QJsonObject> poiReport(const std::filesystem::path& workbook);
ProcessResult runPoiDump(const std::filesystem::path& workbook); // the same, as it ran
// xlrd with formatting_info, every sheet loaded whole (tests/oracles/xlrd_dump.py).
std::optional<QJsonObject> xlrdReport(const std::filesystem::path& workbook);
// LibreOffice Calc headless: cells as shown, columns, rows, graphics (tests/oracles/lo_dump.py);
// extraCells ("Sheet!A1") are reported even when empty.
std::optional<QJsonObject> libreOfficeReport(const std::filesystem::path& workbook, const QStringList& extraCells = {});
// Gnumeric's ssconvert: pictures with anchors and bytes (tests/oracles/gnumeric_dump.py).
std::optional<QJsonObject> gnumericReport(const std::filesystem::path& workbook);
// A record walk of our own over the Workbook stream (tests/oracles/biff_records.py).
std::optional<QJsonObject> recordWalk(const std::filesystem::path& workbook);
// olefile's listing of the compound file: "root<TAB>clsid", then "path<TAB>size<TAB>md5" lines.
QStringList streamListing(const std::filesystem::path& workbook);

// Runs a reader script with Debian's Python; a missing interpreter, module or program fails the
// test with a clear message.
ProcessResult runReader(const QString& script, const QStringList& arguments, int timeoutMs = 300000);

// The sheet of that name (a missing one fails the test, naming the reader), the names in
// order, and a cell by its A1 reference (an empty object when the report has none).
QJsonObject sheetNamed(const QJsonObject& report, const QString& name, const char* reader);
QStringList sheetNames(const QJsonObject& report);
QJsonObject cellOf(const QJsonObject& sheet, const QString& reference);

} // namespace tavorin::test
