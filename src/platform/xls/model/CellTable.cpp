#include "platform/xls/model/CellTable.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/Record.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

constexpr std::uint32_t rowsPerBlock = 32;

bool isMultiple(std::uint16_t type) { return type == RecordType::MulRk || type == RecordType::MulBlank; }

// Records that lie one after the other in the stream as read, headers included, are copied as
// one piece: the same bytes as writing them one by one, without the work per record.
class StreamRun {
public:
    StreamRun(RecordWriter& out, std::span<const std::uint8_t> stream) : out_(out), stream_(stream) {}

    // Where the next record goes in the output, the run not yet written included.
    std::uint64_t offset() const { return out_.offset() + (end_ - start_); }

    // Takes the record into the run when it follows it in the stream (or starts one); false for
    // a record made or changed since reading, which the caller writes itself.
    bool extend(const StoredRecord& record)
    {
        const DataRef& data = record.data;
        if (data.block != 0 || data.offset < Record::headerSize || data.length > Record::maxDataSize ||
            std::uint64_t{data.offset} + data.length > stream_.size())
            return false;
        std::size_t header = data.offset - Record::headerSize;
        // The header before the data must be this record's own.
        if (ByteReader::u16At(stream_, header) != record.type || ByteReader::u16At(stream_, header + 2) != data.length)
            return false;
        if (start_ == end_ || end_ != header) {
            flush();
            start_ = header;
        }
        end_ = std::size_t{data.offset} + data.length;
        return true;
    }

    void flush()
    {
        if (end_ > start_)
            out_.writeBytes(stream_.subspan(start_, end_ - start_));
        start_ = end_ = 0;
    }

private:
    RecordWriter& out_;
    std::span<const std::uint8_t> stream_;
    std::size_t start_ = 0, end_ = 0;
};

} // namespace

CellTable::Row& CellTable::rowAt(std::uint16_t index)
{
    // Cells come row after row, after the ROW records of their block: the row last used or
    // the one after it is nearly always the one wanted.
    if (lastRow_ < rows_.size() && rows_[lastRow_].index == index)
        return rows_[lastRow_];
    if (lastRow_ + 1 < rows_.size() && rows_[lastRow_ + 1].index == index)
        return rows_[++lastRow_];
    if (rows_.empty() || rows_.back().index < index) {
        rows_.push_back(Row{index, {}, false, {}});
        lastRow_ = rows_.size() - 1;
        return rows_.back();
    }
    auto found = std::lower_bound(rows_.begin(), rows_.end(), index,
                                  [](const Row& row, std::uint16_t value) { return row.index < value; });
    lastRow_ = static_cast<std::size_t>(found - rows_.begin());
    if (found != rows_.end() && found->index == index)
        return *found;
    return *rows_.insert(found, Row{index, {}, false, {}});
}

const CellTable::Row* CellTable::findRow(std::uint16_t index) const
{
    auto found = std::lower_bound(rows_.begin(), rows_.end(), index,
                                  [](const Row& row, std::uint16_t value) { return row.index < value; });
    return found != rows_.end() && found->index == index ? &*found : nullptr;
}

void CellTable::addRowRecord(DataRef data, std::span<const std::uint8_t> bytes)
{
    Row& row = rowAt(ByteReader::u16At(bytes, 0));
    row.rowRecord = data;
    ++rowRecordRevision_;
    // The ROW record spans the columns its cells take: room for them at once (at most the 256
    // columns of a sheet, whatever the record claims).
    std::uint16_t first = ByteReader::u16At(bytes, 2);
    std::uint16_t end = ByteReader::u16At(bytes, 4);
    if (end > first && row.cells.empty())
        row.cells.reserve(std::min<std::size_t>(end - first, 256));
}

std::vector<CellTable::Cell>::iterator CellTable::findCell(Row& row, std::uint16_t column)
{
    return std::lower_bound(row.cells.begin(), row.cells.end(), column,
                            [](const Cell& cell, std::uint16_t value) { return cell.lastColumn < value; });
}

bool CellTable::addCell(std::span<const StoredRecord> records, const RecordStore& store)
{
    auto first = store.bytes(records.front().data);
    if (first.size() < 6)
        return false;
    std::uint16_t rowIndex = ByteReader::u16At(first, 0);
    Cell cell;
    cell.firstColumn = ByteReader::u16At(first, 2);
    cell.lastColumn = cell.firstColumn;
    if (isMultiple(records.front().type)) {
        cell.lastColumn = ByteReader::u16At(first, first.size() - 2);
        std::size_t entry = records.front().type == RecordType::MulRk ? 6 : 2;
        if (cell.lastColumn < cell.firstColumn ||
            first.size() != 6 + entry * (std::size_t{cell.lastColumn} - cell.firstColumn + 1))
            return false;
    }
    cell.firstRecord = static_cast<std::uint32_t>(records_.size());
    cell.recordCount = static_cast<std::uint32_t>(records.size());
    if (records.size() == 1)
        records_.push_back(records.front());
    else
        records_.insert(records_.end(), records.begin(), records.end());

    Row& row = rowAt(rowIndex);
    if (row.cells.empty() || row.cells.back().lastColumn < cell.firstColumn) {
        row.cells.push_back(cell);
        return true;
    }
    // Out of order, or over a cell read before: the later record wins, as in a reader.
    auto at = findCell(row, cell.firstColumn);
    while (at != row.cells.end() && at->firstColumn <= cell.lastColumn)
        at = row.cells.erase(at);
    row.cells.insert(at, cell);
    return true;
}

