#pragma once

#include "support/ExcelGrid.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <filesystem>

namespace tavorin::test {

// Where one picture of a scenario must go, worked out by hand from the block rules.
struct ExpectedPicture {
    std::filesystem::path path;
    int degrees = 0;
    double naturalWidth = 0, naturalHeight = 0; // points at 96 dpi, or the metafile's frame
    QString sheet;                               // the sheet copy that receives it
    int slot = 0;                                // its place among that sheet's pictures
    int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0; // 1-based block
};

// How Excel shows a picture, read by Apache POI: its anchor, turned into points with Excel's own
// column and row rules, is the frame the placement rule gives for its block (fitted, centred,
// turned by its mark) to half a point.
void expectAnchoredInBlock(const QJsonObject& poiReport, const QJsonObject& poiSheet, const QJsonObject& picture,
                           const ExpectedPicture& expected, double magnification);

// A picture's block in LibreOffice's own columns and rows (1/100 mm, from the sheet's corner).
PointRect libreOfficeBlock(const QJsonObject& libreOfficeSheet, const ExpectedPicture& picture);

// How LibreOffice shows a picture: inside its block measured in LibreOffice's own (wider)
// columns, centred on it, as wide or as high as the block times the magnification, turned the
// right way (LibreOffice counts angles counter-clockwise).
void expectShownInBlock(const QJsonObject& libreOfficeSheet, const QJsonObject& graphic, const ExpectedPicture& expected,
                        double magnification);

} // namespace tavorin::test
