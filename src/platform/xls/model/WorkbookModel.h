#pragma once

#include "platform/xls/records/RecordStore.h"
#include "platform/xls/Result.h"
#include "platform/xls/records/SharedStringTable.h"
#include "platform/xls/model/SheetModel.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavorin::xls {

class DrawingGroup;

// One XTI of EXTERNSHEET: a SUPBOOK and a range of its sheets.
struct ExternSheetEntry {
    std::uint16_t supBook = 0;
    std::uint16_t firstSheet = 0;
    std::uint16_t lastSheet = 0;
    friend bool operator==(const ExternSheetEntry&, const ExternSheetEntry&) = default;
};

// A FORMAT record: a number format string and its index.
struct NumberFormat {
    std::uint16_t index = 0;
    std::u16string text;
    std::optional<DataRef> record; // as read; new formats are encoded on write
};

// A whole workbook in memory: the Workbook stream's globals and sheets. Records the engine
// does not understand are kept in order, byte for byte; the parts it rewrites stand in the
// globals as placeholders (Kind) with their contents in the fields below.
class WorkbookModel {
public:
    struct GlobalsItem {
        enum class Kind : std::uint8_t {
            Raw,
            Formats,      // every FORMAT
            CellFormats,  // every XF
            Sheets,       // every BoundSheet8
            Names,        // every NAME (Lbl)
            ExternSheet,  // EXTERNSHEET
            SharedStrings,// SST and EXTSST
            TabIds,       // TABID
            DrawingGroup, // MSODRAWINGGROUP and its continuations
        };
        Kind kind = Kind::Raw;
        StoredRecord record;
    };
    using Kind = GlobalsItem::Kind;

    // Reads the Workbook stream's globals and finds its sheets (the bytes are kept: unchanged
    // records point into them). The records of a sheet are read by load().
    static Result<WorkbookModel> read(ByteBuffer stream);
    static Result<WorkbookModel> read(std::span<const std::uint8_t> stream);
    // Reads the records of a sheet that has not been read yet (see SheetModel::unread); a sheet
    // that cannot be read is left unread, to be written back as it was.
    Status load(SheetModel& sheet);

    RecordStore store;
    std::vector<GlobalsItem> globals;
    std::vector<DataRef> fonts;
    std::vector<NumberFormat> formats;
    std::vector<DataRef> cellFormats; // XF records
    std::vector<DataRef> names;       // NAME records, CONTINUEs joined
    std::optional<std::vector<ExternSheetEntry>> externSheet;
    std::optional<std::size_t> selfSupBook; // index of the SUPBOOK that stands for this workbook
    std::optional<SharedStringTable> sharedStrings;
    std::vector<StoredRecord> drawingGroup; // MSODRAWINGGROUP and continuations, as read
    // The ids of every drawing in the stream as read, those of embedded charts included, so that
    // a new drawing never takes one of them.
    std::vector<std::uint32_t> drawingIdsRead;
    // The drawing group once a picture operation has read it (or made one); written instead.
    std::shared_ptr<DrawingGroup> drawingGroupEdit;
    std::optional<std::size_t> window1Item;
    bool date1904 = false;
    std::uint16_t codePage = 1200;
    // In tab order. Shared so that a sheet handed to a caller outlives reordering.
    std::vector<std::shared_ptr<SheetModel>> sheets;

    // The globals item of a kind, inserted where the format wants it when missing.
    std::size_t ensureGlobalsItem(Kind kind);
    std::optional<std::size_t> findGlobalsItem(Kind kind) const;
};

} // namespace tavorin::xls
