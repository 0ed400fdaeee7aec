#include "platform/xlsx/geometry/XlsxSheetGeometry.h"

#include "platform/xls/geometry/CellHolding.h"
#include "platform/xls/geometry/ColumnWidthUnits.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tavorin::xlsx {
namespace {

using Overrides = std::vector<std::pair<int, double>>;

// Sorted differences from the default size and their running sums, so that the start of any
// index is index * default + (sum of the differences before it), found by binary search.
void buildOverrides(const std::map<int, double>& sizes, double defaultSize, Overrides& overrides, std::vector<double>& prefix)
{
    double sum = 0;
    for (const auto& [index, size] : sizes) {
        if (size == defaultSize)
            continue;
        sum += size - defaultSize;
        overrides.emplace_back(index, size);
        prefix.push_back(sum);
    }
}

Overrides::const_iterator firstAtOrAfter(const Overrides& overrides, int index)
{
    return std::lower_bound(overrides.begin(), overrides.end(), std::make_pair(index, 0.0),
                            [](const auto& a, const auto& b) { return a.first < b.first; });
}

double sizeAt(const Overrides& overrides, int index, double defaultSize)
{
    auto found = firstAtOrAfter(overrides, index);
    return found != overrides.end() && found->first == index ? found->second : defaultSize;
}

double startOf(const Overrides& overrides, const std::vector<double>& prefix, int index, double defaultSize)
{
    const auto before = firstAtOrAfter(overrides, index) - overrides.begin();
    return double(index) * defaultSize + (before > 0 ? prefix[static_cast<std::size_t>(before - 1)] : 0);
}

int widthPixels(double characters, int mdw)
{
    if (!std::isfinite(characters) || characters <= 0)
        return 0;
    const int coldx = static_cast<int>(std::floor(std::min(characters, 255.0) * 256.0));
    return xls::column_width::pixelsFromColdx(coldx, mdw);
}

// The index holding a pixel position (the last non-empty one starting at or before it) and the
// offset into it in EMU; a position on the far edge of an index moves to the start of the next.
template <typename StartOf, typename SizeOf>
std::optional<XlsxSheetGeometry::AnchorPoint> anchorAt(double pixels, int count, StartOf startOf, SizeOf sizeOf)
{
    if (!(pixels >= 0.0) || pixels > double(startOf(count)))
        return std::nullopt;
    const int index = xls::cellHolding(pixels, count, startOf, sizeOf);
    const double size = sizeOf(index);
    auto offset = static_cast<std::int64_t>(std::llround((pixels - double(startOf(index))) * XlsxSheetGeometry::emuPerPixel));
    const auto full = static_cast<std::int64_t>(std::llround(size * XlsxSheetGeometry::emuPerPixel));
    if (offset >= full) {
        int next = index + 1;
        while (next < count && sizeOf(next) <= 0)
            ++next;
        if (next < count)
            return XlsxSheetGeometry::AnchorPoint{next, 0};
        offset = full;
    }
    return XlsxSheetGeometry::AnchorPoint{index, std::max<std::int64_t>(offset, 0)};
}

} // namespace

int XlsxSheetGeometry::pixelsFromPoints(double points)
{
    if (!std::isfinite(points) || points <= 0)
        return 0;
    return static_cast<int>(std::floor(std::min(points, 409.5) * 4.0 / 3.0 + 0.5));
}

