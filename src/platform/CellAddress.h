#pragma once

#include <optional>
#include <string>

namespace tavorin {

// One cell of a worksheet, 1-based like the spreadsheet's own Cells(row, column). Values outside
// the sheet (row 1..65536, column 1..256 in an .xls file) are representable so that the run can
// pass what it computed and let the operation fail.
struct CellAddress {
    int row = 1;
    int column = 1;

    friend bool operator==(const CellAddress&, const CellAddress&) = default;
};

// The rectangle between two cells, as Range(Cells(a), Cells(b)) builds it: either corner may
// come first; the range covers both.
struct CellRange {
    CellAddress first;
    CellAddress last;

    friend bool operator==(const CellRange&, const CellRange&) = default;
};

// Why a cell does not lie on a sheet of `rows` rows and `columns` columns; nothing when it does.
inline std::optional<std::string> cellOutsideSheet(CellAddress cell, int rows, int columns)
{
    if (cell.row >= 1 && cell.row <= rows && cell.column >= 1 && cell.column <= columns)
        return std::nullopt;
    return "the cell (" + std::to_string(cell.row) + ", " + std::to_string(cell.column) +
           ") lies outside the sheet (rows 1-" + std::to_string(rows) + ", columns 1-" + std::to_string(columns) + ")";
}

} // namespace tavorin
