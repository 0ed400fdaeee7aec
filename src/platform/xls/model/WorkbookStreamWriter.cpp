#include "platform/xls/model/WorkbookStreamWriter.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/Record.h"
#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/drawing/SheetDrawing.h"
#include "platform/xls/model/WorkbookDrawings.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

using Kind = WorkbookModel::Kind;
constexpr std::size_t mergedAreasPerRecord = 1026;

void putString16(std::vector<std::uint8_t>& out, const std::u16string& text, bool shortCount)
{
    bool wide = std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
    if (shortCount)
        putU8(out, static_cast<unsigned>(text.size()));
    else
        putU16(out, static_cast<unsigned>(text.size()));
    putU8(out, wide ? 1 : 0);
    for (char16_t c : text) {
        if (wide)
            putU16(out, c);
        else
            putU8(out, c);
    }
}

// Hands bytes that a drawing model writes into a sink on to the record writer.
class RecordWriterSink final : public OutputSink {
public:
    explicit RecordWriterSink(RecordWriter& out) : out_(out) {}
    Status write(std::span<const std::uint8_t> bytes) override
    {
        out_.writeBytes(bytes);
        return out_.status();
    }
    Status finish() override { return success(); }
    std::uint64_t written() const override { return out_.offset(); }

private:
    RecordWriter& out_;
};

} // namespace

void WorkbookStreamWriter::writeDrawingGroup(RecordWriter& out) const
{
    const DrawingGroup& group = *model_.drawingGroupEdit;
    if (measuring_) {
        static const std::vector<std::uint8_t> zeros(64 * 1024, 0);
        for (std::uint64_t left = group.streamSize(); left > 0;) {
            auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
            out.writeBytes(std::span(zeros).first(count));
            left -= count;
        }
        return;
    }
    RecordWriterSink sink(out);
    if (auto status = group.write(sink); !status && drawingStatus_)
        drawingStatus_ = status;
}

WorkbookStreamWriter::WorkbookStreamWriter(const WorkbookModel& model) : model_(model)
{
    for (const auto& sheet : model_.sheets) {
        if (sheet->unread) {
            sheets_.push_back({sheet->unread->end - sheet->unread->begin, {}, 0});
            continue;
        }
        auto out = RecordWriter::measuring(0);
        sheets_.push_back(writeSheet(out, *sheet, nullptr));
        sheets_.back().size = out.offset();
    }
    auto out = RecordWriter::measuring(0);
    writeGlobals(out, std::vector<std::uint64_t>(model_.sheets.size(), 0));
    std::uint64_t position = out.offset();
    for (const auto& sheet : sheets_) {
        positions_.push_back(position);
        position += sheet.size;
    }
    size_ = position;
    measuring_ = false;
}

Status WorkbookStreamWriter::write(OutputSink& sink) const
{
    RecordWriter out(sink, 0);
    writeGlobals(out, positions_);
    for (std::size_t i = 0; i < model_.sheets.size(); ++i) {
        // A picture that failed while the drawing group was written says why, rather than the
        // size that its failure left short.
        if (!drawingStatus_)
            return drawingStatus_;
        if (out.status() && out.offset() != positions_[i])
            return Error{"the globals came out at a size other than measured", "workbook stream", {}, out.offset()};
        if (model_.sheets[i]->unread)
            writeUnreadSheet(out, *model_.sheets[i], positions_[i]);
        else
            writeSheet(out, *model_.sheets[i], &sheets_[i]);
    }
    out.flush();
    if (!drawingStatus_)
        return drawingStatus_;
    if (!out.status())
        return out.status();
    if (out.offset() != size_)
        return Error{"the workbook stream came out at a size other than measured", "workbook stream", {}, out.offset()};
    return success();
}

