#include "platform/xls/model/SheetMeasure.h"

#include "platform/xls/records/BiffString.h"
#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/model/CellFormats.h"
#include "platform/xls/geometry/ColumnWidthUnits.h"
#include "platform/xls/geometry/DigitAdvance.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"

#include <algorithm>
#include <cmath>

namespace tavorin::xls::SheetMeasure {
namespace {

constexpr std::uint16_t rowHidden = 0x0020;
constexpr std::uint16_t defaultRowsHidden = 0x0002;
constexpr std::uint16_t columnHidden = 0x0001;
constexpr std::uint16_t columnUserSet = 0x0002;

} // namespace

namespace {

struct NormalFont {
    std::string face;
    int heightTwips = 200;
};

NormalFont normalFontOf(const WorkbookModel& model)
{
    if (model.fonts.empty())
        return {};
    auto font = model.store.bytes(model.fonts.front());
    ByteReader reader(font);
    NormalFont normal;
    normal.heightTwips = reader.u16();
    reader.seek(14);
    if (auto face = BiffString::readShort(reader))
        normal.face = BiffString::toUtf8(*face);
    return normal;
}

} // namespace

int maximumDigitWidthOf(const WorkbookModel& model)
{
    if (model.fonts.empty())
        return 7;
    NormalFont font = normalFontOf(model);
    return maximumDigitWidth(font.face, font.heightTwips).pixels;
}

SheetGeometry::LibreOfficeColumns libreOfficeColumnsOf(const WorkbookModel& model)
{
    NormalFont font = normalFontOf(model);
    const int height = font.heightTwips > 0 && font.heightTwips <= 409 * 20 ? font.heightTwips : 200;
    const double advance = digitAdvanceEm(font.face).value_or(digitAdvanceOfFace(font.face));
    return {advance * height, height};
}

SheetGeometry geometryOf(const WorkbookModel& model, const SheetModel& sheet, FitFor fitFor)
{
    SheetGeometry::Layout layout;
    layout.maximumDigitWidth = maximumDigitWidthOf(model);
    if (fitFor == FitFor::LibreOffice)
        layout.libreOffice = libreOfficeColumnsOf(model);
    if (sheet.defaultColumnWidth)
        layout.defaultColumnCharacters = *sheet.defaultColumnWidth;
    if (sheet.standardWidth)
        layout.standardWidthColdx = *sheet.standardWidth;
    for (const ColumnInfo& info : sheet.columns)
        layout.columns.push_back({info.firstColumn, info.lastColumn, info.width, info.hidden()});
    if (sheet.defaultRowHeight)
        layout.defaultRowHeightTwips = *sheet.defaultRowHeight;
    layout.defaultRowsHidden = sheet.defaultRowFlags && (*sheet.defaultRowFlags & defaultRowsHidden);
    for (const auto& row : sheet.cells.rows()) {
        if (!row.rowRecord)
            continue;
        auto bytes = model.store.bytes(*row.rowRecord);
        std::uint16_t flags = ByteReader::u16At(bytes, 12);
        layout.rows.push_back({row.index, ByteReader::u16At(bytes, 6) & 0x7FFF, (flags & rowHidden) != 0});
    }
    return SheetGeometry(layout);
}

Status setColumnWidth(const WorkbookModel& model, SheetModel& sheet, int column, double characters,
                      const SheetGeometry& current)
{
    if (column < 0 || column >= SheetGeometry::columnCount)
        return Error{"the column lies outside the sheet (1-256)", "column width", {}, {}};
    if (!std::isfinite(characters) || characters < 0 || characters > 255)
        return Error{"a column width is 0 to 255 characters", "column width", {}, {}};
    int mdw = maximumDigitWidthOf(model);
    int pixels = column_width::pixelsFromCharacters(characters, mdw);
    // The width a column already shows changes nothing: the caption step puts back the width it
    // read, and rewriting the record would round the template's own value and split its run.
    if (current.columnPixels(column) == pixels)
        return success();
    auto coldx = static_cast<std::uint16_t>(std::clamp(column_width::coldxFromPixels(pixels, mdw), 0, 0xFFFF));
    auto index = static_cast<std::uint16_t>(column);

    auto& columns = sheet.columns;
    auto at = std::find_if(columns.begin(), columns.end(),
                           [&](const ColumnInfo& info) { return info.firstColumn <= index && index <= info.lastColumn; });
    ColumnInfo changed;
    if (at == columns.end()) {
        changed = ColumnInfo{index, index, coldx, CellFormats::defaultCellFormat, columnUserSet, 0};
        auto place = std::find_if(columns.begin(), columns.end(),
                                  [&](const ColumnInfo& info) { return info.firstColumn > index; });
        at = columns.insert(place, changed);
    } else {
        ColumnInfo run = *at;
        std::vector<ColumnInfo> pieces;
        if (run.firstColumn < index) {
            ColumnInfo before = run;
            before.lastColumn = static_cast<std::uint16_t>(index - 1);
            pieces.push_back(before);
        }
        changed = run;
        changed.firstColumn = changed.lastColumn = index;
        changed.width = coldx;
        changed.flags = static_cast<std::uint16_t>(changed.flags | columnUserSet);
        pieces.push_back(changed);
        if (index < run.lastColumn) {
            ColumnInfo after = run;
            after.firstColumn = static_cast<std::uint16_t>(index + 1);
            pieces.push_back(after);
        }
        auto position = columns.erase(at);
        at = columns.insert(position, pieces.begin(), pieces.end());
        while (at->firstColumn != index)
            ++at;
    }
    if (pixels == 0)
        at->flags = static_cast<std::uint16_t>(at->flags | columnHidden);
    else
        at->flags = static_cast<std::uint16_t>(at->flags & ~columnHidden);
    return success();
}

} // namespace tavorin::xls::SheetMeasure
