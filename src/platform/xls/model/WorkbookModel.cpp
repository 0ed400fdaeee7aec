#include "platform/xls/model/WorkbookModel.h"

#include "platform/xls/records/BiffString.h"
#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/model/WorkbookGlobals.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>
#include <array>

namespace tavorin::xls {
namespace {

using Kind = WorkbookModel::Kind;

constexpr std::uint16_t selfReferenceMarker = 0x0401;
constexpr std::uint16_t worksheetSubstream = 0x0010;
constexpr std::uint16_t macroSheetSubstream = 0x0040;

Error modelError(const std::string& message, std::optional<std::uint16_t> type, std::uint64_t offset)
{
    return Error{message, "workbook model", type, offset};
}

DataRef refOf(const Record& record) { return RecordStore::inStream(record.offset + Record::headerSize, record.data.size()); }

bool isCellRecord(std::uint16_t type)
{
    switch (type) {
    case RecordType::Formula:
    case RecordType::Blank:
    case RecordType::MulBlank:
    case RecordType::Rk:
    case RecordType::MulRk:
    case RecordType::BoolErr:
    case RecordType::Number:
    case RecordType::LabelSst:
    case RecordType::Label:
    case RecordType::RString:
        return true;
    default:
        return false;
    }
}

bool followsCell(std::uint16_t type)
{
    return type == RecordType::ShrFmla || type == RecordType::Array || type == RecordType::Table ||
           type == RecordType::String || type == RecordType::Continue;
}

// The records of a sheet's drawing block: the drawing pieces with the OBJ and TXO records of
// their shapes (embedded charts are handled where their BOF is met). The selection and the
// NOTE records that follow the block are kept as ordinary records in their place, so that
// shapes added to the drawing go in before them, where the format puts every shape.
bool isDrawingRecord(std::uint16_t type)
{
    return type == RecordType::MsoDrawing || type == RecordType::Obj || type == RecordType::Txo;
}

class GlobalsReader {
public:
    GlobalsReader(WorkbookModel& model, RecordReader& records) : model_(model), records_(records) {}