std::optional<std::uint16_t> CellTable::formatIndexAt(std::uint16_t row, std::uint16_t column,
                                                      const RecordStore& store) const
{
    auto found = std::lower_bound(rows_.begin(), rows_.end(), row,
                                  [](const Row& r, std::uint16_t value) { return r.index < value; });
    if (found == rows_.end() || found->index != row)
        return std::nullopt;
    auto cell = std::lower_bound(found->cells.begin(), found->cells.end(), column,
                                 [](const Cell& c, std::uint16_t value) { return c.lastColumn < value; });
    if (cell == found->cells.end() || cell->firstColumn > column)
        return std::nullopt;
    const StoredRecord& record = records_[cell->firstRecord];
    auto bytes = store.bytes(record.data);
    std::size_t offset = 4;
    if (record.type == RecordType::MulRk)
        offset = 4 + 6 * std::size_t{static_cast<std::uint16_t>(column - cell->firstColumn)};
    else if (record.type == RecordType::MulBlank)
        offset = 4 + 2 * std::size_t{static_cast<std::uint16_t>(column - cell->firstColumn)};
    return ByteReader::u16At(bytes, offset);
}

std::optional<StoredRecord> CellTable::cellRecord(std::uint16_t row, std::uint16_t column) const
{
    auto found = std::lower_bound(rows_.begin(), rows_.end(), row,
                                  [](const Row& r, std::uint16_t value) { return r.index < value; });
    if (found == rows_.end() || found->index != row)
        return std::nullopt;
    for (const Cell& cell : found->cells)
        if (cell.firstColumn <= column && column <= cell.lastColumn)
            return records_[cell.firstRecord];
    return std::nullopt;
}

void CellTable::splitMultiple(Row& row, std::vector<Cell>::iterator cell, const RecordStore& store,
                              RecordStore& added)
{
    // A MULRK or MULBLANK becomes one RK or BLANK per column so that one of them can be replaced.
    const StoredRecord record = records_[cell->firstRecord];
    auto bytes = store.bytes(record.data);
    bool rk = record.type == RecordType::MulRk;
    std::vector<Cell> singles;
    for (std::uint16_t column = cell->firstColumn;; ++column) {
        std::size_t at = 4 + (rk ? 6u : 2u) * std::size_t{static_cast<std::uint16_t>(column - cell->firstColumn)};
        std::vector<std::uint8_t> data;
        putU16(data, row.index);
        putU16(data, column);
        data.insert(data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + (rk ? 6 : 2)));
        records_.push_back(added.addRecord(rk ? RecordType::Rk : RecordType::Blank, std::move(data)));
        singles.push_back(Cell{column, column, static_cast<std::uint32_t>(records_.size() - 1), 1});
        if (column == cell->lastColumn)
            break;
    }
    auto position = row.cells.erase(cell);
    row.cells.insert(position, singles.begin(), singles.end());
}

void CellTable::setCell(std::uint16_t row, std::uint16_t column, StoredRecord record, const RecordStore& store,
                        RecordStore& added)
{
    Row& target = rowAt(row);
    target.changed = true;
    auto at = findCell(target, column);
    if (at != target.cells.end() && at->firstColumn <= column && at->firstColumn != at->lastColumn) {
        splitMultiple(target, at, store, added);
        at = findCell(target, column);
    }
    bool replacing = at != target.cells.end() && at->firstColumn == column;
    std::vector<StoredRecord> kept;
    if (replacing) {
        // A shared formula's definition follows its first cell; other cells still use it.
        for (const StoredRecord& old : recordsOf(*at))
            if (old.type == RecordType::ShrFmla)
                kept.push_back(old);
    }
    records_.push_back(record);
    Cell cell{column, column, static_cast<std::uint32_t>(records_.size() - 1),
              static_cast<std::uint32_t>(1 + kept.size())};
    records_.insert(records_.end(), kept.begin(), kept.end());
    if (replacing)
        *at = cell;
    else
        target.cells.insert(at, cell);
}

