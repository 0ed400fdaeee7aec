#pragma once

#include "platform/xls/records/RecordStore.h"
#include "platform/xls/records/RecordWriter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavorin::xls {

// The cells of one sheet, row by row ([MS-XLS] CELLTABLE). Each cell keeps the records it was
// read from (a FORMULA with the SHRFMLA/ARRAY/TABLE/STRING after it, a MULRK covering several
// columns ...) byte for byte; only position and format index are read from them. ROW records
// are kept per row; DBCELL is made anew on write.
class CellTable {
public:
    struct Cell {
        std::uint16_t firstColumn = 0;
        std::uint16_t lastColumn = 0; // beyond firstColumn only for MULRK and MULBLANK
        std::uint32_t firstRecord = 0; // index into records()
        std::uint32_t recordCount = 0;
    };
    struct Row {
        std::uint16_t index = 0;
        std::optional<DataRef> rowRecord; // the ROW record's data
        bool changed = false;             // cells added: the ROW column span is recomputed
        std::vector<Cell> cells;          // by column
    };

    // Reading: room for the records of this many cells, a ROW record, and a cell made of the
    // given records (the first one says where).
    void reserveRecords(std::size_t count) { records_.reserve(count); }
    void addRowRecord(DataRef data, std::span<const std::uint8_t> bytes);
    // False when the first record is too short to name its row and column.
    bool addCell(std::span<const StoredRecord> records, const RecordStore& store);

    const std::vector<Row>& rows() const { return rows_; }
    // Counts the changes to ROW records (heights, hidden rows), so that what is measured from
    // them can tell when to measure again.
    std::uint64_t rowRecordRevision() const { return rowRecordRevision_; }
    const Row* findRow(std::uint16_t index) const;
    const std::vector<StoredRecord>& records() const { return records_; }
    bool empty() const { return rows_.empty(); }
    std::span<const StoredRecord> recordsOf(const Cell& cell) const
    {
        return std::span<const StoredRecord>(records_).subspan(cell.firstRecord, cell.recordCount);
    }

    // The format index of the cell at (row, column), 0-based; nothing for an empty cell.
    std::optional<std::uint16_t> formatIndexAt(std::uint16_t row, std::uint16_t column, const RecordStore& store) const;
    // Puts a record (NUMBER, LABELSST, BLANK ...) at (row, column), replacing the cell there.
    void setCell(std::uint16_t row, std::uint16_t column, StoredRecord record, const RecordStore& store,
                 RecordStore& added);
    // Changes the format index of the cell at (row, column), keeping its value and the records
    // after it; false when there is no cell there.
    bool setFormatIndex(std::uint16_t row, std::uint16_t column, std::uint16_t xf, const RecordStore& store,
                        RecordStore& added);
    // The record that the cell at (row, column) starts with, if any (for tests and readers).
    std::optional<StoredRecord> cellRecord(std::uint16_t row, std::uint16_t column) const;

    // The first and one-past-last row and column holding cells; nothing when there are none.
    struct Bounds {
        std::uint32_t firstRow = 0, endRow = 0;
        std::uint16_t firstColumn = 0, endColumn = 0;
    };
    std::optional<Bounds> cellBounds() const;

    // Where the blocks of rows ended up when written: what INDEX needs.
    struct Layout {
        std::vector<std::uint64_t> dbCellOffsets;
    };
    // Number of row blocks (32 rows each), known before writing.
    std::size_t blockCount() const;
    // Writes ROW, cell and DBCELL records; returns where each DBCELL went.
    Layout write(RecordWriter& out, const RecordStore& store, std::uint16_t defaultRowHeight) const;

private:
    Row& rowAt(std::uint16_t index);
    std::vector<Cell>::iterator findCell(Row& row, std::uint16_t column);
    void splitMultiple(Row& row, std::vector<Cell>::iterator cell, const RecordStore& store, RecordStore& added);

    std::vector<Row> rows_;
    std::vector<StoredRecord> records_;
    std::size_t lastRow_ = 0; // where rowAt() last found or made a row: a hint, checked before use
    std::uint64_t rowRecordRevision_ = 0;
};

} // namespace tavorin::xls