void WorkbookStreamWriter::writeGlobals(RecordWriter& out, const std::vector<std::uint64_t>& sheetPositions) const
{
    const RecordStore& store = model_.store;
    for (const auto& item : model_.globals) {
        switch (item.kind) {
        case Kind::Raw:
            out.write(item.record.type, store.bytes(item.record.data));
            break;
        case Kind::Formats:
            for (const auto& format : model_.formats) {
                if (format.record) {
                    out.write(RecordType::Format, store.bytes(*format.record));
                    continue;
                }
                std::vector<std::uint8_t> data;
                putU16(data, format.index);
                putString16(data, format.text, false);
                out.write(RecordType::Format, data);
            }
            break;
        case Kind::CellFormats:
            for (const auto& xf : model_.cellFormats)
                out.write(RecordType::Xf, store.bytes(xf));
            break;
        case Kind::Sheets:
            for (std::size_t i = 0; i < model_.sheets.size(); ++i) {
                const SheetModel& sheet = *model_.sheets[i];
                std::vector<std::uint8_t> data;
                putU32(data, static_cast<std::uint32_t>(sheetPositions[i]));
                putU8(data, sheet.visibility);
                putU8(data, sheet.type);
                putString16(data, sheet.name, true);
                out.write(RecordType::BoundSheet8, data);
            }
            break;
        case Kind::Names:
            for (const auto& name : model_.names)
                out.write(RecordType::Name, store.bytes(name));
            break;
        case Kind::ExternSheet:
            if (model_.externSheet) {
                std::vector<std::uint8_t> data;
                putU16(data, static_cast<unsigned>(model_.externSheet->size()));
                for (const auto& entry : *model_.externSheet) {
                    putU16(data, entry.supBook);
                    putU16(data, entry.firstSheet);
                    putU16(data, entry.lastSheet);
                }
                out.write(RecordType::ExternSheet, data);
            }
            break;
        case Kind::SharedStrings:
            if (model_.sharedStrings)
                model_.sharedStrings->write(out);
            break;
        case Kind::TabIds: {
            std::vector<std::uint8_t> data;
            for (std::size_t i = 0; i < model_.sheets.size(); ++i)
                putU16(data, static_cast<unsigned>(i + 1));
            out.write(RecordType::TabId, data);
            break;
        }
        case Kind::DrawingGroup:
            if (model_.drawingGroupEdit) {
                writeDrawingGroup(out);
                break;
            }
            for (const auto& record : model_.drawingGroup)
                out.write(record.type, store.bytes(record.data));
            break;
        }
    }
}

void WorkbookStreamWriter::writeUnreadSheet(RecordWriter& out, const SheetModel& sheet, std::uint64_t position) const
{
    const SheetModel::Unread& source = *sheet.unread;
    auto stream = model_.store.stream();
    // INDEX holds the stream positions of the sheet's DEFCOLWIDTH and DBCELL records (from its
    // 12th byte on); those that point into the sheet move with it. Everything else in a sheet
    // is relative to the sheet or to its records.
    auto moved = [&](std::uint32_t value) {
        if (value < source.begin || value >= source.end)
            return value;
        return static_cast<std::uint32_t>(value - source.begin + position);
    };
    std::size_t at = source.begin;
    std::vector<std::uint8_t> index;
    for (std::uint32_t header : source.indexRecords) {
        std::size_t data = std::size_t{header} + Record::headerSize;
        std::size_t length = ByteReader::u16At(stream, header + 2);
        out.writeBytes(stream.subspan(at, data - at));
        index.assign(stream.begin() + static_cast<std::ptrdiff_t>(data),
                     stream.begin() + static_cast<std::ptrdiff_t>(data + length));
        for (std::size_t field = 12; field + 4 <= index.size(); field += 4)
            setU32(index, field, moved(ByteReader::u32At(index, field)));
        out.writeBytes(index);
        at = data + length;
    }
    out.writeBytes(stream.subspan(at, source.end - at));
}

