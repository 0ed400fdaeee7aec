#include "platform/xls/model/WorkbookDrawings.h"

#include "platform/xls/drawing/OfficeArtRecord.h"
#include "platform/xls/records/WorkbookRecordType.h"
#include "platform/xls/model/WorkbookModel.h"

#include <algorithm>

namespace tavorin::xls {
namespace WorkbookDrawings {
namespace {

constexpr std::uint16_t placeholderType = 0;

// The first run of drawing items that starts with an MSODRAWING: [begin, end).
std::optional<std::pair<std::size_t, std::size_t>> drawingRun(const SheetModel& sheet)
{
    const auto& items = sheet.items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind != SheetModel::Kind::Drawing || items[i].record.type != RecordType::MsoDrawing)
            continue;
        std::size_t end = i;
        while (end < items.size() && items[end].kind == SheetModel::Kind::Drawing &&
               items[end].record.type != placeholderType)
            ++end;
        return std::pair{i, end};
    }
    return std::nullopt;
}

// The drawing id in a sheet's first MSODRAWING (its FDG's instance), without reading the rest.
std::optional<std::uint32_t> drawingIdOf(const WorkbookModel& model, const SheetModel& sheet)
{
    if (sheet.drawingEdit)
        return sheet.drawingEdit->drawingId();
    std::optional<DataRef> first;
    if (sheet.unread) {
        first = sheet.unread->firstDrawing;
    } else if (auto run = drawingRun(sheet)) {
        first = sheet.items[run->first].record.data;
    }
    if (!first)
        return std::nullopt;
    auto bytes = model.store.bytes(*first);
    auto fdg = OfficeArtRecord::at(bytes, OfficeArtRecord::headerSize, bytes.size());
    if (!fdg || fdg->type != OfficeArtRecord::Fdg)
        return std::nullopt;
    return fdg->instance;
}

void replaceItems(SheetModel& sheet, std::size_t begin, std::size_t end)
{
    auto& items = sheet.items;
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(begin), items.begin() + static_cast<std::ptrdiff_t>(end));
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(begin), placeholderItem());
    if (sheet.window2Item && *sheet.window2Item >= end)
        *sheet.window2Item -= (end - begin) - 1;
}

std::optional<std::size_t> findPlaceholder(const SheetModel& sheet)
{
    for (std::size_t i = 0; i < sheet.items.size(); ++i)
        if (sheet.items[i].kind == SheetModel::Kind::Drawing && sheet.items[i].record.type == placeholderType)
            return i;
    return std::nullopt;
}

// A sheet without drawing records gets its drawing where the format has it: after the cells and
// before comments, header pictures, pivot views and the window settings.
void insertPlaceholder(SheetModel& sheet)
{
    if (findPlaceholder(sheet))
        return;
    auto& items = sheet.items;
    std::size_t at = items.empty() ? 0 : items.size() - 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::uint16_t type = items[i].record.type;
        if (items[i].kind == SheetModel::Kind::Raw &&
            (type == RecordType::Note || type == RecordType::HfPicture || type == RecordType::SxView ||
             type == RecordType::DCon || type == RecordType::Window2)) {
            at = i;
            break;
        }
    }
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), placeholderItem());
    if (sheet.window2Item && *sheet.window2Item >= at)
        ++*sheet.window2Item;
}

// A copy that ends up without a drawing keeps nothing that names the template's shapes.
void dropDrawing(SheetModel& sheet)
{
    auto& items = sheet.items;
    for (std::size_t i = items.size(); i-- > 0;) {
        bool drawingRecord = items[i].kind == SheetModel::Kind::Drawing ||
                             (items[i].kind == SheetModel::Kind::Raw && items[i].record.type == RecordType::Note);
        if (!drawingRecord)
            continue;
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        if (sheet.window2Item && *sheet.window2Item > i)
            --*sheet.window2Item;
    }
}

// Reads the sheet's drawing records into a model; nothing when it has none.
Result<std::shared_ptr<SheetDrawing>> readDrawing(WorkbookModel& model, SheetModel& sheet)
{
    if (sheet.drawingEdit)
        return sheet.drawingEdit;
    auto run = drawingRun(sheet);
    if (!run)
        return std::shared_ptr<SheetDrawing>();
    std::vector<DrawingRecord> records;
    for (std::size_t i = run->first; i < run->second; ++i) {
        auto bytes = model.store.bytes(sheet.items[i].record.data);
        records.push_back({sheet.items[i].record.type, {bytes.begin(), bytes.end()}});
    }
    auto drawing = SheetDrawing::read(records);
    if (!drawing)
        return drawing.error();
    sheet.drawingEdit = std::make_shared<SheetDrawing>(std::move(*drawing));
    replaceItems(sheet, run->first, run->second);
    return sheet.drawingEdit;
}

