#pragma once

#include "run/RunOptions.h"

namespace tavorin::test {

// The picture block of a run: columns and rows as the choosers show them (1-based, the rows being
// their items too), and the empty rows between blocks.
inline void setBlock(RunOptions& options, int firstColumn, int lastColumn, int firstRow, int lastRow,
                     int spacing = 0)
{
    options.startColumn = firstColumn;
    options.endColumn = lastColumn;
    options.startRow = firstRow;
    options.endRow = lastRow;
    options.startRowIndex = firstRow - 1;
    options.endRowIndex = lastRow - 1;
    options.rowSpacing = spacing;
}

} // namespace tavorin::test
