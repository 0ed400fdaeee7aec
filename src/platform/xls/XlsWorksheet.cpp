#include "platform/xls/XlsWorksheet.h"

#include "platform/xls/model/CellEditor.h"
#include "platform/xls/model/DateSerial.h"
#include "platform/xls/model/SheetCopier.h"
#include "platform/xls/model/SheetMeasure.h"
#include "platform/xls/model/SheetNameRules.h"
#include "platform/xls/model/WorkbookDrawings.h"
#include "platform/xls/XlsSession.h"
#include "platform/xls/XlsWorkbook.h"

#include <QString>

#include <algorithm>

namespace tavorin::xls {
namespace {

std::u16string utf16(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }

} // namespace

XlsWorksheet::XlsWorksheet(std::weak_ptr<XlsWorkbook> workbook, std::shared_ptr<SheetModel> sheet, FitFor fitFor)
    : workbook_(std::move(workbook)), sheet_(std::move(sheet)), placementGeometry_(fitFor)
{
}

Result<XlsWorksheet::Open> XlsWorksheet::open()
{
    auto workbook = workbook_.lock();
    if (!workbook)
        return operationError("the workbook is closed");
    auto document = workbook->document();
    if (!document)
        return document.error();
    if (auto position = workbook->positionOf(*sheet_); !position)
        return position.error();
    return Open{workbook, *document};
}

Result<XlsWorksheet::Open> XlsWorksheet::openWorksheet()
{
    auto opened = open();
    if (opened && (!sheet_->structured || !sheet_->isWorksheet()))
        return operationError("the sheet \"" + QString::fromStdU16String(sheet_->name).toStdString() +
                              "\" is not a worksheet");
    // A sheet's records are read the first time someone works on it.
    if (opened) {
        if (auto loaded = opened->document->model().load(*sheet_); !loaded)
            return loaded.error();
    }
    return opened;
}

Result<XlsWorksheet::Open> XlsWorksheet::openWorksheetAt(std::initializer_list<CellAddress> cells)
{
    for (CellAddress cell : cells)
        if (auto reason = cellOutsideSheet(cell, SheetGeometry::rowCount, SheetGeometry::columnCount))
            return operationError(*reason);
    return openWorksheet();
}

SpreadsheetResult<std::string> XlsWorksheet::name()
{
    if (auto opened = open(); !opened)
        return opened.error();
    return QString::fromStdU16String(sheet_->name).toStdString();
}

SpreadsheetStatus XlsWorksheet::setName(const std::string& newName)
{
    auto opened = open();
    if (!opened)
        return opened.error();
    auto wanted = utf16(newName);
    std::vector<std::u16string> others;
    for (const auto& sheet : opened->document->model().sheets)
        if (sheet != sheet_)
            others.push_back(sheet->name);
    if (auto status = SheetNameRules::check(wanted, others); !status)
        return status;
    sheet_->name = wanted;
    return success();
}

SpreadsheetStatus XlsWorksheet::select()
{
    auto opened = open();
    if (!opened)
        return opened.error();
    opened->workbook->activate(sheet_);
    return success();
}

SpreadsheetStatus XlsWorksheet::copyAfter(SpreadsheetWorksheet& anchor)
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    auto* anchorSheet = dynamic_cast<XlsWorksheet*>(&anchor);
    if (!anchorSheet)
        return operationError("the anchor sheet belongs to another workbook");
    auto anchorPosition = opened->workbook->positionOf(*anchorSheet->model());
    if (!anchorPosition)
        return anchorPosition.error();
    auto templatePosition = opened->workbook->positionOf(*sheet_);
    if (!templatePosition)
        return templatePosition.error();
    auto& model = opened->document->model();
    auto copied = SheetCopier(model).copyAfter(*templatePosition, *anchorPosition);
    if (!copied)
        return copied.error();
    opened->workbook->activate(model.sheets[*copied]);
    return success();
}

SpreadsheetResult<double> XlsWorksheet::columnWidth(CellAddress cell)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    return geometry_.geometryOf(opened->document->model(), *sheet_).columnCharacters(cell.column - 1);
}

SpreadsheetStatus XlsWorksheet::setColumnWidth(CellAddress cell, double width)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    const auto& model = opened->document->model();
    return SheetMeasure::setColumnWidth(model, *sheet_, cell.column - 1, width, geometry_.geometryOf(model, *sheet_));
}

SpreadsheetStatus XlsWorksheet::setMergeAreaValue(CellAddress cell, const CellValue& value)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    auto& model = opened->document->model();
    CellEditor editor(model, *sheet_);
    auto row = static_cast<std::uint32_t>(cell.row - 1);
    auto column = static_cast<std::uint32_t>(cell.column - 1);
    if (const auto* text = std::get_if<std::string>(&value))
        return editor.setText(row, column, utf16(*text));
    if (const auto* number = std::get_if<double>(&value))
        return editor.setNumber(row, column, *number);
    const auto& date = std::get<CalendarDateTime>(value);
    auto serial = dateSerial(date.year, date.month, date.day, date.hour, date.minute, date.second, date.millisecond,
                             model.date1904 ? DateSystem::Date1904 : DateSystem::Date1900);
    if (!serial)
        return serial.error();
    return editor.setDate(row, column, *serial);
}

