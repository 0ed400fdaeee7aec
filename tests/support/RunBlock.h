#pragma once

#include "run/RunOptions.h"

namespace tavorin::test {

// Sets the picture block of a run as the choosers show it: columns and rows 1-based (the row items
// being the rows' numbers), and the empty rows between blocks.
inline void setBlock(RunOptions& options, int firstColumn, int lastColumn, int firstRow, int lastRow, int spacing = 0)
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
