#include "platform/xls/model/CellEditor.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/model/CellFormats.h"
#include "platform/xls/records/RecordWriter.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <bit>
#include <cmath>

namespace tavorin::xls {
namespace {

constexpr std::uint16_t rowFormatValid = 0x0080;
constexpr std::uint16_t shortDateFormat = 14;

Error cellError(const std::string& message) { return Error{message, "cells", {}, {}}; }

} // namespace

Status CellEditor::prepare(std::uint32_t row, std::uint32_t column)
{
    if (row >= rowCount || column >= columnCount)
        return cellError("the cell lies outside the sheet (rows 1-65536, columns 1-256)");
    if (!sheet_.structured)
        return cellError("the sheet holds no cells");
    return model_.load(sheet_);
}

std::pair<std::uint16_t, std::uint16_t> CellEditor::mergeAreaOrigin(std::uint16_t row, std::uint16_t column) const
{
    for (const CellArea& area : sheet_.mergedAreas)
        if (area.contains(row, column))
            return {area.firstRow, area.firstColumn};
    return {row, column};
}

std::uint16_t CellEditor::formatIndexOf(std::uint16_t row, std::uint16_t column) const
{
    if (auto own = sheet_.cells.formatIndexAt(row, column, model_.store))
        return *own;
    if (const auto* entry = sheet_.cells.findRow(row); entry && entry->rowRecord) {
        auto bytes = model_.store.bytes(*entry->rowRecord);
        if (ByteReader::u16At(bytes, 12) & rowFormatValid)
            return ByteReader::u16At(bytes, 14) & 0x0FFF;
    }
    for (const ColumnInfo& info : sheet_.columns)
        if (info.firstColumn <= column && column <= info.lastColumn)
            return info.formatIndex;
    return CellFormats::defaultCellFormat;
}

Status CellEditor::putValue(std::uint32_t row, std::uint32_t column, std::uint16_t type,
                            std::vector<std::uint8_t> value, bool dateValue)
{
    if (auto status = prepare(row, column); !status)
        return status;
    auto [targetRow, targetColumn] = mergeAreaOrigin(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(column));
    std::uint16_t xf = formatIndexOf(targetRow, targetColumn);
    if (dateValue && CellFormats::numberFormatOf(model_, xf) == 0) {
        auto dated = CellFormats::withNumberFormat(model_, xf, shortDateFormat);
        if (!dated)
            return dated.error();
        xf = *dated;
    }
    std::vector<std::uint8_t> data;
    putU16(data, targetRow);
    putU16(data, targetColumn);
    putU16(data, xf);
    data.insert(data.end(), value.begin(), value.end());
    StoredRecord record = model_.store.addRecord(type, std::move(data));
    sheet_.cells.setCell(targetRow, targetColumn, record, model_.store, model_.store);
    return success();
}

Status CellEditor::setNumber(std::uint32_t row, std::uint32_t column, double value)
{
    if (!std::isfinite(value))
        return cellError("a cell cannot hold an infinite or undefined number");
    std::vector<std::uint8_t> bytes;
    auto bits = std::bit_cast<std::uint64_t>(value);
    putU32(bytes, static_cast<std::uint32_t>(bits));
    putU32(bytes, static_cast<std::uint32_t>(bits >> 32));
    return putValue(row, column, RecordType::Number, std::move(bytes), false);
}

Status CellEditor::setDate(std::uint32_t row, std::uint32_t column, double serial)
{
    if (!std::isfinite(serial) || serial < 0)
        return cellError("a date serial number cannot be negative");
    std::vector<std::uint8_t> bytes;
    auto bits = std::bit_cast<std::uint64_t>(serial);
    putU32(bytes, static_cast<std::uint32_t>(bits));
    putU32(bytes, static_cast<std::uint32_t>(bits >> 32));
    return putValue(row, column, RecordType::Number, std::move(bytes), true);
}

Status CellEditor::setText(std::uint32_t row, std::uint32_t column, const std::u16string& text)
{
    if (text.size() > maximumTextLength)
        return cellError("a cell holds at most 32767 characters");
    if (auto status = prepare(row, column); !status)
        return status;
    if (!model_.sharedStrings) {
        model_.sharedStrings.emplace();
        model_.ensureGlobalsItem(WorkbookModel::Kind::SharedStrings);
    }
    auto index = model_.sharedStrings->add(text);
    if (!index)
        return index.error();
    model_.sharedStrings->addReferences(1);
    std::vector<std::uint8_t> bytes;
    putU32(bytes, *index);
    return putValue(row, column, RecordType::LabelSst, std::move(bytes), false);
}

Status CellEditor::setNumberFormat(std::uint32_t row, std::uint32_t column, const std::u16string& format)
{
    if (auto status = prepare(row, column); !status)
        return status;
    auto [r, c] = mergeAreaOrigin(static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(column));
    auto ifmt = CellFormats::numberFormatIndex(model_, format);
    if (!ifmt)
        return ifmt.error();
    std::uint16_t current = formatIndexOf(r, c);
    auto xf = CellFormats::withNumberFormat(model_, current, *ifmt);
    if (!xf)
        return xf.error();
    if (sheet_.cells.setFormatIndex(r, c, *xf, model_.store, model_.store))
        return success();
    // An empty cell keeps its new format in a BLANK record.
    std::vector<std::uint8_t> blank;
    putU16(blank, r);
    putU16(blank, c);
    putU16(blank, *xf);
    sheet_.cells.setCell(r, c, model_.store.addRecord(RecordType::Blank, std::move(blank)), model_.store, model_.store);
    return success();
}

} // namespace tavorin::xls