SpreadsheetStatus XlsWorksheet::setMergeAreaNumberFormatLocal(CellAddress cell, const std::string& format)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    CellEditor editor(opened->document->model(), *sheet_);
    return editor.setNumberFormat(static_cast<std::uint32_t>(cell.row - 1), static_cast<std::uint32_t>(cell.column - 1),
                                  utf16(format));
}

Result<std::array<double, 4>> XlsWorksheet::box(CellRange range)
{
    auto opened = openWorksheetAt({range.first, range.last});
    if (!opened)
        return opened.error();
    const SheetGeometry& geometry = placementGeometry_.geometryOf(opened->document->model(), *sheet_);
    auto b = geometry.rangeBox(range.first.row - 1, range.first.column - 1, range.last.row - 1, range.last.column - 1);
    return std::array<double, 4>{b.left, b.top, b.width, b.height};
}

SpreadsheetStatus XlsWorksheet::selectRange(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    insertionPoint_ = CellAddress{std::min(range.first.row, range.last.row),
                                  std::min(range.first.column, range.last.column)};
    return success();
}

SpreadsheetResult<double> XlsWorksheet::rangeWidth(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return (*measured)[2];
}

SpreadsheetResult<double> XlsWorksheet::rangeHeight(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return (*measured)[3];
}

SpreadsheetResult<double> XlsWorksheet::rangeTop(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return (*measured)[1];
}

SpreadsheetResult<double> XlsWorksheet::rangeLeft(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return (*measured)[0];
}

Result<XlsWorksheet::Pictures> XlsWorksheet::pictures()
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    auto& model = opened->document->model();
    auto group = WorkbookDrawings::group(model);
    if (!group)
        return group.error();
    auto drawing = WorkbookDrawings::drawingOf(model, *sheet_);
    if (!drawing)
        return drawing.error();
    return Pictures{*group, *drawing, &placementGeometry_.geometryOf(model, *sheet_)};
}

SpreadsheetResult<std::string> XlsWorksheet::insertPicture(const std::filesystem::path& path)
{
    auto opened = pictures();
    if (!opened)
        return opened.error();
    CellAddress at = insertionPoint_.value_or(CellAddress{1, 1});
    auto workbook = workbook_.lock();
    PictureFile::Options options{workbook ? workbook->session().photoOrientation : true};
    auto name = opened->operations().insert(path, at.row - 1, at.column - 1, options);
    if (!name)
        return name.error();
    return QString::fromStdU16String(*name).toStdString();
}

Result<double> XlsWorksheet::shapeFrameValue(const std::string& shape, double ShapeAnchor::Frame::*field)
{
    auto opened = pictures();
    if (!opened)
        return opened.error();
    auto frame = opened->operations().frame(utf16(shape));
    if (!frame)
        return frame.error();
    return (*frame).*field;
}

SpreadsheetStatus XlsWorksheet::changeShape(const std::function<Status(SheetPictures&)>& change)
{
    auto opened = pictures();
    if (!opened)
        return opened.error();
    auto operations = opened->operations();
    return change(operations);
}

SpreadsheetResult<double> XlsWorksheet::shapeWidth(const std::string& shape)
{
    return shapeFrameValue(shape, &ShapeAnchor::Frame::width);
}
SpreadsheetResult<double> XlsWorksheet::shapeHeight(const std::string& shape)
{
    return shapeFrameValue(shape, &ShapeAnchor::Frame::height);
}
SpreadsheetResult<double> XlsWorksheet::shapeTop(const std::string& shape)
{
    return shapeFrameValue(shape, &ShapeAnchor::Frame::top);
}
SpreadsheetResult<double> XlsWorksheet::shapeLeft(const std::string& shape)
{
    return shapeFrameValue(shape, &ShapeAnchor::Frame::left);
}
SpreadsheetResult<double> XlsWorksheet::shapeRotation(const std::string& shape)
{
    auto opened = pictures();
    if (!opened)
        return opened.error();
    return opened->operations().rotation(utf16(shape));
}
SpreadsheetStatus XlsWorksheet::setShapeWidth(const std::string& shape, double width)
{
    return changeShape([&](SheetPictures& p) { return p.setWidth(utf16(shape), width); });
}
SpreadsheetStatus XlsWorksheet::setShapeHeight(const std::string& shape, double height)
{
    return changeShape([&](SheetPictures& p) { return p.setHeight(utf16(shape), height); });
}
SpreadsheetStatus XlsWorksheet::setShapeTop(const std::string& shape, double top)
{
    return changeShape([&](SheetPictures& p) { return p.setTop(utf16(shape), top); });
}
SpreadsheetStatus XlsWorksheet::setShapeLeft(const std::string& shape, double left)
{
    return changeShape([&](SheetPictures& p) { return p.setLeft(utf16(shape), left); });
}
SpreadsheetStatus XlsWorksheet::setShapeRotation(const std::string& shape, double degrees)
{
    return changeShape([&](SheetPictures& p) { return p.setRotation(utf16(shape), degrees); });
}
SpreadsheetStatus XlsWorksheet::incrementShapeLeft(const std::string& shape, double points)
{
    return changeShape([&](SheetPictures& p) { return p.moveBy(utf16(shape), points, 0); });
}
SpreadsheetStatus XlsWorksheet::incrementShapeTop(const std::string& shape, double points)
{
    return changeShape([&](SheetPictures& p) { return p.moveBy(utf16(shape), 0, points); });
}

} // namespace tavorin::xls