    Status read()
    {
        std::size_t supBooks = 0;
        // Every step consumes at least one record header, so the loop ends with the stream.
        while (true) {
            if (records_.atEnd())
                return modelError("the workbook globals end without an EOF record", {}, records_.position());
            auto type = records_.peekType();
            if (!type)
                return records_.next().error();
            switch (*type) {
            case RecordType::Sst: {
                // The pieces are read where they lie in the stream, without joining them.
                std::uint64_t offset = records_.position();
                std::vector<std::span<const std::uint8_t>> pieces;
                do {
                    auto piece = records_.next();
                    if (!piece)
                        return piece.error();
                    pieces.push_back(piece->data);
                } while (records_.peekType() == RecordType::Continue);
                auto table = SharedStringTable::read(model_.store.stream(), pieces, offset);
                if (!table)
                    return table.error();
                model_.sharedStrings = std::move(*table);
                placeholder(Kind::SharedStrings);
                continue;
            }
            case RecordType::Name:
            case RecordType::ExternSheet: {
                auto joined = records_.nextContinued();
                if (!joined)
                    return joined.error();
                if (*type == RecordType::Name) {
                    model_.names.push_back(model_.store.add(std::move(joined->data)));
                    placeholder(Kind::Names);
                } else {
                    if (auto status = readExternSheet(*joined); !status)
                        return status;
                    placeholder(Kind::ExternSheet);
                }
                continue;
            }
            case RecordType::MsoDrawingGroup: {
                placeholder(Kind::DrawingGroup);
                auto first = records_.next();
                if (!first)
                    return first.error();
                model_.drawingGroup.push_back({first->type, refOf(*first)});
                while (auto next = records_.peekType()) {
                    if (*next != RecordType::Continue && *next != RecordType::MsoDrawingGroup)
                        break;
                    auto piece = records_.next();
                    if (!piece)
                        return piece.error();
                    model_.drawingGroup.push_back({piece->type, refOf(*piece)});
                }
                continue;
            }
            default:
                break;
            }
            auto record = records_.next();
            if (!record)
                return record.error();
            StoredRecord stored{record->type, refOf(*record)};
            switch (record->type) {
            case RecordType::Eof:
                raw(stored);
                return success();
            case RecordType::ExtSst:
                // Written with the SST: as read while the table stays as it is, else anew.
                if (model_.sharedStrings)
                    model_.sharedStrings->keepIndexRecord(record->data);
                break;
            case RecordType::Format: {
                ByteReader reader(record->data);
                NumberFormat format;
                format.index = reader.u16();
                auto text = BiffString::readLong(reader);
                if (!text)
                    return modelError("a number format string runs past its record", record->type, record->offset);
                format.text = std::move(*text);
                format.record = stored.data;
                model_.formats.push_back(std::move(format));
                placeholder(Kind::Formats);
                break;
            }
            case RecordType::Xf:
                if (record->data.size() < 20)
                    return modelError("a cell format record is shorter than 20 bytes", record->type, record->offset);
                model_.cellFormats.push_back(stored.data);
                placeholder(Kind::CellFormats);
                break;
            case RecordType::BoundSheet8:
                placeholder(Kind::Sheets);
                break;
            case RecordType::TabId:
                placeholder(Kind::TabIds);
                break;
            case RecordType::Font:
                model_.fonts.push_back(stored.data);
                raw(stored);
                break;
            case RecordType::Window1:
                if (!model_.window1Item)
                    model_.window1Item = model_.globals.size();
                raw(stored);
                break;
            case RecordType::Date1904:
                model_.date1904 = ByteReader::u16At(record->data, 0) == 1;
                raw(stored);
                break;
            case RecordType::CodePage:
                model_.codePage = ByteReader::u16At(record->data, 0);
                raw(stored);
                break;
            case RecordType::SupBook:
                if (ByteReader::u16At(record->data, 2) == selfReferenceMarker && !model_.selfSupBook)
                    model_.selfSupBook = supBooks;
                ++supBooks;
                raw(stored);
                break;
            default:
                raw(stored);
                break;
            }
        }
    }

private:
    void raw(StoredRecord record) { model_.globals.push_back({Kind::Raw, record}); }
    void placeholder(Kind kind)
    {
        if (!model_.findGlobalsItem(kind))
            model_.globals.push_back({kind, {}});
    }
    Status readExternSheet(const ContinuedRecord& record)
    {
        ByteReader reader(record.data);
        std::uint16_t count = reader.u16();
        if (!reader.has(std::size_t{count} * 6))
            return modelError("EXTERNSHEET announces more references than it holds", record.type, record.offset);
        std::vector<ExternSheetEntry> entries;
        for (std::uint16_t i = 0; i < count; ++i) {
            ExternSheetEntry entry;
            entry.supBook = reader.u16();
            entry.firstSheet = reader.u16();
            entry.lastSheet = reader.u16();
            entries.push_back(entry);
        }
        model_.externSheet = std::move(entries);
        return success();
    }

    WorkbookModel& model_;
    RecordReader& records_;
};

// Reads the BOF that opens a sheet and tells from it whether the engine reads its cells.
Status readSheetBof(RecordReader& records, std::uint64_t position, SheetModel& sheet, std::optional<Record>* bof = nullptr)
{
    if (auto status = records.seek(position); !status)
        return status;
    auto first = records.next();
    if (!first)
        return first.error();
    if (first->type != RecordType::Bof || first->data.size() < 4)
        return modelError("sheet \"" + BiffString::toUtf8(sheet.name) + "\" does not begin with a BOF record",
                          first->type, first->offset);
    std::uint16_t substream = ByteReader::u16At(first->data, 2);
    sheet.structured = (sheet.type == 0 || sheet.type == 1) &&
                       (substream == worksheetSubstream || substream == macroSheetSubstream);
    if (bof)
        *bof = *first;
    return success();
}

class SheetReader {
public:
    SheetReader(const RecordStore& store, RecordReader& records, SheetModel& sheet)
        : store_(store), records_(records), sheet_(sheet)
    {
    }

