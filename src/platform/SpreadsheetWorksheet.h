#pragma once

#include "platform/CellAddress.h"
#include "platform/CellValue.h"
#include "platform/SpreadsheetResult.h"

#include <filesystem>
#include <string>

namespace tavorin {

// One worksheet of an open workbook, with the operations the insertion run performs on it.
// Geometry is in points (1/72 inch), column widths in the spreadsheet's character units,
// rotation in degrees clockwise; rows and columns are 1-based.
class SpreadsheetWorksheet {
public:
    virtual ~SpreadsheetWorksheet() = default;

    // --- the sheet itself ---
    // Name: the sheet's tab name.
    virtual SpreadsheetResult<std::string> name() = 0;
    // Name := newName; fails (keeping the old name) when it is invalid or used by another sheet.
    virtual SpreadsheetStatus setName(const std::string& newName) = 0;
    // Select: makes this sheet the active sheet.
    virtual SpreadsheetStatus select() = 0;
    // Copy After:=anchor: inserts a copy of this sheet right after anchor; the copy becomes active.
    virtual SpreadsheetStatus copyAfter(SpreadsheetWorksheet& anchor) = 0;

    // --- cells ---
    // Cells(cell).ColumnWidth read: the width of the cell's column in character units.
    virtual SpreadsheetResult<double> columnWidth(CellAddress cell) = 0;
    // Cells(cell).ColumnWidth := width (character units) for the cell's column.
    virtual SpreadsheetStatus setColumnWidth(CellAddress cell, double width) = 0;
    // Cells(cell).MergeArea.Value := value: into the merged area holding the cell, or the cell.
    virtual SpreadsheetStatus setMergeAreaValue(CellAddress cell, const CellValue& value) = 0;
    // Cells(cell).MergeArea.NumberFormatLocal := format, a number format string in local-language
    // syntax: for the merged area holding the cell (its first cell, which shows the value), or the cell.
    virtual SpreadsheetStatus setMergeAreaNumberFormatLocal(CellAddress cell, const std::string& format) = 0;

    // --- ranges ---
    // Range(first, last).Select: the range's top-left cell becomes the insertion point.
    virtual SpreadsheetStatus selectRange(CellRange range) = 0;
    // Range(first, last).Width in points.
    virtual SpreadsheetResult<double> rangeWidth(CellRange range) = 0;
    // Range(first, last).Height in points.
    virtual SpreadsheetResult<double> rangeHeight(CellRange range) = 0;
    // Range(first, last).Top: points from the top of row 1.
    virtual SpreadsheetResult<double> rangeTop(CellRange range) = 0;
    // Range(first, last).Left: points from the left of column 1.
    virtual SpreadsheetResult<double> rangeLeft(CellRange range) = 0;

    // --- pictures and shapes ---
    // Pictures.Insert(path).Name: the picture at natural size at the insertion point; its name.
    virtual SpreadsheetResult<std::string> insertPicture(const std::filesystem::path& path) = 0;
    // Shapes(name).Width in points (the unrotated frame).
    virtual SpreadsheetResult<double> shapeWidth(const std::string& shape) = 0;
    // Shapes(name).Height in points (the unrotated frame).
    virtual SpreadsheetResult<double> shapeHeight(const std::string& shape) = 0;
    // Shapes(name).Top in points (the unrotated frame).
    virtual SpreadsheetResult<double> shapeTop(const std::string& shape) = 0;
    // Shapes(name).Left in points (the unrotated frame).
    virtual SpreadsheetResult<double> shapeLeft(const std::string& shape) = 0;
    // Shapes(name).Rotation in degrees clockwise: what a picture got from Insert (a photo turned
    // by its orientation) or was given since. A sheet that cannot tell fails.
    virtual SpreadsheetResult<double> shapeRotation(const std::string& shape)
    {
        return operationError("the rotation of \"" + shape + "\" cannot be read here");
    }
    // Shapes(name).Width := points; the height follows, keeping the aspect ratio, top-left fixed.
    virtual SpreadsheetStatus setShapeWidth(const std::string& shape, double width) = 0;
    // Shapes(name).Height := points; the width follows, keeping the aspect ratio, top-left fixed.
    virtual SpreadsheetStatus setShapeHeight(const std::string& shape, double height) = 0;
    // Shapes(name).Top := points.
    virtual SpreadsheetStatus setShapeTop(const std::string& shape, double top) = 0;
    // Shapes(name).Left := points.
    virtual SpreadsheetStatus setShapeLeft(const std::string& shape, double left) = 0;
    // Shapes(name).Rotation := degrees clockwise about the centre; the frame stays as it was.
    virtual SpreadsheetStatus setShapeRotation(const std::string& shape, double degrees) = 0;
    // Shapes(name).IncrementLeft points: moves the shape right by that many points.
    virtual SpreadsheetStatus incrementShapeLeft(const std::string& shape, double points) = 0;
    // Shapes(name).IncrementTop points: moves the shape down by that many points.
    virtual SpreadsheetStatus incrementShapeTop(const std::string& shape, double points) = 0;
};

} // namespace tavorin
