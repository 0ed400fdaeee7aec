#pragma once

#include "EngineRunScenarios.h"

#include <QJsonObject>
#include <QStringList>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// How Excel shows a picture, read by Apache POI: its anchor, turned into points with Excel's own
// column and row rules, is the frame the placement rule gives for its block (fitted, centred,
// turned by its mark) to half a point.
void expectAnchoredInBlock(const QJsonObject& poiReport, const QJsonObject& poiSheet, const QJsonObject& picture,
                           const ExpectedPicture& expected, double magnification);

// How LibreOffice shows a picture: inside its block measured in LibreOffice's own (wider)
// columns, centred on it, as wide or as high as the block times the magnification, turned the
// right way (LibreOffice counts angles counter-clockwise).
void expectShownInBlock(const QJsonObject& libreOfficeSheet, const QJsonObject& graphic, const ExpectedPicture& expected,
                        double magnification);

// What LibreOffice sees in a workbook (tests/oracles/lo_dump.py); a failure to read it fails the
// test and gives nothing.
std::optional<QJsonObject> libreOfficeReport(const std::filesystem::path& workbook, const QStringList& extraCells = {});

} // namespace tavorin::test
