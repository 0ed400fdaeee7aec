#include "support/OpenpyxlReport.h"

#include "support/Oracles.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <cmath>

namespace tavorin::test {

std::optional<QJsonObject> openpyxlReport(const std::filesystem::path& workbook)
{
    const ProcessResult result = runReader(QStringLiteral("openpyxl_dump.py"), {QString::fromStdString(workbook.string())});
    if (!result.finished || result.exitCode != 0) {
        ADD_FAILURE() << "openpyxl cannot read " << workbook << ": " << result.standardError.toStdString();
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    if (!document.isObject()) {
        ADD_FAILURE() << "openpyxl printed no JSON report";
        return std::nullopt;
    }
    return document.object();
}

namespace {

int widthPixels(double width, int mdw)
{
    return static_cast<int>(std::trunc((256.0 * width + std::trunc(128.0 / mdw)) / 256.0 * mdw));
}

} // namespace

std::optional<XlsxGrid> XlsxGrid::fromOpenpyxl(const QJsonObject& report, const QJsonObject& sheet)
{
    const QString font = report["normalFont"].toObject()["name"].toString();
    const double size = report["normalFont"].toObject()["size"].toDouble();
    XlsxGrid grid;
    if ((font == "Calibri" && size == 11) || (font == "Arial" && size == 10))
        grid.mdw_ = 7;
    else if (font == QStringLiteral("ＭＳ Ｐゴシック") && size == 11)
        grid.mdw_ = 8;
    else
        return std::nullopt;
    const QJsonObject format = sheet["format"].toObject();
    if (!format["defaultColWidth"].isNull()) {
        grid.defaultColumn_ = widthPixels(format["defaultColWidth"].toDouble(), grid.mdw_);
    } else {
        const int padding = 2 * std::max(2, (grid.mdw_ + 3) / 4) + 1;
        const int pixels = format["baseColWidth"].toInt(8) * grid.mdw_ + padding;
        grid.defaultColumn_ = (pixels + 7) / 8 * 8;
    }
    for (const auto& value : sheet["columns"].toArray()) {
        const QJsonObject column = value.toObject();
        const int pixels = column["hidden"].toBool() ? 0
                           : column["width"].isNull() ? grid.defaultColumn_
                                                      : widthPixels(column["width"].toDouble(), grid.mdw_);
        for (int c = column["min"].toInt(); c <= column["max"].toInt() && c <= 16384; ++c)
            grid.columns_.emplace_back(c - 1, pixels);
    }
    const bool zeroHeight = format["zeroHeight"].toBool();
    grid.defaultRow_ = zeroHeight ? 0 : static_cast<int>(std::lround(format["defaultRowHeight"].toDouble(15) * 4 / 3));
    for (const auto& value : sheet["rows"].toArray()) {
        const QJsonObject row = value.toObject();
        const int pixels = row["hidden"].toBool() ? 0
                           : row["height"].isNull() ? grid.defaultRow_
                                                    : static_cast<int>(std::lround(row["height"].toDouble() * 4 / 3));
        grid.rows_.emplace_back(row["row"].toInt() - 1, pixels);
    }
    return grid;
}

int XlsxGrid::columnPixels(int column0) const
{
    int pixels = defaultColumn_;
    for (const auto& [column, width] : columns_)
        if (column == column0)
            pixels = width;
    return pixels;
}

int XlsxGrid::rowPixels(int row0) const
{
    int pixels = defaultRow_;
    for (const auto& [row, height] : rows_)
        if (row == row0)
            pixels = height;
    return pixels;
}

double XlsxGrid::x(int column0) const
{
    double pixels = 0;
    for (int c = 0; c < column0; ++c)
        pixels += columnPixels(c);
    return pixels;
}

double XlsxGrid::y(int row0) const
{
    double pixels = 0;
    for (int r = 0; r < row0; ++r)
        pixels += rowPixels(r);
    return pixels;
}

PointRect XlsxGrid::block(int firstRow, int firstColumn, int lastRow, int lastColumn) const
{
    const double left = x(firstColumn - 1), top = y(firstRow - 1);
    return {0.75 * left, 0.75 * top, 0.75 * (x(lastColumn) - left), 0.75 * (y(lastRow) - top)};
}

PointRect XlsxGrid::anchorRect(const QJsonObject& image) const
{
    const QJsonObject from = image["from"].toObject(), to = image["to"].toObject();
    const double left = x(from["col"].toInt()) + from["colOff"].toDouble() / 9525;
    const double top = y(from["row"].toInt()) + from["rowOff"].toDouble() / 9525;
    const double right = x(to["col"].toInt()) + to["colOff"].toDouble() / 9525;
    const double bottom = y(to["row"].toInt()) + to["rowOff"].toDouble() / 9525;
    return {0.75 * left, 0.75 * top, 0.75 * (right - left), 0.75 * (bottom - top)};
}

} // namespace tavorin::test