    Status read(std::uint64_t position)
    {
        std::optional<Record> bof;
        if (auto status = readSheetBof(records_, position, sheet_, &bof); !status)
            return status;
        add(SheetModel::Kind::Raw, *bof);
        if (!sheet_.structured)
            return readUntilEof(SheetModel::Kind::Raw);
        if (auto status = readStructured(); !status)
            return status;
        addMissingPlaceholders();
        return success();
    }

private:
    void add(SheetModel::Kind kind, const Record& record) { sheet_.items.push_back({kind, {record.type, refOf(record)}}); }
    void placeholder(SheetModel::Kind kind)
    {
        // Called for every cell and ROW record: known kinds are not looked for again.
        auto& placed = placed_[static_cast<std::size_t>(kind)];
        if (!placed && !find(kind))
            sheet_.items.push_back({kind, {}});
        placed = true;
    }
    std::optional<std::size_t> find(SheetModel::Kind kind) const
    {
        for (std::size_t i = 0; i < sheet_.items.size(); ++i)
            if (sheet_.items[i].kind == kind)
                return i;
        return std::nullopt;
    }
    std::optional<std::size_t> findRecord(std::uint16_t type) const
    {
        for (std::size_t i = 0; i < sheet_.items.size(); ++i)
            if (sheet_.items[i].kind == SheetModel::Kind::Raw && sheet_.items[i].record.type == type)
                return i;
        return std::nullopt;
    }
    void insertAt(std::size_t index, SheetModel::Kind kind)
    {
        sheet_.items.insert(sheet_.items.begin() + static_cast<std::ptrdiff_t>(index), SheetModel::Item{kind, {}});
        if (sheet_.window2Item && *sheet_.window2Item >= index)
            ++*sheet_.window2Item;
    }

    // A substream (or the rest of one) whose records are kept as they are, nested ones included.
    Status readUntilEof(SheetModel::Kind kind)
    {
        int depth = 1;
        while (depth > 0) {
            if (records_.atEnd())
                return modelError("sheet \"" + BiffString::toUtf8(sheet_.name) + "\" ends without an EOF record", {},
                                  records_.position());
            auto record = records_.next();
            if (!record)
                return record.error();
            if (record->type == RecordType::Bof)
                ++depth;
            if (record->type == RecordType::Eof)
                --depth;
            add(depth == 0 && kind == SheetModel::Kind::Drawing ? SheetModel::Kind::Drawing : kind, *record);
        }
        return success();
    }

    Status readStructured()
    {
        using K = SheetModel::Kind;
        bool afterDrawing = false;
        while (true) {
            if (records_.atEnd())
                return modelError("sheet \"" + BiffString::toUtf8(sheet_.name) + "\" ends without an EOF record", {},
                                  records_.position());
            auto record = records_.next();
            if (!record)
                return record.error();
            std::uint16_t type = record->type;
            if (isCellRecord(type)) {
                if (auto status = readCell(*record); !status)
                    return status;
                afterDrawing = false;
                continue;
            }
            bool drawing = isDrawingRecord(type) || (type == RecordType::Continue && afterDrawing);
            afterDrawing = drawing;
            if (drawing) {
                add(K::Drawing, *record);
                continue;
            }
            switch (type) {
            case RecordType::Eof:
                add(K::Raw, *record);
                return success();
            case RecordType::Bof:
                // A chart embedded in the sheet: its own substream, part of the drawing.
                add(K::Drawing, *record);
                if (auto status = readUntilEof(K::Drawing); !status)
                    return status;
                afterDrawing = true; // the drawing may go on in a CONTINUE after the chart
                break;
            case RecordType::Index:
                placeholder(K::Index);
                break;
            case RecordType::DbCell:
                placeholder(K::CellTable);
                break;
            case RecordType::Row:
                if (record->data.size() < 16)
                    return modelError("a ROW record is shorter than 16 bytes", type, record->offset);
                sheet_.cells.addRowRecord(refOf(*record), record->data);
                placeholder(K::CellTable);
                break;
            case RecordType::Dimensions:
                sheet_.dimensions = refOf(*record);
                placeholder(K::Dimensions);
                break;
            case RecordType::MergedCells:
                readMergedCells(*record);
                placeholder(K::MergedCells);
                break;
            case RecordType::ColInfo:
                if (auto status = readColumnInfo(*record); !status)
                    return status;
                placeholder(K::ColumnInfos);
                break;
            case RecordType::DefColWidth:
                sheet_.defaultColumnWidth = ByteReader::u16At(record->data, 0);
                add(K::Raw, *record);
                break;
            case RecordType::StandardWidth:
                sheet_.standardWidth = ByteReader::u16At(record->data, 0);
                add(K::Raw, *record);
                break;
            case RecordType::DefaultRowHeight:
                if (record->data.size() >= 4) {
                    sheet_.defaultRowFlags = ByteReader::u16At(record->data, 0);
                    sheet_.defaultRowHeight = ByteReader::u16At(record->data, 2);
                }
                add(K::Raw, *record);
                break;
            case RecordType::Window2:
                if (!sheet_.window2Item)
                    sheet_.window2Item = sheet_.items.size();
                add(K::Raw, *record);
                break;
            default:
                add(K::Raw, *record);
                break;
            }
        }
    }

