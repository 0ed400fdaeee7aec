#include "platform/xls/geometry/SheetGeometry.h"

#include "platform/xls/geometry/CellHolding.h"
#include "platform/xls/geometry/ColumnWidthUnits.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tavorin::xls {

int SheetGeometry::pixelsFromTwips(int twips)
{
    if (twips <= 0)
        return 0;
    return (twips * 2 + 15) / 30;
}

SheetGeometry::SheetGeometry(const Layout& layout)
    : mdw_(std::clamp(layout.maximumDigitWidth, 1, 64))
{
    if (layout.standardWidthColdx)
        defaultColumnPixels_ = column_width::pixelsFromColdx(*layout.standardWidthColdx, mdw_);
    else
        defaultColumnPixels_ = column_width::pixelsFromDefaultCharacters(layout.defaultColumnCharacters.value_or(8), mdw_);
    if (layout.libreOffice)
        layColumnsAsLibreOffice(layout, *layout.libreOffice);
    else
        layColumnsAsExcel(layout);
    for (int column = 0; column < columnCount; ++column)
        columnLeft_[column + 1] = columnLeft_[column] + columnPixels_[column];

    // Excel draws rows on its pixel grid; LibreOffice as tall as they are stored.
    auto pixelsOf = [&](int twips) {
        return layout.libreOffice ? std::max(twips, 0) / 15.0 : double(pixelsFromTwips(twips));
    };
    defaultRowPixels_ = layout.defaultRowsHidden ? 0 : pixelsOf(layout.defaultRowHeightTwips);
    std::map<int, double> overrides; // a later ROW for the same row wins
    for (const RowSize& row : layout.rows) {
        if (row.row < 0 || row.row >= rowCount)
            continue;
        overrides[row.row] = row.hidden ? 0 : pixelsOf(row.heightTwips);
    }
    double sum = 0;
    for (const auto& [row, pixels] : overrides) {
        if (pixels == defaultRowPixels_)
            continue;
        sum += pixels - defaultRowPixels_;
        rowOverrides_.emplace_back(row, pixels);
        rowDeltaPrefix_.push_back(sum);
    }
}

void SheetGeometry::layColumnsAsExcel(const Layout& layout)
{
    columnPixels_.fill(defaultColumnPixels_);
    for (const ColumnSpan& span : layout.columns) {
        const int first = std::max(span.first, 0);
        const int last = std::min(span.last, columnCount - 1);
        const int pixels = span.hidden ? 0 : column_width::pixelsFromColdx(span.coldx, mdw_);
        for (int column = first; column <= last; ++column)
            columnPixels_[column] = pixels;
    }
}

void SheetGeometry::layColumnsAsLibreOffice(const Layout& layout, const LibreOfficeColumns& columns)
{
    // A width of coldx (1/256 of a character) is coldx/256 of LibreOffice's digit; a default
    // width of n characters gets a margin that LibreOffice works out from the font's size
    // (checked against the widths LibreOffice reports for several faces and sizes).
    const double pixelsPerColdx = columns.digitTwips / 256.0 / 15.0;
    double defaultColdx = 0;
    if (layout.standardWidthColdx) {
        defaultColdx = *layout.standardWidthColdx;
    } else {
        const double margin = 40960.0 / std::max(columns.fontHeightTwips - 15, 60) + 50.0;
        defaultColdx = layout.defaultColumnCharacters.value_or(8) * 256.0 + margin;
    }
    columnPixels_.fill(defaultColdx * pixelsPerColdx);
    for (const ColumnSpan& span : layout.columns) {
        const int first = std::max(span.first, 0);
        const int last = std::min(span.last, columnCount - 1);
        for (int column = first; column <= last; ++column)
            columnPixels_[column] = span.hidden ? 0.0 : span.coldx * pixelsPerColdx;
    }
}

double SheetGeometry::columnPixels(int column) const
{
    return column >= 0 && column < columnCount ? columnPixels_[column] : 0;
}

double SheetGeometry::columnLeftPixels(int column) const
{
    return columnLeft_[std::clamp(column, 0, columnCount)];
}

