#pragma once

#include "platform/SpreadsheetWorksheet.h"
#include "platform/xlsx/model/SheetPictures.h"
#include "platform/xlsx/model/XlsxSheet.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace tavorin::xlsx {

class XlsxWorkbook;
class XlsxDocument;

// One sheet of an open XlsxWorkbook. It stays valid while sheets are inserted before it.
class XlsxWorksheet final : public SpreadsheetWorksheet {
public:
    XlsxWorksheet(std::weak_ptr<XlsxWorkbook> workbook, std::shared_ptr<XlsxSheet> sheet);

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

    const std::shared_ptr<XlsxSheet>& model() const { return sheet_; }

private:
    struct Open {
        std::shared_ptr<XlsxWorkbook> workbook;
        XlsxDocument* document;
    };
    Result<Open> open();
    Result<Open> openWorksheet();
    // The worksheet opened for work on these cells, each of which must lie on the sheet.
    Result<Open> openWorksheetAt(std::initializer_list<CellAddress> cells);
    Result<XlsxSheetGeometry::Box> box(CellRange range);
    Result<double> frameValue(const std::string& shape, double SheetPictures::Frame::*field);
    SpreadsheetStatus changeFrame(const std::string& shape, const std::function<Status(SheetPictures::Frame&)>& change);

    std::weak_ptr<XlsxWorkbook> workbook_;
    std::shared_ptr<XlsxSheet> sheet_;
    std::optional<CellAddress> insertionPoint_;
};

} // namespace tavorin::xlsx
