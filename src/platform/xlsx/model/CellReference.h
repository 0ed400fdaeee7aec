#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavorin::xlsx {

// A1 references of cells, 1-based as the spreadsheet counts them.
struct CellReference {
    static constexpr int maximumRow = 1048576;
    static constexpr int maximumColumn = 16384;

    int row = 1;
    int column = 1;

    // "B12" -> {12, 2}; "$B$12" too. Nothing for text that is no cell of the sheet.
    static std::optional<CellReference> parse(std::string_view text);
    static std::string columnName(int column);
    std::string text() const { return columnName(column) + std::to_string(row); }
};

// A rectangle of cells ("A1:C3", or one cell).
struct CellArea {
    CellReference first, last;
    static std::optional<CellArea> parse(std::string_view text);
    bool contains(int row, int column) const
    {
        return first.row <= row && row <= last.row && first.column <= column && column <= last.column;
    }
};

} // namespace tavorin::xlsx