// The source's drawing as the copy gets it; nothing when the source has none.
Result<std::shared_ptr<SheetDrawing>> copiedDrawing(WorkbookModel& model, SheetModel& source)
{
    if (auto loaded = model.load(source); !loaded)
        return loaded.error();
    if (!source.drawingEdit && !drawingRun(source))
        return std::shared_ptr<SheetDrawing>();
    auto drawings = group(model);
    if (!drawings)
        return drawings.error();
    auto read = readDrawing(model, source);
    if (!read)
        return read.error();
    auto copied = (*read)->copyFor(**drawings);
    if (!copied)
        return copied.error();
    return std::make_shared<SheetDrawing>(std::move(*copied));
}

// The drawing group's records joined and taken apart. A ledger of many photos holds hundreds of
// megabytes here, so the joined copy is made in one allocation, and the stream's pages it came
// from are given back as it grows: reopening such a ledger costs its size in memory once, not
// twice. The group's records then live in the group alone; a group that does not read keeps its
// records, from the joined copy.
Result<DrawingGroup> readDrawingGroup(WorkbookModel& model)
{
    std::size_t total = 0;
    bool allInStream = true;
    for (const auto& record : model.drawingGroup) {
        total += record.data.length;
        allInStream = allInStream && record.data.block == 0;
    }
    const std::uint64_t start = model.drawingGroup.front().data.offset;
    std::uint64_t released = start;
    constexpr std::uint64_t releaseStep = 1 << 20;
    std::vector<std::uint8_t> data;
    data.reserve(total);
    std::vector<DrawingGroup::Piece> pieces;
    pieces.reserve(model.drawingGroup.size());
    for (const auto& record : model.drawingGroup) {
        auto bytes = model.store.bytes(record.data);
        data.insert(data.end(), bytes.begin(), bytes.end());
        pieces.push_back({record.type, static_cast<std::uint32_t>(bytes.size())});
        // The records follow each other in the stream (CONTINUE headers between them).
        const std::uint64_t end = std::uint64_t{record.data.offset} + record.data.length;
        if (allInStream && end - released >= releaseStep) {
            model.store.releaseFromStream(released, end - released);
            released = end;
        }
    }
    auto read = DrawingGroup::read(data, std::move(pieces));
    if (allInStream && read) {
        model.store.releaseFromStream(released, std::uint64_t{model.drawingGroup.back().data.offset} +
                                                    model.drawingGroup.back().data.length - released);
        model.drawingGroup.clear();
    } else if (allInStream) {
        // Its records read from the joined copy from now on, cut as they were.
        const DataRef joined = model.store.add(std::move(data));
        std::uint32_t offset = 0;
        for (auto& record : model.drawingGroup) {
            record.data = DataRef{joined.block, offset, record.data.length};
            offset += record.data.length;
        }
    }
    return read;
}

} // namespace

bool isPlaceholder(std::uint16_t recordType) { return recordType == placeholderType; }

SheetModel::Item placeholderItem() { return {SheetModel::Kind::Drawing, StoredRecord{placeholderType, {}}}; }

Result<DrawingGroup*> group(WorkbookModel& model)
{
    if (model.drawingGroupEdit)
        return model.drawingGroupEdit.get();
    std::optional<DrawingGroup> group;
    if (!model.drawingGroup.empty()) {
        auto read = readDrawingGroup(model);
        if (!read)
            return read.error();
        group = std::move(*read);
    } else {
        group = DrawingGroup::makeNew();
        model.ensureGlobalsItem(WorkbookModel::Kind::DrawingGroup);
    }
    for (std::uint32_t id : model.drawingIdsRead)
        group->registerDrawing(id);
    for (const auto& sheet : model.sheets)
        if (auto id = drawingIdOf(model, *sheet))
            group->registerDrawing(*id);
    model.drawingGroupEdit = std::make_shared<DrawingGroup>(std::move(*group));
    return model.drawingGroupEdit.get();
}

Result<SheetDrawing*> drawingOf(WorkbookModel& model, SheetModel& sheet)
{
    if (auto loaded = model.load(sheet); !loaded)
        return loaded.error();
    auto drawings = group(model);
    if (!drawings)
        return drawings.error();
    auto read = readDrawing(model, sheet);
    if (!read)
        return read.error();
    if (*read)
        return read->get();
    auto made = SheetDrawing::makeNew(**drawings);
    if (!made)
        return made.error();
    sheet.drawingEdit = std::make_shared<SheetDrawing>(std::move(*made));
    insertPlaceholder(sheet);
    return sheet.drawingEdit.get();
}

Status copyDrawing(WorkbookModel& model, SheetModel& source, SheetModel& copy)
{
    copy.drawingEdit.reset();
    auto copied = copiedDrawing(model, source);
    if (!copied || !*copied) {
        dropDrawing(copy);
        return copied ? success() : Status(copied.error());
    }
    copy.drawingEdit = std::move(*copied);
    insertPlaceholder(copy);
    return success();
}

} // namespace WorkbookDrawings
} // namespace tavorin::xls
