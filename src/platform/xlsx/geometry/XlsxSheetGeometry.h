#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tavorin::xlsx {

// Column and row layout of one worksheet of an .xlsx package as Excel shows it at 96 dpi, from
// the values of its <cols>, <row> and <sheetFormatPr> elements. Everything is measured in whole
// pixels first, as Excel draws columns and rows on the pixel grid, and reported in points
// (pixel * 3/4) or EMU (pixel * 9525). Columns and rows are 0-based here. Asked for, the layout
// is LibreOffice's instead (see libreOfficeDigitTwips), in fractions of a pixel.
//  - a <col width> is in characters of the maximum digit width (MDW) including the padding:
//    pixels = trunc(((256 * width + trunc(128 / MDW)) / 256) * MDW);
//  - without a <col>, a column is defaultColWidth wide (the same unit); without that, baseColWidth
//    characters (8 by default) * MDW + padding, rounded up to a multiple of 8 pixels;
//  - a row is its ht in points, else defaultRowHeight, rounded to whole pixels;
//  - hidden columns and rows are 0 wide.
class XlsxSheetGeometry {
public:
    static constexpr int columnCount = 16384;
    static constexpr int rowCount = 1048576;
    static constexpr double emuPerPixel = 9525.0;
    static constexpr double emuPerPoint = 12700.0;

    struct ColumnSpan {
        int first = 0, last = 0; // 0-based, inclusive
        std::optional<double> width;
        bool hidden = false;
    };
    struct RowSize {
        int row = 0;
        std::optional<double> heightPoints;
        bool hidden = false;
    };
    struct Layout {
        int maximumDigitWidth = 7;
        std::optional<double> defaultColumnWidth; // defaultColWidth
        int baseColumnWidth = 8;                  // baseColWidth
        double defaultRowHeightPoints = 15;
        bool defaultRowsHidden = false;           // zeroHeight
        std::vector<ColumnSpan> columns;
        std::vector<RowSize> rows;
        // Set when the sheet is measured as LibreOffice draws it: the advance of its digit in
        // twips at the Normal font's size.
        std::optional<double> libreOfficeDigitTwips;
    };
    struct Box {
        double left = 0, top = 0, width = 0, height = 0; // points
    };
    // A place as a drawing anchor holds it: a cell index and an offset into it in EMU.
    struct AnchorPoint {
        int index = 0;
        std::int64_t offset = 0;
        friend bool operator==(const AnchorPoint&, const AnchorPoint&) = default;
    };

    explicit XlsxSheetGeometry(const Layout& layout);

    int maximumDigitWidth() const { return mdw_; }
    double columnPixels(int column) const;
    double columnLeftPixels(int column) const;
    double rowPixels(int row) const;
    double rowTopPixels(int row) const;
    // ColumnWidth in characters (padding excluded), as Excel reads it.
    double columnCharacters(int column) const;

    Box rangeBox(int row1, int column1, int row2, int column2) const;

    double xPointsOf(AnchorPoint point) const;
    double yPointsOf(AnchorPoint point) const;
    // The anchor position of a distance in points from the sheet's left or top edge; nothing
    // beyond the sheet's last column or row.
    std::optional<AnchorPoint> columnAnchorAt(double xPoints) const;
    std::optional<AnchorPoint> rowAnchorAt(double yPoints) const;

    static int pixelsFromPoints(double points);

private:
    int mdw_ = 7;
    double defaultColumnPixels_ = 64;
    double defaultRowPixels_ = 20;
    // Columns that differ from the default, and the running sum of their differences.
    std::vector<std::pair<int, double>> columnOverrides_;
    std::vector<double> columnDeltaPrefix_;
    std::vector<std::pair<int, double>> rowOverrides_;
    std::vector<double> rowDeltaPrefix_;
};

} // namespace tavorin::xlsx