bool CellTable::setFormatIndex(std::uint16_t row, std::uint16_t column, std::uint16_t xf, const RecordStore& store,
                               RecordStore& added)
{
    auto found = std::lower_bound(rows_.begin(), rows_.end(), row,
                                  [](const Row& r, std::uint16_t value) { return r.index < value; });
    if (found == rows_.end() || found->index != row)
        return false;
    auto at = findCell(*found, column);
    if (at == found->cells.end() || at->firstColumn > column)
        return false;
    if (at->firstColumn != at->lastColumn) {
        splitMultiple(*found, at, store, added);
        at = findCell(*found, column);
    }
    // The cell's records are copied to the end with a changed first record.
    Cell cell = *at;
    std::vector<StoredRecord> parts(records_.begin() + cell.firstRecord,
                                    records_.begin() + cell.firstRecord + cell.recordCount);
    auto bytes = store.bytes(parts.front().data);
    std::vector<std::uint8_t> changed(bytes.begin(), bytes.end());
    setU16(changed, 4, xf);
    parts.front() = added.addRecord(parts.front().type, std::move(changed));
    at->firstRecord = static_cast<std::uint32_t>(records_.size());
    records_.insert(records_.end(), parts.begin(), parts.end());
    return true;
}

std::optional<CellTable::Bounds> CellTable::cellBounds() const
{
    std::optional<Bounds> bounds;
    for (const Row& row : rows_) {
        if (row.cells.empty())
            continue;
        if (!bounds)
            bounds = Bounds{row.index, row.index + 1u, row.cells.front().firstColumn,
                            static_cast<std::uint16_t>(row.cells.back().lastColumn + 1)};
        bounds->endRow = row.index + 1u;
        bounds->firstColumn = std::min(bounds->firstColumn, row.cells.front().firstColumn);
        bounds->endColumn = std::max(bounds->endColumn, static_cast<std::uint16_t>(row.cells.back().lastColumn + 1));
    }
    return bounds;
}

std::size_t CellTable::blockCount() const
{
    std::size_t blocks = 0;
    std::uint32_t current = 0xFFFFFFFF;
    for (const Row& row : rows_) {
        if (row.index / rowsPerBlock != current) {
            current = row.index / rowsPerBlock;
            ++blocks;
        }
    }
    return blocks;
}

CellTable::Layout CellTable::write(RecordWriter& out, const RecordStore& store, std::uint16_t defaultRowHeight) const
{
    Layout layout;
    std::vector<std::uint8_t> data; // one buffer for every ROW record
    auto rowRecord = [&](const Row& row) -> const std::vector<std::uint8_t>& {
        data.clear();
        if (row.rowRecord)
            data.assign(store.bytes(*row.rowRecord).begin(), store.bytes(*row.rowRecord).end());
        if (data.size() < 16) {
            // No ROW record was read for this row: an ordinary row of default height.
            data.assign(16, 0);
            setU16(data, 0, row.index);
            setU16(data, 6, defaultRowHeight);
            setU16(data, 12, 0x0100);
            setU16(data, 14, 0x000F);
        }
        if ((row.changed || !row.rowRecord) && !row.cells.empty()) {
            std::uint16_t first = std::min(row.cells.front().firstColumn, ByteReader::u16At(data, 2));
            std::uint16_t end = std::max(static_cast<std::uint16_t>(row.cells.back().lastColumn + 1),
                                         ByteReader::u16At(data, 4));
            if (!row.rowRecord || ByteReader::u16At(data, 4) == 0)
                first = row.cells.front().firstColumn;
            setU16(data, 2, first);
            setU16(data, 4, end);
        }
        return data;
    };

    for (std::size_t begin = 0; begin < rows_.size();) {
        std::size_t end = begin;
        while (end < rows_.size() && rows_[end].index / rowsPerBlock == rows_[begin].index / rowsPerBlock)
            ++end;
        std::uint64_t firstRow = out.offset();
        std::uint64_t secondRow = 0;
        for (std::size_t r = begin; r < end; ++r) {
            out.write(RecordType::Row, rowRecord(rows_[r]));
            if (r == begin)
                secondRow = out.offset();
        }
        // DBCELL: per row, the distance to its first cell from the previous row's first cell
        // (the first one counted from the end of the first ROW record).
        std::vector<std::uint8_t> dbCell(4, 0);
        std::uint64_t previous = secondRow;
        StreamRun run(out, store.stream());
        for (std::size_t r = begin; r < end; ++r) {
            std::uint64_t firstCell = run.offset();
            putU16(dbCell, static_cast<unsigned>(std::min<std::uint64_t>(firstCell - previous, 0xFFFF)));
            previous = firstCell;
            for (const Cell& cell : rows_[r].cells)
                for (const StoredRecord& record : recordsOf(cell))
                    if (!run.extend(record)) {
                        run.flush();
                        out.write(record.type, store.bytes(record.data));
                    }
        }
        run.flush();
        std::uint64_t at = out.offset();
        setU32(dbCell, 0, static_cast<std::uint32_t>(at - firstRow));
        layout.dbCellOffsets.push_back(at);
        out.write(RecordType::DbCell, dbCell);
        begin = end;
    }
    return layout;
}

} // namespace tavorin::xls
