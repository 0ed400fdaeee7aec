#include "platform/xls/model/SheetCopier.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/model/DefinedName.h"
#include "platform/xls/records/RecordWriter.h"
#include "platform/xls/model/SheetNameRules.h"
#include "platform/xls/model/WorkbookDrawings.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

constexpr std::uint16_t window2Selected = 0x0200;
constexpr std::uint16_t window2Paged = 0x0400; // the sheet shown in the window
constexpr std::uint16_t maximumSheets = 0x7FFF;
// XTI sheet numbers at or above this mean "no sheet" / "the workbook" ([MS-XLS] 2.5.373).
constexpr std::uint16_t specialSheet = 0xFFFE;

Error copyError(const std::string& message) { return Error{message, "sheet copy", {}, {}}; }

} // namespace

Result<std::size_t> SheetCopier::copyAfter(std::size_t templateIndex, std::size_t anchorIndex)
{
    auto& sheets = model_.sheets;
    if (templateIndex >= sheets.size() || anchorIndex >= sheets.size())
        return copyError("no such sheet");
    if (sheets.size() >= maximumSheets)
        return copyError("the workbook holds as many sheets as it can");
    const SheetModel& source = *sheets[templateIndex];
    if (!source.structured || !source.isWorksheet())
        return copyError("only worksheets can be copied");
    if (auto loaded = model_.load(*sheets[templateIndex]); !loaded)
        return loaded.error();

    auto copy = std::make_shared<SheetModel>(source);
    // The drawing records give way to a placeholder here and are copied below with the copy's
    // own drawing and shape ids. A sheet's code name belongs to its VBA module, which the copy
    // does not have; the drawing selection names the template's shapes.
    std::vector<SheetModel::Item> items;
    copy->window2Item.reset();
    bool drawingPlaced = false;
    for (const auto& item : source.items) {
        if (item.kind == SheetModel::Kind::Drawing) {
            if (!drawingPlaced)
                items.push_back(WorkbookDrawings::placeholderItem());
            drawingPlaced = true;
            continue;
        }
        if (item.kind == SheetModel::Kind::Raw &&
            (item.record.type == RecordType::CodeName || item.record.type == RecordType::MsoDrawingSelection))
            continue;
        if (item.kind == SheetModel::Kind::Raw && item.record.type == RecordType::Window2 && !copy->window2Item) {
            auto bytes = model_.store.bytes(item.record.data);
            std::vector<std::uint8_t> window(bytes.begin(), bytes.end());
            if (window.size() >= 2)
                setU16(window, 0, ByteReader::u16At(window, 0) & ~(window2Selected | window2Paged));
            copy->window2Item = items.size();
            items.push_back({item.kind, model_.store.addRecord(RecordType::Window2, std::move(window))});
            continue;
        }
        items.push_back(item);
    }
    copy->items = std::move(items);

    std::vector<std::u16string> names;
    for (const auto& sheet : sheets)
        names.push_back(sheet->name);
    copy->name = SheetNameRules::copyName(source.name, names);
    copy->visibility = 0;

    std::size_t copyIndex = anchorIndex + 1;
    sheets.insert(sheets.begin() + static_cast<std::ptrdiff_t>(copyIndex), std::move(copy));
    renumberFrom(copyIndex);
    std::size_t movedTemplate = templateIndex < copyIndex ? templateIndex : templateIndex + 1;
    copyNames(movedTemplate, copyIndex);
    // A drawing that cannot be read stays behind: the copy is made without it.
    (void)WorkbookDrawings::copyDrawing(model_, *sheets[movedTemplate], *sheets[copyIndex]);
    return copyIndex;
}

void SheetCopier::renumberFrom(std::size_t inserted)
{
    auto shift = [&](std::uint16_t index, std::size_t first) {
        return index >= first ? static_cast<std::uint16_t>(index + 1) : index;
    };
    for (auto& name : model_.names) {
        auto bytes = model_.store.bytes(name);
        auto itab = DefinedName::sheetOf(bytes);
        if (!itab || *itab == 0 || *itab < inserted + 1)
            continue;
        std::vector<std::uint8_t> changed(bytes.begin(), bytes.end());
        setU16(changed, DefinedName::itabOffset, shift(*itab, inserted + 1));
        name = model_.store.add(std::move(changed));
    }
    if (model_.externSheet && model_.selfSupBook) {
        for (auto& entry : *model_.externSheet) {
            if (entry.supBook != *model_.selfSupBook)
                continue;
            if (entry.firstSheet < specialSheet)
                entry.firstSheet = shift(entry.firstSheet, inserted);
            if (entry.lastSheet < specialSheet)
                entry.lastSheet = shift(entry.lastSheet, inserted);
        }
    }
    if (model_.window1Item) {
        auto& item = model_.globals[*model_.window1Item];
        auto bytes = model_.store.bytes(item.record.data);
        if (bytes.size() >= 14) {
            std::vector<std::uint8_t> window(bytes.begin(), bytes.end());
            setU16(window, 10, shift(ByteReader::u16At(window, 10), inserted)); // itabCur
            setU16(window, 12, shift(ByteReader::u16At(window, 12), inserted)); // itabFirst
            item.record = model_.store.addRecord(item.record.type, std::move(window));
        }
    }
}

std::uint16_t SheetCopier::xtiForSheet(std::size_t sheet)
{
    auto& entries = *model_.externSheet;
    auto self = static_cast<std::uint16_t>(*model_.selfSupBook);
    auto index = static_cast<std::uint16_t>(sheet);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == ExternSheetEntry{self, index, index})
            return static_cast<std::uint16_t>(i);
    entries.push_back({self, index, index});
    return static_cast<std::uint16_t>(entries.size() - 1);
}

void SheetCopier::copyNames(std::size_t templateIndex, std::size_t copyIndex)
{
    std::size_t existing = model_.names.size();
    for (std::size_t n = 0; n < existing; ++n) {
        auto bytes = model_.store.bytes(model_.names[n]);
        auto itab = DefinedName::sheetOf(bytes);
        if (!itab || *itab != templateIndex + 1)
            continue;
        // References to the template alone now point at the copy; others stay.
        auto mapXti = [&](std::uint16_t xti) -> std::uint16_t {
            if (!model_.externSheet || !model_.selfSupBook || xti >= model_.externSheet->size())
                return xti;
            const auto entry = (*model_.externSheet)[xti];
            if (entry.supBook == *model_.selfSupBook && entry.firstSheet == templateIndex &&
                entry.lastSheet == templateIndex)
                return xtiForSheet(copyIndex);
            return xti;
        };
        auto copy = DefinedName::rewritten(bytes, static_cast<std::uint16_t>(copyIndex + 1), mapXti);
        if (copy)
            model_.names.push_back(model_.store.add(std::move(*copy)));
    }
}

} // namespace tavorin::xls
