#include "platform/xlsx/XlsxWorksheet.h"

#include "platform/xls/geometry/ColumnWidthUnits.h"
#include "platform/xls/model/DateSerial.h"
#include "platform/xls/XlsSession.h"
#include "platform/xlsx/XlsxWorkbook.h"
#include "platform/xlsx/model/XlsxDocument.h"

#include <algorithm>
#include <cmath>

namespace tavorin::xlsx {
namespace {

constexpr int shortDateFormat = 14;

CellReference referenceOf(CellAddress cell) { return CellReference{cell.row, cell.column}; }

bool positive(double value) { return std::isfinite(value) && value > 0; }

} // namespace

XlsxWorksheet::XlsxWorksheet(std::weak_ptr<XlsxWorkbook> workbook, std::shared_ptr<XlsxSheet> sheet)
    : workbook_(std::move(workbook)), sheet_(std::move(sheet))
{
}

Result<XlsxWorksheet::Open> XlsxWorksheet::open()
{
    auto workbook = workbook_.lock();
    if (!workbook)
        return operationError("the workbook is closed");
    auto document = workbook->document();
    if (!document)
        return document.error();
    if (!(*document)->positionOf(*sheet_))
        return operationError("the sheet is not in the workbook");
    return Open{workbook, *document};
}

Result<XlsxWorksheet::Open> XlsxWorksheet::openWorksheet()
{
    auto opened = open();
    if (!opened)
        return opened;
    // A sheet's part is read the first time someone works on it.
    if (auto loaded = opened->document->load(*sheet_); !loaded)
        return loaded.error();
    return opened;
}

Result<XlsxWorksheet::Open> XlsxWorksheet::openWorksheetAt(std::initializer_list<CellAddress> cells)
{
    for (CellAddress cell : cells)
        if (auto reason = cellOutsideSheet(cell, CellReference::maximumRow, CellReference::maximumColumn))
            return operationError(*reason);
    return openWorksheet();
}

SpreadsheetResult<std::string> XlsxWorksheet::name()
{
    if (auto opened = open(); !opened)
        return opened.error();
    return sheet_->name;
}

SpreadsheetStatus XlsxWorksheet::setName(const std::string& newName)
{
    auto opened = open();
    if (!opened)
        return opened.error();
    return opened->document->rename(*sheet_, newName);
}

SpreadsheetStatus XlsxWorksheet::select()
{
    auto opened = open();
    if (!opened)
        return opened.error();
    opened->workbook->activate(sheet_);
    return success();
}

SpreadsheetStatus XlsxWorksheet::copyAfter(SpreadsheetWorksheet& anchor)
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    auto* anchorSheet = dynamic_cast<XlsxWorksheet*>(&anchor);
    if (!anchorSheet)
        return operationError("the anchor sheet belongs to another workbook");
    auto anchorPosition = opened->document->positionOf(*anchorSheet->model());
    auto sourcePosition = opened->document->positionOf(*sheet_);
    if (!anchorPosition || !sourcePosition)
        return operationError("the sheet is not in the workbook");
    auto copied = opened->document->copySheet(*sourcePosition, *anchorPosition);
    if (!copied)
        return copied.error();
    opened->workbook->activate(opened->document->sheets()[*copied]);
    return success();
}

SpreadsheetResult<double> XlsxWorksheet::columnWidth(CellAddress cell)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    return sheet_->geometry->columnCharacters(cell.column - 1);
}

SpreadsheetStatus XlsxWorksheet::setColumnWidth(CellAddress cell, double width)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    if (!std::isfinite(width) || width < 0 || width > 255)
        return operationError("a column width must be from 0 to 255 characters");
    const int mdw = opened->document->maximumDigitWidth();
    // Writing back the width a column has is no change: the template's own record stays.
    if (xls::column_width::pixelsFromCharacters(width, mdw) == sheet_->geometry->columnPixels(cell.column - 1))
        return success();
    sheet_->content->setColumnWidth(cell.column, width, mdw);
    opened->document->measure(*sheet_);
    sheet_->contentChanged = true;
    return success();
}

SpreadsheetStatus XlsxWorksheet::setMergeAreaValue(CellAddress cell, const CellValue& value)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    XlsxDocument& document = *opened->document;
    SheetPart& content = *sheet_->content;
    const CellReference target = content.mergeAreaOrigin(referenceOf(cell));
    SheetPart::Value written;
    std::optional<int> format;
    if (const auto* text = std::get_if<std::string>(&value)) {
        written = *text;
    } else if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number))
            return operationError("a cell cannot hold an infinite or undefined number");
        written = *number;
    } else {
        const auto& date = std::get<CalendarDateTime>(value);
        auto serial = xls::dateSerial(date.year, date.month, date.day, date.hour, date.minute, date.second,
                                      date.millisecond, document.date1904() ? xls::DateSystem::Date1904 : xls::DateSystem::Date1900);
        if (!serial)
            return serial.error();
        written = *serial;
        // A date entered into a General cell shows as a short date, as in Excel.
        auto styles = document.styles();
        if (!styles)
            return styles.error();
        const int current = content.cellFormatOf(target);
        if ((*styles)->numberFormatOf(current) == 0) {
            auto dated = (*styles)->withNumberFormat(current, shortDateFormat);
            if (!dated)
                return dated.error();
            format = *dated;
        }
    }
    auto replaced = content.setValue(target, written, format);
    if (!replaced)
        return replaced.error();
    if (*replaced)
        document.dropCalculationChain();
    sheet_->contentChanged = true;
    return success();
}

