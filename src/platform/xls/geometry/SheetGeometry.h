#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tavorin::xls {

// Column and row layout of one worksheet as Excel shows it at 96 dpi, from plain record values.
// Everything is measured in whole pixels first (Excel draws columns and rows on the pixel grid)
// and reported in points = pixels * 3/4. Columns and rows are 0-based here, as in the records.
class SheetGeometry {
public:
    static constexpr int columnCount = 256;
    static constexpr int rowCount = 65536;

    struct ColumnSpan {           // COLINFO
        int first = 0;
        int last = 0;             // may be 256 in files; clamped
        int coldx = 0;            // 1/256 of a character, padding included
        bool hidden = false;
    };
    struct RowSize {              // ROW
        int row = 0;
        int heightTwips = 255;
        bool hidden = false;
    };
    // How LibreOffice draws the sheet: column widths in characters of its own measure of the
    // Normal font's digit '0' (of the face it finds for that name on this machine), and row
    // heights as stored, neither on Excel's pixel grid.
    struct LibreOfficeColumns {
        double digitTwips = 111;              // advance of '0' at the Normal font's size
        int fontHeightTwips = 200;            // the Normal font's size
    };
    struct Layout {
        int maximumDigitWidth = 7;            // of the Normal style's font, pixels
        std::optional<int> defaultColumnCharacters;   // DEFCOLWIDTH (8 when absent)
        std::optional<int> standardWidthColdx;        // STANDARDWIDTH, wins over DEFCOLWIDTH
        std::vector<ColumnSpan> columns;
        int defaultRowHeightTwips = 255;      // DEFAULTROWHEIGHT
        bool defaultRowsHidden = false;       // DEFAULTROWHEIGHT fDyZero
        std::vector<RowSize> rows;
        std::optional<LibreOfficeColumns> libreOffice; // columns as LibreOffice draws them
    };
    // A place on the sheet as a drawing anchor gives it: a column or row and the offset inside it,
    // in 1/1024 of the column width or 1/256 of the row height.
    struct AnchorPoint {
        int index = 0;
        int offset = 0;
        friend bool operator==(const AnchorPoint&, const AnchorPoint&) = default;
    };
    struct Box {                  // points
        double left = 0, top = 0, width = 0, height = 0;
    };

    explicit SheetGeometry(const Layout& layout);

    int maximumDigitWidth() const { return mdw_; }
    int defaultColumnPixels() const { return defaultColumnPixels_; } // in Excel's model
    double defaultRowPixels() const { return defaultRowPixels_; }

    // Column width and left edge in pixels (whole pixels in Excel's model); 0 for hidden
    // columns; indexes outside 0-255 give 0.
    double columnPixels(int column) const;
    double columnLeftPixels(int column) const;
    // Row height and top edge in pixels (whole pixels in Excel's model); 0 for hidden rows;
    // indexes outside 0-65535 give 0.
    double rowPixels(int row) const;
    double rowTopPixels(int row) const;

    // ColumnWidth of a column in character units, as Excel reads it.
    double columnCharacters(int column) const;

    // Left/top/width/height in points of the cells from (row1, column1) to (row2, column2),
    // corners in any order.
    Box rangeBox(int row1, int column1, int row2, int column2) const;

    // Points from the sheet's left/top edge of an anchor position.
    double xPointsOf(AnchorPoint columnPoint) const;
    double yPointsOf(AnchorPoint rowPoint) const;
    // The anchor position of a point distance from the left/top edge; nullopt beyond the sheet.
    std::optional<AnchorPoint> columnAnchorAt(double xPoints) const;
    std::optional<AnchorPoint> rowAnchorAt(double yPoints) const;

    static double pointsFromPixels(double pixels) { return pixels * 0.75; }
    // Row height in whole pixels from twips (15 twips = 1 px), rounded half up.
    static int pixelsFromTwips(int twips);

private:
    void layColumnsAsExcel(const Layout& layout);
    void layColumnsAsLibreOffice(const Layout& layout, const LibreOfficeColumns& columns);

    int mdw_ = 7;
    int defaultColumnPixels_ = 64;
    double defaultRowPixels_ = 17;
    std::array<double, columnCount> columnPixels_{};
    std::array<double, columnCount + 1> columnLeft_{};
    // Rows that differ from the default, sorted, with the running sum of their differences
    // from the default height up to and including each: the top of any row is then
    // row * default + (sum of differences before it), found by binary search.
    std::vector<std::pair<int, double>> rowOverrides_; // row, pixels
    std::vector<double> rowDeltaPrefix_;
};

} // namespace tavorin::xls