    Status readCell(const Record& first)
    {
        // One buffer for every cell of the sheet: most cells are a single record.
        std::vector<StoredRecord>& parts = cellParts_;
        parts.assign(1, StoredRecord{first.type, refOf(first)});
        bool formula = first.type == RecordType::Formula;
        while (auto next = records_.peekType()) {
            if (!followsCell(*next) || (!formula && *next != RecordType::Continue))
                break;
            auto record = records_.next();
            if (!record)
                return record.error();
            parts.push_back({record->type, refOf(*record)});
        }
        if (!sheet_.cells.addCell(parts, store_))
            return modelError("a cell record is too short or names impossible columns", first.type, first.offset);
        placeholder(SheetModel::Kind::CellTable);
        return success();
    }

    void readMergedCells(const Record& record)
    {
        ByteReader reader(record.data);
        std::uint16_t count = reader.u16();
        for (std::uint16_t i = 0; i < count && reader.has(8); ++i) {
            CellArea area;
            area.firstRow = reader.u16();
            area.lastRow = reader.u16();
            area.firstColumn = reader.u16();
            area.lastColumn = reader.u16();
            if (area.firstRow <= area.lastRow && area.firstColumn <= area.lastColumn)
                sheet_.mergedAreas.push_back(area);
        }
    }

    Status readColumnInfo(const Record& record)
    {
        if (record.data.size() < 10)
            return modelError("a COLINFO record is shorter than 10 bytes", record.type, record.offset);
        ByteReader reader(record.data);
        ColumnInfo info;
        info.firstColumn = reader.u16();
        info.lastColumn = reader.u16();
        info.width = reader.u16();
        info.formatIndex = reader.u16();
        info.flags = reader.u16();
        info.reserved = reader.has(2) ? reader.u16() : 0;
        if (info.firstColumn > info.lastColumn)
            return success(); // describes no column; dropped
        auto& columns = sheet_.columns;
        auto at = std::find_if(columns.begin(), columns.end(),
                               [&](const ColumnInfo& c) { return c.firstColumn > info.firstColumn; });
        columns.insert(at, info);
        return success();
    }

    void addMissingPlaceholders()
    {
        using K = SheetModel::Kind;
        if (!find(K::Index)) {
            std::size_t at = 1;
            if (sheet_.items.size() > 1 && sheet_.items[1].kind == K::Raw && sheet_.items[1].record.type == RecordType::Uncalced)
                at = 2;
            insertAt(at, K::Index);
        }
        auto beforeEnd = [&]() {
            std::size_t at = sheet_.items.size() - 1; // before EOF
            for (std::size_t i = 0; i < sheet_.items.size(); ++i) {
                const auto& item = sheet_.items[i];
                if (item.kind == K::Drawing || (item.kind == K::Raw && item.record.type == RecordType::Window2)) {
                    at = i;
                    break;
                }
            }
            return at;
        };
        // DIMENSIONS stands before the first ROW block.
        if (!find(K::Dimensions))
            insertAt(find(K::CellTable).value_or(beforeEnd()), K::Dimensions);
        if (!find(K::CellTable))
            insertAt(*find(K::Dimensions) + 1, K::CellTable);
        if (!find(K::ColumnInfos)) {
            if (auto width = findRecord(RecordType::DefColWidth))
                insertAt(*width + 1, K::ColumnInfos);
            else
                insertAt(*find(K::Dimensions), K::ColumnInfos);
        }
    }

