#pragma once

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/records/RecordWriter.h"
#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookModel.h"

#include <cstdint>
#include <vector>

namespace tavorin::xls {

// Writes a WorkbookModel as a Workbook stream. The stream's size and every offset it holds
// (BoundSheet8 positions, INDEX and DBCELL, EXTSST) are worked out by a measuring pass first,
// so that the stream can then be written once, front to back, straight into its destination.
class WorkbookStreamWriter {
public:
    explicit WorkbookStreamWriter(const WorkbookModel& model);

    std::uint64_t size() const { return size_; }
    // Writes exactly size() bytes.
    Status write(OutputSink& out) const;

private:
    struct SheetLayout {
        std::uint64_t size = 0;
        std::vector<std::uint64_t> dbCellOffsets; // from the sheet's BOF
        std::uint64_t defaultColumnWidthOffset = 0;
    };

    void writeGlobals(RecordWriter& out, const std::vector<std::uint64_t>& sheetPositions) const;
    SheetLayout writeSheet(RecordWriter& out, const SheetModel& sheet, const SheetLayout* known) const;
    // A sheet nobody read: its bytes as they were, with the INDEX stream positions moved.
    void writeUnreadSheet(RecordWriter& out, const SheetModel& sheet, std::uint64_t position) const;
    std::vector<std::uint8_t> dimensionsOf(const SheetModel& sheet) const;
    // The drawing group model's records: measured by size, or written with the pictures read
    // from their files; a picture that cannot be read any more fails the write.
    void writeDrawingGroup(RecordWriter& out) const;

    const WorkbookModel& model_;
    std::vector<SheetLayout> sheets_;
    std::vector<std::uint64_t> positions_;
    std::uint64_t size_ = 0;
    bool measuring_ = true;
    mutable Status drawingStatus_ = success();
};

} // namespace tavorin::xls