SpreadsheetStatus XlsxWorksheet::setMergeAreaNumberFormatLocal(CellAddress cell, const std::string& format)
{
    auto opened = openWorksheetAt({cell});
    if (!opened)
        return opened.error();
    auto styles = opened->document->styles();
    if (!styles)
        return styles.error();
    auto id = (*styles)->numberFormatId(format);
    if (!id)
        return id.error();
    // The merged area's first cell shows the value, so it is the one that takes the format.
    const CellReference reference = sheet_->content->mergeAreaOrigin(referenceOf(cell));
    auto xf = (*styles)->withNumberFormat(sheet_->content->cellFormatOf(reference), *id);
    if (!xf)
        return xf.error();
    sheet_->content->setCellFormat(reference, *xf);
    sheet_->contentChanged = true;
    return success();
}

Result<XlsxSheetGeometry::Box> XlsxWorksheet::box(CellRange range)
{
    auto opened = openWorksheetAt({range.first, range.last});
    if (!opened)
        return opened.error();
    return sheet_->placementGeometry().rangeBox(range.first.row - 1, range.first.column - 1, range.last.row - 1,
                                      range.last.column - 1);
}

SpreadsheetStatus XlsxWorksheet::selectRange(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    insertionPoint_ = CellAddress{std::min(range.first.row, range.last.row), std::min(range.first.column, range.last.column)};
    return success();
}

SpreadsheetResult<double> XlsxWorksheet::rangeWidth(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return measured->width;
}

SpreadsheetResult<double> XlsxWorksheet::rangeHeight(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return measured->height;
}

SpreadsheetResult<double> XlsxWorksheet::rangeTop(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return measured->top;
}

SpreadsheetResult<double> XlsxWorksheet::rangeLeft(CellRange range)
{
    auto measured = box(range);
    if (!measured)
        return measured.error();
    return measured->left;
}

SpreadsheetResult<std::string> XlsxWorksheet::insertPicture(const std::filesystem::path& path)
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    CellAddress at = insertionPoint_.value_or(CellAddress{1, 1});
    xls::PictureFile::Options options{opened->workbook->session().photoOrientation};
    return SheetPictures(*opened->document, *sheet_).insert(path, at.row, at.column, options);
}

Result<double> XlsxWorksheet::frameValue(const std::string& shape, double SheetPictures::Frame::*field)
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    auto frame = SheetPictures(*opened->document, *sheet_).frame(shape);
    if (!frame)
        return frame.error();
    return (*frame).*field;
}

SpreadsheetStatus XlsxWorksheet::changeFrame(const std::string& shape,
                                              const std::function<Status(SheetPictures::Frame&)>& change)
{
    auto opened = openWorksheet();
    if (!opened)
        return opened.error();
    SheetPictures pictures(*opened->document, *sheet_);
    auto frame = pictures.frame(shape);
    if (!frame)
        return frame.error();
    SheetPictures::Frame changed = *frame;
    if (auto status = change(changed); !status)
        return status;
    return pictures.setFrame(shape, changed);
}

SpreadsheetResult<double> XlsxWorksheet::shapeWidth(const std::string& shape)
{
    return frameValue(shape, &SheetPictures::Frame::width);
}
SpreadsheetResult<double> XlsxWorksheet::shapeRotation(const std::string& shape)
{
    return frameValue(shape, &SheetPictures::Frame::rotation);
}
SpreadsheetResult<double> XlsxWorksheet::shapeHeight(const std::string& shape)
{
    return frameValue(shape, &SheetPictures::Frame::height);
}
SpreadsheetResult<double> XlsxWorksheet::shapeTop(const std::string& shape)
{
    return frameValue(shape, &SheetPictures::Frame::top);
}
SpreadsheetResult<double> XlsxWorksheet::shapeLeft(const std::string& shape)
{
    return frameValue(shape, &SheetPictures::Frame::left);
}

SpreadsheetStatus XlsxWorksheet::setShapeWidth(const std::string& shape, double width)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        if (!positive(width))
            return operationError("a picture's width must be positive");
        f.height = width * f.height / f.width;
        f.width = width;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::setShapeHeight(const std::string& shape, double height)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        if (!positive(height))
            return operationError("a picture's height must be positive");
        f.width = height * f.width / f.height;
        f.height = height;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::setShapeTop(const std::string& shape, double top)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        f.top = top;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::setShapeLeft(const std::string& shape, double left)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        f.left = left;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::setShapeRotation(const std::string& shape, double degrees)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        if (!std::isfinite(degrees))
            return operationError("a rotation must be a number of degrees");
        f.rotation = degrees;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::incrementShapeLeft(const std::string& shape, double points)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        f.left += points;
        return success();
    });
}

SpreadsheetStatus XlsxWorksheet::incrementShapeTop(const std::string& shape, double points)
{
    return changeFrame(shape, [&](SheetPictures::Frame& f) -> Status {
        f.top += points;
        return success();
    });
}

} // namespace tavorin::xlsx
