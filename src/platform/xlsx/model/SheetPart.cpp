#include "platform/xlsx/model/SheetPart.h"

#include "platform/xls/geometry/ColumnWidthUnits.h"
#include "platform/xlsx/package/XmlPart.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tavorin::xlsx {
namespace {

bool isTrue(pugi::xml_attribute attribute)
{
    std::string_view text(attribute.value());
    return text == "1" || text == "true";
}

std::optional<double> number(pugi::xml_attribute attribute)
{
    if (!attribute)
        return std::nullopt;
    char* end = nullptr;
    double value = std::strtod(attribute.value(), &end);
    if (end == attribute.value() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> integer(pugi::xml_attribute attribute)
{
    auto value = number(attribute);
    if (!value || *value < 0 || *value > 1e9)
        return std::nullopt;
    return static_cast<int>(*value);
}

// The worksheet's children in the schema's order (CT_Worksheet).
constexpr const char* worksheetOrder[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection",
    "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells",
    "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins",
    "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors",
    "smartTags", "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst"};

std::string numberText(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Characters XML 1.0 cannot carry are written as Excel escapes them: _xHHHH_.
std::string xmlSafe(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            static const char* digits = "0123456789ABCDEF";
            out += "_x00";
            out.push_back(digits[byte >> 4]);
            out.push_back(digits[byte & 15]);
            out.push_back('_');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

Result<std::unique_ptr<SheetPart>> SheetPart::parse(std::string_view bytes, const std::string& part)
{
    auto document = XmlPart::parse(bytes, part);
    if (!document)
        return document.error();
    if (XmlPart::localName((*document)->document_element().name()) != "worksheet")
        return packageError("the part is no worksheet", part);
    auto sheet = std::make_unique<SheetPart>();
    sheet->document_ = std::move(*document);
    for (pugi::xml_node area : XmlPart::child(sheet->root(), "mergeCells").children())
        if (auto parsed = CellArea::parse(area.attribute("ref").value()))
            sheet->merged_.push_back(*parsed);
    return sheet;
}

XlsxSheetGeometry::Layout SheetPart::layout(int maximumDigitWidth) const
{
    XlsxSheetGeometry::Layout layout;
    layout.maximumDigitWidth = maximumDigitWidth;
    pugi::xml_node format = XmlPart::child(root(), "sheetFormatPr");
    layout.defaultColumnWidth = number(format.attribute("defaultColWidth"));
    if (auto base = integer(format.attribute("baseColWidth")); base && *base <= 255)
        layout.baseColumnWidth = *base;
    if (auto height = number(format.attribute("defaultRowHeight")); height && *height > 0)
        layout.defaultRowHeightPoints = *height;
    layout.defaultRowsHidden = isTrue(format.attribute("zeroHeight"));
    for (pugi::xml_node column : XmlPart::child(root(), "cols").children()) {
        auto first = integer(column.attribute("min")), last = integer(column.attribute("max"));
        if (!first || !last || *first < 1 || *last < *first)
            continue;
        layout.columns.push_back({*first - 1, *last - 1, number(column.attribute("width")), isTrue(column.attribute("hidden"))});
    }
    int implied = 0;
    for (pugi::xml_node row : XmlPart::child(root(), "sheetData").children()) {
        if (row.type() != pugi::node_element)
            continue;
        int r = integer(row.attribute("r")).value_or(implied + 1);
        implied = r;
        auto height = number(row.attribute("ht"));
        bool hidden = isTrue(row.attribute("hidden"));
        if (height || hidden)
            layout.rows.push_back({r - 1, height, hidden});
    }
    return layout;
}

CellReference SheetPart::mergeAreaOrigin(CellReference cell) const
{
    for (const CellArea& area : merged_)
        if (area.contains(cell.row, cell.column))
            return area.first;
    return cell;
}

pugi::xml_node SheetPart::sheetData()
{
    if (pugi::xml_node data = XmlPart::child(root(), "sheetData"))
        return data;
    return insertSection("sheetData");
}

pugi::xml_node SheetPart::insertSection(const char* local)
{
    const auto* position = std::find_if(std::begin(worksheetOrder), std::end(worksheetOrder),
                                        [&](const char* name) { return std::string_view(name) == local; });
    const std::string name = XmlPart::sameNamespace(root(), local);
    for (const auto* later = position + 1; later != std::end(worksheetOrder); ++later)
        if (pugi::xml_node next = XmlPart::child(root(), *later))
            return root().insert_child_before(name.c_str(), next);
    return root().append_child(name.c_str());
}

// Rows are found through an index made once; a row without its number (it is optional) gets
// the number it stands for written out, so that later edits find it.
void SheetPart::indexRows()
{
    if (rowsIndexed_)
        return;
    rowsIndexed_ = true;
    int implied = 0;
    for (pugi::xml_node row : sheetData().children()) {
        if (row.type() != pugi::node_element || XmlPart::localName(row.name()) != "row")
            continue;
        auto r = integer(row.attribute("r"));
        if (!r) {
            r = implied + 1;
            if (!row.attribute("r"))
                row.prepend_attribute("r");
            row.attribute("r").set_value(*r);
        }
        implied = *r;
        rows_[*r] = row;
        int column = 0;
        for (pugi::xml_node cell : row.children()) {
            if (cell.type() != pugi::node_element || XmlPart::localName(cell.name()) != "c")
                continue;
            auto reference = CellReference::parse(cell.attribute("r").value());
            column = reference ? reference->column : column + 1;
            if (!reference) {
                if (!cell.attribute("r"))
                    cell.prepend_attribute("r");
                cell.attribute("r").set_value(CellReference{*r, column}.text().c_str());
            }
        }
    }
}

pugi::xml_node SheetPart::rowNode(int row, bool create)
{
    indexRows();
    if (auto found = rows_.find(row); found != rows_.end())
        return found->second;
    if (!create)
        return {};
    pugi::xml_node data = sheetData();
    const std::string name = XmlPart::sameNamespace(data.first_child() ? data.first_child() : data, "row");
    auto after = rows_.upper_bound(row);
    pugi::xml_node node = after == rows_.end() ? data.append_child(name.c_str())
                                               : data.insert_child_before(name.c_str(), after->second);
    node.append_attribute("r") = row;
    rows_[row] = node;
    return node;
}

pugi::xml_node SheetPart::cellNode(CellReference cell, bool create)
{
    pugi::xml_node row = rowNode(cell.row, create);
    if (!row)
        return {};
    pugi::xml_node before;
    for (pugi::xml_node node : row.children()) {
        if (node.type() != pugi::node_element || XmlPart::localName(node.name()) != "c")
            continue;
        auto reference = CellReference::parse(node.attribute("r").value());
        if (!reference)
            continue;
        if (reference->column == cell.column)
            return node;
        if (reference->column > cell.column) {
            before = node;
            break;
        }
    }
    if (!create)
        return {};
    const std::string name = XmlPart::sameNamespace(row, "c");
    pugi::xml_node node = before ? row.insert_child_before(name.c_str(), before) : row.append_child(name.c_str());
    node.append_attribute("r") = cell.text().c_str();
    // A row that lists the span of its cells must cover the new one.
    if (pugi::xml_attribute spans = row.attribute("spans"))
        row.remove_attribute(spans);
    extendDimension(cell);
    return node;
}

void SheetPart::extendDimension(CellReference cell)
{
    pugi::xml_node dimension = XmlPart::child(root(), "dimension");
    if (!dimension)
        return;
    auto area = CellArea::parse(dimension.attribute("ref").value());
    if (!area)
        return;
    area->first = {std::min(area->first.row, cell.row), std::min(area->first.column, cell.column)};
    area->last = {std::max(area->last.row, cell.row), std::max(area->last.column, cell.column)};
    std::string text = area->first.text() + ":" + area->last.text();
    dimension.attribute("ref").set_value(text.c_str());
}

int SheetPart::cellFormatOf(CellReference cell)
{
    if (pugi::xml_node node = cellNode(cell, false); node && node.attribute("s"))
        return integer(node.attribute("s")).value_or(0);
    if (pugi::xml_node row = rowNode(cell.row, false); row && isTrue(row.attribute("customFormat")))
        return integer(row.attribute("s")).value_or(0);
    for (pugi::xml_node column : XmlPart::child(root(), "cols").children()) {
        auto first = integer(column.attribute("min")), last = integer(column.attribute("max"));
        if (first && last && *first <= cell.column && cell.column <= *last)
            return integer(column.attribute("style")).value_or(0);
    }
    return 0;
}

void SheetPart::setCellFormat(CellReference cell, int cellFormat)
{
    int current = cellFormatOf(cell);
    pugi::xml_node node = cellNode(cell, true);
    if (!node.attribute("s")) {
        if (current == cellFormat && cellFormat == 0)
            return;
        node.append_attribute("s");
    }
    node.attribute("s").set_value(cellFormat);
}

Result<bool> SheetPart::setValue(CellReference cell, const Value& value, std::optional<int> cellFormat)
{
    if (const auto* text = std::get_if<std::string>(&value); text && text->size() > maximumTextLength * 4)
        return operationError("a cell holds at most 32767 characters");
    int format = cellFormat ? *cellFormat : cellFormatOf(cell);
    pugi::xml_node node = cellNode(cell, true);
    const bool hadFormula = static_cast<bool>(XmlPart::child(node, "f"));
    while (node.first_child())
        node.remove_child(node.first_child());
    for (const char* name : {"t", "vm", "cm"})
        if (pugi::xml_attribute attribute = node.attribute(name))
            node.remove_attribute(attribute);
    if (format != 0 || node.attribute("s")) {
        if (!node.attribute("s"))
            node.append_attribute("s");
        node.attribute("s").set_value(format);
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        node.append_attribute("t") = "inlineStr";
        pugi::xml_node t = node.append_child(XmlPart::sameNamespace(node, "is").c_str())
                               .append_child(XmlPart::sameNamespace(node, "t").c_str());
        t.append_attribute("xml:space") = "preserve";
        t.text().set(xmlSafe(*text).c_str());
    } else {
        node.append_child(XmlPart::sameNamespace(node, "v").c_str()).text().set(numberText(std::get<double>(value)).c_str());
    }
    return hadFormula;
}

void SheetPart::setColumnWidth(int column, double characters, int maximumDigitWidth)
{
    const int pixels = xls::column_width::pixelsFromCharacters(characters, maximumDigitWidth);
    const double width = xls::column_width::coldxFromPixels(pixels, maximumDigitWidth) / 256.0;
    pugi::xml_node columns = XmlPart::child(root(), "cols");
    if (!columns)
        columns = insertSection("cols");
    pugi::xml_node target;
    for (pugi::xml_node node : columns.children()) {
        auto first = integer(node.attribute("min")), last = integer(node.attribute("max"));
        if (!first || !last || column < *first || column > *last)
            continue;
        // Split the span so that only this column changes.
        if (*first < column) {
            pugi::xml_node before = columns.insert_copy_before(node, node);
            before.attribute("max").set_value(column - 1);
            node.attribute("min").set_value(column);
        }
        if (*last > column) {
            pugi::xml_node after = columns.insert_copy_after(node, node);
            after.attribute("min").set_value(column + 1);
            node.attribute("max").set_value(column);
        }
        target = node;
        break;
    }
    if (!target) {
        pugi::xml_node before;
        for (pugi::xml_node node : columns.children())
            if (integer(node.attribute("min")).value_or(0) > column) {
                before = node;
                break;
            }
        const std::string name = XmlPart::sameNamespace(columns, "col");
        target = before ? columns.insert_child_before(name.c_str(), before) : columns.append_child(name.c_str());
        target.append_attribute("min") = column;
        target.append_attribute("max") = column;
    }
    for (const char* name : {"width", "customWidth"})
        if (!target.attribute(name))
            target.append_attribute(name);
    target.attribute("width").set_value(numberText(width).c_str());
    target.attribute("customWidth").set_value(1);
    if (pugi::xml_attribute hidden = target.attribute("hidden"); hidden && pixels > 0)
        target.remove_attribute(hidden);
}

std::string SheetPart::drawingRelationship() const
{
    return XmlPart::relationshipAttribute(XmlPart::child(root(), "drawing"), "id").value();
}

void SheetPart::setDrawingRelationship(const std::string& id)
{
    pugi::xml_node drawing = XmlPart::child(root(), "drawing");
    if (!drawing)
        drawing = insertSection("drawing");
    if (pugi::xml_attribute existing = XmlPart::relationshipAttribute(drawing, "id")) {
        existing.set_value(id.c_str());
        return;
    }
    auto prefix = XmlPart::prefixFor(drawing, XmlPart::relationshipsNamespace);
    if (!prefix || prefix->empty()) {
        root().append_attribute("xmlns:r") = std::string(XmlPart::relationshipsNamespace).c_str();
        prefix = "r";
    }
    drawing.append_attribute((*prefix + ":id").c_str()) = id.c_str();
}

void SheetPart::unselect()
{
    for (pugi::xml_node view : XmlPart::child(root(), "sheetViews").children())
        if (pugi::xml_attribute selected = view.attribute("tabSelected"))
            view.remove_attribute(selected);
}

std::string SheetPart::serialize() const { return XmlPart::serialize(*document_); }

} // namespace tavorin::xlsx
