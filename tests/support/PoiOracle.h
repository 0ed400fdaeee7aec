#pragma once

#include "support/ProcessResult.h"

#include <QJsonObject>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// Runs tests/oracles/PoiDump.java (Apache POI through Java's single-file source launch) on a
// workbook and returns its process result.
ProcessResult runPoiDump(const std::filesystem::path& workbook);

// The same, parsed; nothing when POI could not read the file or printed no JSON object.
std::optional<QJsonObject> poiReport(const std::filesystem::path& workbook);

} // namespace tavorin::test
