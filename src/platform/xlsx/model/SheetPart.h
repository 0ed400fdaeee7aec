#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/geometry/XlsxSheetGeometry.h"
#include "platform/xlsx/model/CellReference.h"

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tavorin::xlsx {

// A worksheet part: its cells, columns, rows and merged areas, and its drawing. Cells are kept as
// the DOM holds them; an edited sheet is written back whole. Rows and columns are 1-based.
class SheetPart {
public:
    // Text is written as an inline string, so the shared string table stays as it was read.
    using Value = std::variant<std::string, double>;

    static constexpr std::size_t maximumTextLength = 32767;

    static Result<std::unique_ptr<SheetPart>> parse(std::string_view bytes, const std::string& part);

    XlsxSheetGeometry::Layout layout(int maximumDigitWidth) const;
    const std::vector<CellArea>& mergedAreas() const { return merged_; }
    // The top-left cell of the merged area holding the cell, or the cell itself.
    CellReference mergeAreaOrigin(CellReference cell) const;

    // The cell format a cell shows: its own, else its row's, else its column's, else 0.
    int cellFormatOf(CellReference cell);
    // A value into the cell, keeping its format (s); `cellFormat` replaces the format when given.
    // Returns whether a formula was replaced.
    Result<bool> setValue(CellReference cell, const Value& value, std::optional<int> cellFormat = {});
    void setCellFormat(CellReference cell, int cellFormat);
    // ColumnWidth := characters (padding excluded) for one column.
    void setColumnWidth(int column, double characters, int maximumDigitWidth);

    // The relationship id of the sheet's drawing, empty when it has none.
    std::string drawingRelationship() const;
    void setDrawingRelationship(const std::string& id);
    // A copy is not selected: only the sheet the workbook opens on carries tabSelected.
    void unselect();

    std::string serialize() const;

private:
    pugi::xml_node root() const { return document_->document_element(); }
    pugi::xml_node sheetData();
    // The element for the cell, made (in row and column order) when asked to.
    pugi::xml_node cellNode(CellReference cell, bool create);
    pugi::xml_node rowNode(int row, bool create);
    void indexRows();
    void extendDimension(CellReference cell);
    // A new child of the worksheet in its place in the schema's order.
    pugi::xml_node insertSection(const char* local);

    std::shared_ptr<pugi::xml_document> document_;
    std::vector<CellArea> merged_;
    std::map<int, pugi::xml_node> rows_;
    bool rowsIndexed_ = false;
};

} // namespace tavorin::xlsx
