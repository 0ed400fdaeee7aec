#pragma once

#include <QJsonArray>
#include <QJsonObject>

#include <optional>
#include <vector>

namespace tavorin::test {

// A rectangle on the sheet in points, from the sheet's top-left corner.
struct PointRect {
    double left = 0, top = 0, width = 0, height = 0;
    double centreX() const { return left + width / 2; }
    double centreY() const { return top + height / 2; }
};

// Where Excel draws a sheet's columns and rows, worked out from the column and row records that
// Apache POI reports, with Excel's own pixel rules at 96 dpi:
//  - the maximum digit width of the Normal font (Arial 10: 7 px, ＭＳ Ｐゴシック 11: 8 px);
//  - a column of coldx (1/256 character) is trunc((coldx + trunc(128/mdw)) / 256 * mdw) pixels;
//    without a record it is DEFCOLWIDTH characters * mdw + 5 px of padding, up to a multiple of 8;
//  - a row is its height in twips / 15 pixels, to the nearest pixel;
//  - a pixel is 0.75 point.
// Only the records are taken from the workbook; none of the program's own geometry is used.
class ExcelGrid {
public:
    // Nothing when the Normal font is not one whose digit width is known here.
    static std::optional<ExcelGrid> fromPoi(const QJsonObject& report, const QJsonObject& sheet);

    // Cells are 1-based and inclusive, as the run counts them.
    PointRect block(int firstRow, int firstColumn, int lastRow, int lastColumn) const;
    // A client anchor [col1, dx1, row1, dy1, col2, dx2, row2, dy2] (0-based cells, dx in 1/1024
    // of the column, dy in 1/256 of the row) as the rectangle it covers.
    PointRect anchorRect(const QJsonArray& anchor) const;

    int columnPixels(int column0) const;
    int rowPixels(int row0) const;

private:
    double xPixels(int column0, double fraction) const;
    double yPixels(int row0, double fraction) const;

    int mdw_ = 7;
    std::vector<int> columns_; // pixels of columns 0 .. 255
    int defaultRow_ = 17;
    std::vector<std::pair<int, int>> rows_; // row (0-based), pixels
};

} // namespace tavorin::test