    const RecordStore& store_;
    RecordReader& records_;
    SheetModel& sheet_;
    std::vector<StoredRecord> cellParts_;
    std::array<bool, 8> placed_{}; // by Kind: a placeholder of that kind stands in the items
};

// The drawing id of a drawing whose first piece this MSODRAWING data is (a drawing container
// opening with its FDG record); nothing for the pieces that carry a drawing on.
std::optional<std::uint32_t> drawingIdStartingAt(std::span<const std::uint8_t> data)
{
    constexpr std::uint16_t drawingContainer = 0xF002, drawingRecord = 0xF008;
    if (data.size() < 16 || ByteReader::u16At(data, 2) != drawingContainer || ByteReader::u16At(data, 10) != drawingRecord)
        return std::nullopt;
    return ByteReader::u16At(data, 8) >> 4;
}

// Walks a sheet's records from its BOF to the EOF that ends it, looking only at their types:
// enough to write the sheet back unchanged and to read it when it is asked for.
Status scanSheet(std::span<const std::uint8_t> stream, RecordReader& records, std::uint64_t position,
                 SheetModel& sheet, std::vector<std::uint32_t>& drawingIds)
{
    if (auto status = readSheetBof(records, position, sheet); !status)
        return status;
    SheetModel::Unread unread;
    unread.begin = static_cast<std::uint32_t>(position);
    // Only the headers are looked at, straight from the stream: a large sheet has millions of
    // records. Every step moves past a record, so the loop ends with the stream.
    std::uint64_t at = records.position();
    for (int depth = 1; depth > 0;) {
        if (stream.size() - at < Record::headerSize)
            return modelError("sheet \"" + BiffString::toUtf8(sheet.name) + "\" ends without an EOF record", {}, at);
        std::uint16_t type = ByteReader::u16At(stream, at);
        std::uint16_t length = ByteReader::u16At(stream, at + 2);
        if (length > Record::maxDataSize || length > stream.size() - at - Record::headerSize)
            return modelError("a record of sheet \"" + BiffString::toUtf8(sheet.name) +
                                  "\" is longer than the format allows or runs past the end of the stream",
                              type, at);
        unread.recordCount += depth == 1 ? 1 : 0;
        if (type == RecordType::Bof)
            ++depth;
        else if (type == RecordType::Eof)
            --depth;
        else if (depth == 1 && sheet.structured && type == RecordType::Index)
            unread.indexRecords.push_back(static_cast<std::uint32_t>(at));
        else if (depth == 1 && type == RecordType::Window2 && !unread.window2)
            unread.window2 = RecordStore::inStream(at + Record::headerSize, length);
        else if (type == RecordType::MsoDrawing) {
            if (auto id = drawingIdStartingAt(stream.subspan(at + Record::headerSize, length)))
                drawingIds.push_back(*id);
            if (depth == 1 && !unread.firstDrawing)
                unread.firstDrawing = RecordStore::inStream(at + Record::headerSize, length);
        }
        at += Record::headerSize + length;
    }
    unread.end = static_cast<std::uint32_t>(at);
    sheet.unread = std::move(unread);
    return success();
}

bool isBofAt(std::span<const std::uint8_t> stream, std::uint64_t position)
{
    return position <= stream.size() && stream.size() - position >= Record::headerSize &&
           ByteReader::u16At(stream, position) == RecordType::Bof;
}

// The substreams that follow the globals one after another, from the globals' end: where each
// BOF is. Stops at the first record that starts no substream (the padding of the last sector).
std::vector<std::uint64_t> substreamsFrom(std::span<const std::uint8_t> stream, std::uint64_t at)
{
    std::vector<std::uint64_t> found;
    while (isBofAt(stream, at)) {
        found.push_back(at);
        // Every step moves past one record, so the walk ends with the stream.
        for (int depth = 0;;) {
            if (stream.size() - at < Record::headerSize)
                return found;
            std::uint16_t type = ByteReader::u16At(stream, at);
            at += Record::headerSize + ByteReader::u16At(stream, at + 2);
            depth += type == RecordType::Bof ? 1 : type == RecordType::Eof ? -1 : 0;
            if (depth == 0 || at > stream.size())
                break;
        }
    }
    return found;
}

// Where each sheet's substream starts. Some writers leave BoundSheet8 positions that point
// nowhere while the substreams follow the globals in sheet order: then the order tells.
std::vector<std::uint64_t> sheetPositions(std::span<const std::uint8_t> stream, const WorkbookGlobals& listing,
                                          std::uint64_t globalsEnd)
{
    std::vector<std::uint64_t> stated;
    for (const BoundSheet& bound : listing.sheets)
        stated.push_back(bound.position);
    if (std::all_of(stated.begin(), stated.end(), [&](std::uint64_t at) { return isBofAt(stream, at); }))
        return stated;
    auto inOrder = substreamsFrom(stream, globalsEnd);
    return inOrder.size() == stated.size() ? inOrder : stated;
}

} // namespace

Result<WorkbookModel> WorkbookModel::read(std::span<const std::uint8_t> stream)
{
    auto copy = ByteBuffer::allocate(stream.size());
    if (!copy)
        return modelError("there is not enough memory for the Workbook stream", {}, 0);
    std::copy(stream.begin(), stream.end(), copy->bytes().begin());
    return read(std::move(*copy));
}

Result<WorkbookModel> WorkbookModel::read(ByteBuffer stream)
{
    if (stream.size() > 0xFFFFFFFFu)
        return modelError("the Workbook stream is larger than 4 GB", {}, 0);
    WorkbookModel model;
    model.store = RecordStore(std::move(stream));
    RecordReader records(model.store.stream());
    // The listing reader checks the first BOF (BIFF8 globals) and refuses encrypted workbooks.
    auto listing = WorkbookGlobals::read(records);
    if (!listing)
        return listing.error();
    if (auto status = records.seek(0); !status)
        return status.error();
    GlobalsReader globals(model, records);
    if (auto status = globals.read(); !status)
        return status.error();
    if (!model.findGlobalsItem(Kind::Sheets) || listing->sheets.empty())
        return modelError("the workbook has no sheets", RecordType::BoundSheet8, 0);

    auto positions = sheetPositions(model.store.stream(), *listing, records.position());
    for (std::size_t i = 0; i < listing->sheets.size(); ++i) {
        const BoundSheet& bound = listing->sheets[i];
        auto sheet = std::make_shared<SheetModel>();
        sheet->name = bound.name;
        sheet->visibility = static_cast<std::uint8_t>(bound.visibility);
        sheet->type = static_cast<std::uint8_t>(bound.kind);
        if (auto status = scanSheet(model.store.stream(), records, positions[i], *sheet, model.drawingIdsRead); !status)
            return status.error();
        model.sheets.push_back(std::move(sheet));
    }
    return model;
}

Status WorkbookModel::load(SheetModel& sheet)
{
    if (!sheet.unread)
        return success();
    // Read into a new model so that a sheet that fails to read stays as it was, unread.
    SheetModel loaded;
    loaded.name = sheet.name;
    loaded.visibility = sheet.visibility;
    loaded.type = sheet.type;
    loaded.cells.reserveRecords(sheet.unread->recordCount);
    RecordReader records(store.stream());
    SheetReader reader(store, records, loaded);
    if (auto status = reader.read(sheet.unread->begin); !status)
        return status;
    sheet = std::move(loaded);
    return success();
}

std::optional<std::size_t> WorkbookModel::findGlobalsItem(Kind kind) const
{
    for (std::size_t i = 0; i < globals.size(); ++i)
        if (globals[i].kind == kind)
            return i;
    return std::nullopt;
}

std::size_t WorkbookModel::ensureGlobalsItem(Kind kind)
{
    if (auto found = findGlobalsItem(kind))
        return *found;
    std::size_t at = globals.size() - 1; // before EOF
    if (kind == Kind::DrawingGroup) {
        // After the sheets, names and references, right before the shared strings.
        if (auto strings = findGlobalsItem(Kind::SharedStrings))
            at = *strings;
    } else if (kind == Kind::Formats) {
        // FORMAT records stand right before the XFs.
        if (auto xfs = findGlobalsItem(Kind::CellFormats))
            at = *xfs;
    } else if (kind == Kind::SharedStrings) {
        // After the sheets, names, references and drawing group; before what ends the globals.
        for (std::size_t i = 0; i < globals.size(); ++i) {
            const auto& item = globals[i];
            bool before = item.kind == Kind::Sheets || item.kind == Kind::Names || item.kind == Kind::ExternSheet ||
                          item.kind == Kind::DrawingGroup ||
                          (item.kind == Kind::Raw &&
                           (item.record.type == RecordType::SupBook || item.record.type == 0x008C /* COUNTRY */));
            if (before)
                at = i + 1;
        }
    }
    globals.insert(globals.begin() + static_cast<std::ptrdiff_t>(at), GlobalsItem{kind, {}});
    if (window1Item && *window1Item >= at)
        ++*window1Item;
    return at;
}

} // namespace tavorin::xls
