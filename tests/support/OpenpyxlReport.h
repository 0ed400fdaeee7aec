#pragma once

#include "support/ExcelGrid.h"

#include <QJsonObject>

#include <filesystem>
#include <optional>

namespace tavorin::test {

// openpyxl's view of an .xlsx/.xlsm workbook (tests/oracles/openpyxl_dump.py): sheets, cells with
// their number formats, merged areas, columns, rows, pictures with their anchors and rotation,
// defined names. A missing openpyxl or a file it cannot load fails the test.
std::optional<QJsonObject> openpyxlReport(const std::filesystem::path& workbook);

// Where Excel draws a sheet's columns and rows, worked out from what openpyxl reports with the
// rules of the format and Excel's pixel model at 96 dpi:
//  - the maximum digit width (MDW) of the Normal font: Calibri 11 and Arial 10 7 px, ＭＳ Ｐゴシック 11 8 px;
//  - a column of width w (characters, padding included) is trunc(((256w + trunc(128/MDW))/256) MDW) px;
//  - without a <col>, defaultColWidth in the same unit, else baseColWidth (8) * MDW + padding
//    (2 * max(2, ceil(MDW/4)) + 1 px) rounded up to a multiple of 8 px;
//  - a row is its height in points * 4/3 px, rounded; hidden columns and rows are 0 wide;
//  - anchor offsets are EMU, 9525 to the pixel; a pixel is 0.75 point.
class XlsxGrid {
public:
    XlsxGrid() = default;
    static std::optional<XlsxGrid> fromOpenpyxl(const QJsonObject& report, const QJsonObject& sheet);

    PointRect block(int firstRow, int firstColumn, int lastRow, int lastColumn) const; // 1-based
    // The rectangle a two-cell anchor ({"from": {col, colOff, row, rowOff}, "to": {...}}) covers.
    PointRect anchorRect(const QJsonObject& image) const;

    int columnPixels(int column0) const;
    int rowPixels(int row0) const;

private:
    double x(int column0) const;
    double y(int row0) const;

    int mdw_ = 7;
    int defaultColumn_ = 64;
    std::vector<std::pair<int, int>> columns_; // (0-based column, pixels)
    int defaultRow_ = 20;
    std::vector<std::pair<int, int>> rows_;
};

} // namespace tavorin::test
