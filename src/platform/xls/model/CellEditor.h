#pragma once

#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookModel.h"

#include <cstdint>
#include <string>

namespace tavorin::xls {

// Writes values and number formats into the cells of one worksheet. Rows and columns are
// 0-based here. A value or a number format goes to the top-left cell of the merged area holding
// the address (the cell itself when none does), the cell that shows it; a value keeps that
// cell's format.
class CellEditor {
public:
    static constexpr std::uint32_t rowCount = 65536;
    static constexpr std::uint32_t columnCount = 256;
    static constexpr std::size_t maximumTextLength = 32767;

    CellEditor(WorkbookModel& model, SheetModel& sheet) : model_(model), sheet_(sheet) {}

    Status setNumber(std::uint32_t row, std::uint32_t column, double value);
    Status setText(std::uint32_t row, std::uint32_t column, const std::u16string& text);
    // A date serial number; a cell still in the General format gets the short date format (14)
    // as Excel gives it when a date is entered.
    Status setDate(std::uint32_t row, std::uint32_t column, double serial);
    Status setNumberFormat(std::uint32_t row, std::uint32_t column, const std::u16string& format);

    // The XF index a cell shows: its own, else its row's, else its column's, else the default.
    std::uint16_t formatIndexOf(std::uint16_t row, std::uint16_t column) const;
    // The top-left cell of the merged area holding (row, column), or the cell itself.
    std::pair<std::uint16_t, std::uint16_t> mergeAreaOrigin(std::uint16_t row, std::uint16_t column) const;

private:
    // Checks the address and reads the sheet's records if nobody has yet.
    Status prepare(std::uint32_t row, std::uint32_t column);
    Status putValue(std::uint32_t row, std::uint32_t column, std::uint16_t type, std::vector<std::uint8_t> value,
                    bool dateValue);

    WorkbookModel& model_;
    SheetModel& sheet_;
};

} // namespace tavorin::xls