XlsxSheetGeometry::XlsxSheetGeometry(const Layout& layout) : mdw_(std::clamp(layout.maximumDigitWidth, 1, 64))
{
    // Excel draws columns and rows on its pixel grid. LibreOffice makes a width of n characters
    // n of its own digit (the digit of the face it finds for the font on this machine), the
    // default base width 5 pixels more, and draws rows as tall as they are stored.
    const auto digitTwips = layout.libreOfficeDigitTwips;
    auto widthOf = [&](double characters) -> double {
        if (!digitTwips)
            return widthPixels(characters, mdw_);
        return std::isfinite(characters) && characters > 0 ? std::min(characters, 255.0) * *digitTwips / 15.0 : 0.0;
    };
    if (layout.defaultColumnWidth)
        defaultColumnPixels_ = widthOf(*layout.defaultColumnWidth);
    else if (digitTwips)
        defaultColumnPixels_ = widthOf(layout.baseColumnWidth) + 5.0;
    else
        defaultColumnPixels_ = xls::column_width::pixelsFromDefaultCharacters(layout.baseColumnWidth, mdw_);
    std::map<int, double> columns; // a later <col> for the same column wins
    for (const ColumnSpan& span : layout.columns) {
        const int first = std::max(span.first, 0), last = std::min(span.last, columnCount - 1);
        const double pixels = span.hidden ? 0.0 : span.width ? widthOf(*span.width) : defaultColumnPixels_;
        for (int column = first; column <= last; ++column)
            columns[column] = pixels;
    }
    buildOverrides(columns, defaultColumnPixels_, columnOverrides_, columnDeltaPrefix_);

    auto heightOf = [&](double points) -> double {
        if (!digitTwips)
            return pixelsFromPoints(points);
        return std::isfinite(points) && points > 0 ? std::min(points, 409.5) * 4.0 / 3.0 : 0.0;
    };
    defaultRowPixels_ = layout.defaultRowsHidden ? 0.0 : heightOf(layout.defaultRowHeightPoints);
    std::map<int, double> rows;
    for (const RowSize& row : layout.rows) {
        if (row.row < 0 || row.row >= rowCount)
            continue;
        rows[row.row] = row.hidden ? 0.0 : row.heightPoints ? heightOf(*row.heightPoints) : defaultRowPixels_;
    }
    buildOverrides(rows, defaultRowPixels_, rowOverrides_, rowDeltaPrefix_);
}

double XlsxSheetGeometry::columnPixels(int column) const
{
    return column >= 0 && column < columnCount ? sizeAt(columnOverrides_, column, defaultColumnPixels_) : 0;
}

double XlsxSheetGeometry::columnLeftPixels(int column) const
{
    return startOf(columnOverrides_, columnDeltaPrefix_, std::clamp(column, 0, columnCount), defaultColumnPixels_);
}

double XlsxSheetGeometry::rowPixels(int row) const
{
    return row >= 0 && row < rowCount ? sizeAt(rowOverrides_, row, defaultRowPixels_) : 0;
}

double XlsxSheetGeometry::rowTopPixels(int row) const
{
    return startOf(rowOverrides_, rowDeltaPrefix_, std::clamp(row, 0, rowCount), defaultRowPixels_);
}

double XlsxSheetGeometry::columnCharacters(int column) const
{
    return xls::column_width::charactersFromPixels(static_cast<int>(std::lround(columnPixels(column))), mdw_);
}

XlsxSheetGeometry::Box XlsxSheetGeometry::rangeBox(int row1, int column1, int row2, int column2) const
{
    const int top = std::clamp(std::min(row1, row2), 0, rowCount - 1);
    const int bottom = std::clamp(std::max(row1, row2), 0, rowCount - 1);
    const int left = std::clamp(std::min(column1, column2), 0, columnCount - 1);
    const int right = std::clamp(std::max(column1, column2), 0, columnCount - 1);
    return {0.75 * double(columnLeftPixels(left)), 0.75 * double(rowTopPixels(top)),
            0.75 * double(columnLeftPixels(right + 1) - columnLeftPixels(left)),
            0.75 * double(rowTopPixels(bottom + 1) - rowTopPixels(top))};
}

double XlsxSheetGeometry::xPointsOf(AnchorPoint point) const
{
    const int column = std::clamp(point.index, 0, columnCount - 1);
    const double inside = std::clamp(double(point.offset), 0.0, columnPixels(column) * emuPerPixel);
    return (double(columnLeftPixels(column)) * emuPerPixel + inside) / emuPerPoint;
}

double XlsxSheetGeometry::yPointsOf(AnchorPoint point) const
{
    const int row = std::clamp(point.index, 0, rowCount - 1);
    const double inside = std::clamp(double(point.offset), 0.0, rowPixels(row) * emuPerPixel);
    return (double(rowTopPixels(row)) * emuPerPixel + inside) / emuPerPoint;
}

std::optional<XlsxSheetGeometry::AnchorPoint> XlsxSheetGeometry::columnAnchorAt(double xPoints) const
{
    return anchorAt(xPoints / 0.75, columnCount, [this](int c) { return columnLeftPixels(c); },
                    [this](int c) { return columnPixels(c); });
}

std::optional<XlsxSheetGeometry::AnchorPoint> XlsxSheetGeometry::rowAnchorAt(double yPoints) const
{
    return anchorAt(yPoints / 0.75, rowCount, [this](int r) { return rowTopPixels(r); },
                    [this](int r) { return rowPixels(r); });
}

} // namespace tavorin::xlsx
