#pragma once

#include "platform/xls/model/CellTable.h"
#include "platform/xls/records/RecordStore.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavorin::xls {

class SheetDrawing;

// A rectangle of cells, 0-based and inclusive, as MERGEDCELLS stores it.
struct CellArea {
    std::uint16_t firstRow = 0, lastRow = 0;
    std::uint16_t firstColumn = 0, lastColumn = 0;

    bool contains(std::uint16_t row, std::uint16_t column) const
    {
        return firstRow <= row && row <= lastRow && firstColumn <= column && column <= lastColumn;
    }
    friend bool operator==(const CellArea&, const CellArea&) = default;
};

// A COLINFO record: the width and format of a run of columns.
struct ColumnInfo {
    std::uint16_t firstColumn = 0, lastColumn = 0;
    std::uint16_t width = 0; // 1/256 of the maximum digit width, padding included
    std::uint16_t formatIndex = 0;
    std::uint16_t flags = 0; // 0x0001 hidden, outline level, collapsed
    std::uint16_t reserved = 0;

    bool hidden() const { return (flags & 0x0001) != 0; }
    friend bool operator==(const ColumnInfo&, const ColumnInfo&) = default;
};

// One sheet substream. Records are kept in their order; the parts that the engine regenerates
// or edits stand in that order as placeholders (Kind), their contents held in the fields below.
struct SheetModel {
    enum class Kind : std::uint8_t {
        Raw,         // kept as read
        Drawing,     // MSODRAWING, OBJ, TXO, NOTE, embedded chart substreams and their CONTINUEs
        Index,       // INDEX, rebuilt
        Dimensions,  // DIMENSIONS, widened to the cells
        CellTable,   // ROW, cells, DBCELL
        MergedCells, // every MERGEDCELLS record
        ColumnInfos, // every COLINFO record
    };
    struct Item {
        Kind kind = Kind::Raw;
        StoredRecord record; // for Raw and Drawing
    };

    // From the sheet's BoundSheet8 record.
    std::u16string name;
    std::uint8_t visibility = 0; // hsState byte as read
    std::uint8_t type = 0;       // dt: 0 worksheet, 1 macro sheet, 2 chart, 6 module
    // Substreams the engine does not look into (charts, modules) are all Raw.
    bool structured = false;

    std::vector<Item> items;
    CellTable cells;
    std::vector<CellArea> mergedAreas;
    std::vector<ColumnInfo> columns; // sorted, not overlapping
    std::optional<DataRef> dimensions;
    std::optional<std::uint16_t> defaultColumnWidth;   // DEFCOLWIDTH, characters
    std::optional<std::uint16_t> standardWidth;        // STANDARDWIDTH, 1/256 characters
    std::optional<std::uint16_t> defaultRowHeight;     // DEFAULTROWHEIGHT miyRw, twips
    std::optional<std::uint16_t> defaultRowFlags;      // DEFAULTROWHEIGHT flags
    std::optional<std::size_t> window2Item;            // the WINDOW2 record among items
    // The drawing once a picture operation has read it (or made one); its records then give way
    // to one placeholder Drawing item (see WorkbookDrawings).
    std::shared_ptr<SheetDrawing> drawingEdit;

    // Where a sheet lies in the stream as read, while its records have not been read (opening
    // reads them only for sheets that someone asks for: WorkbookModel::load). Such a sheet is
    // written back as these bytes, the stream positions in its INDEX records moved with it.
    struct Unread {
        std::uint32_t begin = 0, end = 0;        // from its BOF header to past its EOF
        std::vector<std::uint32_t> indexRecords; // headers of INDEX records at the sheet's level
        std::optional<DataRef> firstDrawing;     // its first drawing record (MSODRAWING), if any
        std::optional<DataRef> window2;          // its WINDOW2 record, if any
        std::uint32_t recordCount = 0;           // at the sheet's level: room for its cells
    };
    std::optional<Unread> unread;

    bool isWorksheet() const { return type == 0; }
};

} // namespace tavorin::xls