double SheetGeometry::rowPixels(int row) const
{
    if (row < 0 || row >= rowCount)
        return 0;
    auto found = std::lower_bound(rowOverrides_.begin(), rowOverrides_.end(), std::make_pair(row, 0.0),
                                  [](const auto& a, const auto& b) { return a.first < b.first; });
    return found != rowOverrides_.end() && found->first == row ? found->second : defaultRowPixels_;
}

double SheetGeometry::rowTopPixels(int row) const
{
    row = std::clamp(row, 0, rowCount);
    // Overrides strictly above `row` contribute their difference from the default.
    auto end = std::lower_bound(rowOverrides_.begin(), rowOverrides_.end(), std::make_pair(row, 0.0),
                                [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto before = end - rowOverrides_.begin();
    const double delta = before > 0 ? rowDeltaPrefix_[static_cast<std::size_t>(before - 1)] : 0;
    return row * defaultRowPixels_ + delta;
}

double SheetGeometry::columnCharacters(int column) const
{
    return column_width::charactersFromPixels(static_cast<int>(std::lround(columnPixels(column))), mdw_);
}

SheetGeometry::Box SheetGeometry::rangeBox(int row1, int column1, int row2, int column2) const
{
    const int top = std::clamp(std::min(row1, row2), 0, rowCount - 1);
    const int bottom = std::clamp(std::max(row1, row2), 0, rowCount - 1);
    const int left = std::clamp(std::min(column1, column2), 0, columnCount - 1);
    const int right = std::clamp(std::max(column1, column2), 0, columnCount - 1);
    Box box;
    box.left = pointsFromPixels(double(columnLeftPixels(left)));
    box.top = pointsFromPixels(double(rowTopPixels(top)));
    box.width = pointsFromPixels(double(columnLeftPixels(right + 1) - columnLeftPixels(left)));
    box.height = pointsFromPixels(double(rowTopPixels(bottom + 1) - rowTopPixels(top)));
    return box;
}

double SheetGeometry::xPointsOf(AnchorPoint point) const
{
    const int column = std::clamp(point.index, 0, columnCount - 1);
    const int offset = std::clamp(point.offset, 0, 1024);
    return pointsFromPixels(double(columnLeftPixels(column)) + columnPixels(column) * offset / 1024.0);
}

double SheetGeometry::yPointsOf(AnchorPoint point) const
{
    const int row = std::clamp(point.index, 0, rowCount - 1);
    const int offset = std::clamp(point.offset, 0, 256);
    return pointsFromPixels(double(rowTopPixels(row)) + rowPixels(row) * offset / 256.0);
}

namespace {

// The cell index holding `pixels` (the last visible one starting at or before it) and the
// offset inside it in 1/`units`, rounded to the nearest unit; a rounding onto the far edge
// moves to the start of the next visible cell.
template <typename StartOf, typename SizeOf>
std::optional<SheetGeometry::AnchorPoint> anchorAt(double pixels, int count, int units, StartOf startOf, SizeOf sizeOf)
{
    if (!(pixels >= 0.0) || pixels > double(startOf(count)))
        return std::nullopt;
    const int index = cellHolding(pixels, count, startOf, sizeOf);
    const double size = double(sizeOf(index));
    if (size <= 0)
        return SheetGeometry::AnchorPoint{index, 0};
    int offset = static_cast<int>(std::floor((pixels - double(startOf(index))) * units / size + 0.5));
    if (offset >= units) {
        int next = index + 1;
        while (next < count && sizeOf(next) <= 0)
            ++next;
        if (next < count)
            return SheetGeometry::AnchorPoint{next, 0};
        offset = units - 1;
    }
    return SheetGeometry::AnchorPoint{index, std::max(offset, 0)};
}

} // namespace

std::optional<SheetGeometry::AnchorPoint> SheetGeometry::columnAnchorAt(double xPoints) const
{
    return anchorAt(xPoints / 0.75, columnCount, 1024, [this](int c) { return columnLeftPixels(c); },
                    [this](int c) { return columnPixels(c); });
}

std::optional<SheetGeometry::AnchorPoint> SheetGeometry::rowAnchorAt(double yPoints) const
{
    return anchorAt(yPoints / 0.75, rowCount, 256, [this](int r) { return rowTopPixels(r); },
                    [this](int r) { return rowPixels(r); });
}

} // namespace tavorin::xls
