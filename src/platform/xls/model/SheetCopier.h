#pragma once

#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookModel.h"

#include <cstddef>

namespace tavorin::xls {

// Copies a worksheet of a WorkbookModel as Excel's Copy After does: the copy is inserted right
// after the anchor sheet with a name like "Sheet1 (2)", takes the template's cells, formats,
// merged areas, column widths, row heights, page setup and sheet-level names (Print_Area,
// Print_Titles ...), and every sheet index of the workbook (NAME, EXTERNSHEET, WINDOW1, TABID)
// is renumbered. The template's drawing (pictures, shapes, charts) is copied with a drawing id and
// shape ids of its own (WorkbookDrawings); one that cannot be read is left out.
class SheetCopier {
public:
    explicit SheetCopier(WorkbookModel& model) : model_(model) {}

    // Returns the position of the copy in tab order (anchor + 1).
    Result<std::size_t> copyAfter(std::size_t templateIndex, std::size_t anchorIndex);

private:
    void renumberFrom(std::size_t inserted);
    void copyNames(std::size_t templateIndex, std::size_t copyIndex);
    std::uint16_t xtiForSheet(std::size_t sheet);

    WorkbookModel& model_;
};

} // namespace tavorin::xls
