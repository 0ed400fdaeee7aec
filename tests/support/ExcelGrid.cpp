#include "support/ExcelGrid.h"

#include <cmath>

namespace tavorin::test {
namespace {

constexpr int columnCount = 256;

std::optional<int> maximumDigitWidth(const QJsonObject& font)
{
    const QString name = font["name"].toString();
    const int height = font["heightTwips"].toInt();
    if (name == QStringLiteral("Arial") && height == 200)
        return 7;
    if (name == QStringLiteral("ＭＳ Ｐゴシック") && height == 220)
        return 8;
    return std::nullopt;
}

int pixelsOfColdx(int coldx, int mdw) { return static_cast<int>((coldx + 128 / mdw) * mdw / 256); }

int pixelsOfTwips(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

} // namespace

std::optional<ExcelGrid> ExcelGrid::fromPoi(const QJsonObject& report, const QJsonObject& sheet)
{
    auto mdw = maximumDigitWidth(report["normalFont"].toObject());
    if (!mdw)
        return std::nullopt;
    ExcelGrid grid;
    grid.mdw_ = *mdw;
    int standard = 0;
    if (sheet["standardWidth"].isDouble()) {
        standard = pixelsOfColdx(sheet["standardWidth"].toInt(), *mdw);
    } else {
        const int characters = sheet["defColWidth"].isDouble() ? sheet["defColWidth"].toInt() : 8;
        const int raw = characters * *mdw + 5;
        standard = (raw + 7) / 8 * 8;
    }
    grid.columns_.assign(columnCount, standard);
    for (const auto& value : sheet["columns"].toArray()) {
        const QJsonObject c = value.toObject();
        for (int column = std::max(0, c["first"].toInt()); column <= std::min(columnCount - 1, c["last"].toInt()); ++column)
            grid.columns_[static_cast<std::size_t>(column)] = c["hidden"].toBool() ? 0 : pixelsOfColdx(c["coldx"].toInt(), *mdw);
    }
    if (sheet["defaultRowHeightTwips"].isDouble())
        grid.defaultRow_ = pixelsOfTwips(sheet["defaultRowHeightTwips"].toInt());
    for (const auto& value : sheet["rows"].toArray()) {
        const QJsonObject r = value.toObject();
        grid.rows_.emplace_back(r["row"].toInt(), r["hidden"].toBool() ? 0 : pixelsOfTwips(r["heightTwips"].toInt()));
    }
    return grid;
}

int ExcelGrid::columnPixels(int column0) const
{
    return column0 >= 0 && column0 < columnCount ? columns_[static_cast<std::size_t>(column0)] : 0;
}

int ExcelGrid::rowPixels(int row0) const
{
    int pixels = defaultRow_;
    for (const auto& [row, height] : rows_)
        if (row == row0)
            pixels = height;
    return pixels;
}

double ExcelGrid::xPixels(int column0, double fraction) const
{
    double x = 0;
    for (int c = 0; c < column0; ++c)
        x += columnPixels(c);
    return x + columnPixels(column0) * fraction;
}

double ExcelGrid::yPixels(int row0, double fraction) const
{
    double y = 0;
    for (int r = 0; r < row0; ++r)
        y += rowPixels(r);
    return y + rowPixels(row0) * fraction;
}

PointRect ExcelGrid::block(int firstRow, int firstColumn, int lastRow, int lastColumn) const
{
    const double left = xPixels(firstColumn - 1, 0), right = xPixels(lastColumn - 1, 1);
    const double top = yPixels(firstRow - 1, 0), bottom = yPixels(lastRow - 1, 1);
    return {left * 0.75, top * 0.75, (right - left) * 0.75, (bottom - top) * 0.75};
}

PointRect ExcelGrid::anchorRect(const QJsonArray& a) const
{
    const double left = xPixels(a[0].toInt(), a[1].toInt() / 1024.0);
    const double top = yPixels(a[2].toInt(), a[3].toInt() / 256.0);
    const double right = xPixels(a[4].toInt(), a[5].toInt() / 1024.0);
    const double bottom = yPixels(a[6].toInt(), a[7].toInt() / 256.0);
    return {left * 0.75, top * 0.75, (right - left) * 0.75, (bottom - top) * 0.75};
}

} // namespace tavorin::test
