#pragma once

#include <QJsonObject>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// What Apache POI reads of a workbook (the shared runner of support/Oracles.h), for QtTest: a
// reader that is missing, fails or prints no report fails the running test by name, as does a
// missing sheet (the checks in Oracles.h report to GoogleTest, which QtTest does not hear).
std::optional<QJsonObject> poiReportFor(const std::filesystem::path& workbook);
QJsonObject poiSheet(const QJsonObject& report, const QString& name);

} // namespace tavorin::test
