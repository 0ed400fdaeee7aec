#pragma once

#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/geometry/SheetGeometry.h"
#include "platform/xls/model/SheetGeometryCache.h"
#include "platform/xls/model/SheetModel.h"
#include "platform/xls/drawing/SheetPictures.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace tavorin::xls {

class XlsWorkbook;
class WorkbookDocument;

// One sheet of an open XlsWorkbook. It stays valid while sheets are inserted before it.
class XlsWorksheet final : public SpreadsheetWorksheet {
public:
    XlsWorksheet(std::weak_ptr<XlsWorkbook> workbook, std::shared_ptr<SheetModel> sheet, FitFor fitFor);

    SpreadsheetResult<std::string> name() override;
    SpreadsheetStatus setName(const std::string& newName) override;
    SpreadsheetStatus select() override;
    SpreadsheetStatus copyAfter(SpreadsheetWorksheet& anchor) override;

    SpreadsheetResult<double> columnWidth(CellAddress cell) override;
    SpreadsheetStatus setColumnWidth(CellAddress cell, double width) override;
    SpreadsheetStatus setMergeAreaValue(CellAddress cell, const CellValue& value) override;
    SpreadsheetStatus setMergeAreaNumberFormatLocal(CellAddress cell, const std::string& format) override;

    SpreadsheetStatus selectRange(CellRange range) override;
    SpreadsheetResult<double> rangeWidth(CellRange range) override;
    SpreadsheetResult<double> rangeHeight(CellRange range) override;
    SpreadsheetResult<double> rangeTop(CellRange range) override;
    SpreadsheetResult<double> rangeLeft(CellRange range) override;

    SpreadsheetResult<std::string> insertPicture(const std::filesystem::path& path) override;
    SpreadsheetResult<double> shapeWidth(const std::string& shape) override;
    SpreadsheetResult<double> shapeHeight(const std::string& shape) override;
    SpreadsheetResult<double> shapeTop(const std::string& shape) override;
    SpreadsheetResult<double> shapeLeft(const std::string& shape) override;
    SpreadsheetResult<double> shapeRotation(const std::string& shape) override;
    SpreadsheetStatus setShapeWidth(const std::string& shape, double width) override;
    SpreadsheetStatus setShapeHeight(const std::string& shape, double height) override;
    SpreadsheetStatus setShapeTop(const std::string& shape, double top) override;
    SpreadsheetStatus setShapeLeft(const std::string& shape, double left) override;
    SpreadsheetStatus setShapeRotation(const std::string& shape, double degrees) override;
    SpreadsheetStatus incrementShapeLeft(const std::string& shape, double points) override;
    SpreadsheetStatus incrementShapeTop(const std::string& shape, double points) override;

    const std::shared_ptr<SheetModel>& model() const { return sheet_; }
    // The cell that Range.Select made the insertion point (1-based), if any.
    std::optional<CellAddress> insertionPoint() const { return insertionPoint_; }

private:
    struct Open {
        std::shared_ptr<XlsWorkbook> workbook;
        WorkbookDocument* document;
    };
    Result<Open> open();
    Result<Open> openWorksheet();
    // The worksheet opened for work on these cells, each of which must lie on the sheet.
    Result<Open> openWorksheetAt(std::initializer_list<CellAddress> cells);
    Result<std::array<double, 4>> box(CellRange range);
    // The picture operations of this sheet: the workbook's drawing group, the sheet's drawing
    // (read or made on first use) and its geometry now.
    struct Pictures {
        DrawingGroup* group;
        SheetDrawing* drawing;
        const SheetGeometry* geometry;
        SheetPictures operations() { return SheetPictures(*group, *drawing, *geometry); }
    };
    Result<Pictures> pictures();
    Result<double> shapeFrameValue(const std::string& shape, double ShapeAnchor::Frame::*field);
    SpreadsheetStatus changeShape(const std::function<Status(SheetPictures&)>& change);

    std::weak_ptr<XlsWorkbook> workbook_;
    std::shared_ptr<SheetModel> sheet_;
    std::optional<CellAddress> insertionPoint_;
    SheetGeometryCache geometry_;          // Excel's: column widths as stored
    SheetGeometryCache placementGeometry_; // where ranges and pictures are measured
};

} // namespace tavorin::xls