std::vector<std::uint8_t> WorkbookStreamWriter::dimensionsOf(const SheetModel& sheet) const
{
    std::vector<std::uint8_t> data(14, 0);
    if (sheet.dimensions) {
        auto stored = model_.store.bytes(*sheet.dimensions);
        std::copy_n(stored.begin(), std::min<std::size_t>(stored.size(), 14), data.begin());
    }
    if (auto bounds = sheet.cells.cellBounds()) {
        std::uint32_t firstRow = ByteReader::u32At(data, 0);
        std::uint32_t endRow = ByteReader::u32At(data, 4);
        std::uint16_t firstColumn = ByteReader::u16At(data, 8);
        std::uint16_t endColumn = ByteReader::u16At(data, 10);
        bool empty = endRow == 0 || endColumn == 0;
        setU32(data, 0, empty ? bounds->firstRow : std::min(firstRow, bounds->firstRow));
        setU32(data, 4, empty ? bounds->endRow : std::max(endRow, bounds->endRow));
        setU16(data, 8, empty ? bounds->firstColumn : std::min(firstColumn, bounds->firstColumn));
        setU16(data, 10, empty ? bounds->endColumn : std::max(endColumn, bounds->endColumn));
    }
    return data;
}

WorkbookStreamWriter::SheetLayout WorkbookStreamWriter::writeSheet(RecordWriter& out, const SheetModel& sheet,
                                                                    const SheetLayout* known) const
{
    using K = SheetModel::Kind;
    const RecordStore& store = model_.store;
    SheetLayout layout;
    std::uint64_t start = out.offset();
    for (const auto& item : sheet.items) {
        switch (item.kind) {
        case K::Drawing:
            if (WorkbookDrawings::isPlaceholder(item.record.type)) {
                if (sheet.drawingEdit) {
                    RecordWriterSink sink(out);
                    if (auto status = sheet.drawingEdit->write(sink); !status && drawingStatus_)
                        drawingStatus_ = status;
                }
                break;
            }
            [[fallthrough]];
        case K::Raw:
            if (item.record.type == RecordType::DefColWidth)
                layout.defaultColumnWidthOffset = out.offset() - start;
            out.write(item.record.type, store.bytes(item.record.data));
            break;
        case K::Index: {
            std::vector<std::uint8_t> data(16, 0);
            const auto& rows = sheet.cells.rows();
            if (!rows.empty()) {
                setU32(data, 4, rows.front().index);
                setU32(data, 8, rows.back().index + 1u);
            }
            if (known && known->defaultColumnWidthOffset != 0)
                setU32(data, 12, static_cast<std::uint32_t>(start + known->defaultColumnWidthOffset));
            std::size_t blocks = sheet.cells.blockCount();
            for (std::size_t b = 0; b < blocks; ++b)
                putU32(data, known ? static_cast<std::uint32_t>(start + known->dbCellOffsets[b]) : 0);
            out.write(RecordType::Index, data);
            break;
        }
        case K::Dimensions:
            out.write(RecordType::Dimensions, dimensionsOf(sheet));
            break;
        case K::CellTable: {
            std::uint16_t rowHeight = sheet.defaultRowHeight.value_or(255);
            auto cells = sheet.cells.write(out, store, rowHeight);
            for (auto offset : cells.dbCellOffsets)
                layout.dbCellOffsets.push_back(offset - start);
            break;
        }
        case K::MergedCells:
            for (std::size_t begin = 0; begin < sheet.mergedAreas.size(); begin += mergedAreasPerRecord) {
                std::size_t end = std::min(sheet.mergedAreas.size(), begin + mergedAreasPerRecord);
                std::vector<std::uint8_t> data;
                putU16(data, static_cast<unsigned>(end - begin));
                for (std::size_t i = begin; i < end; ++i) {
                    const CellArea& area = sheet.mergedAreas[i];
                    putU16(data, area.firstRow);
                    putU16(data, area.lastRow);
                    putU16(data, area.firstColumn);
                    putU16(data, area.lastColumn);
                }
                out.write(RecordType::MergedCells, data);
            }
            break;
        case K::ColumnInfos:
            for (const ColumnInfo& info : sheet.columns) {
                std::vector<std::uint8_t> data;
                putU16(data, info.firstColumn);
                putU16(data, info.lastColumn);
                putU16(data, info.width);
                putU16(data, info.formatIndex);
                putU16(data, info.flags);
                putU16(data, info.reserved);
                out.write(RecordType::ColInfo, data);
            }
            break;
        }
    }
    return layout;
}

} // namespace tavorin::xls
