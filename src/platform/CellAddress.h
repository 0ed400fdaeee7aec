#pragma once

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

} // namespace tavorin
