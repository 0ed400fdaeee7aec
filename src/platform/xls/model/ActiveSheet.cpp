#include "platform/xls/model/ActiveSheet.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/WorkbookRecordType.h"

namespace tavorin::xls::ActiveSheet {
namespace {

constexpr std::uint16_t selected = 0x0200; // WINDOW2.fSelected
constexpr std::uint16_t shown = 0x0400;    // WINDOW2.fPaged: the sheet in the window
constexpr std::size_t currentTab = 10, firstTab = 12, selectedTabs = 14; // in WINDOW1

std::optional<DataRef> window2Of(const SheetModel& sheet)
{
    if (sheet.unread)
        return sheet.unread->window2;
    if (sheet.window2Item)
        return sheet.items[*sheet.window2Item].record.data;
    return std::nullopt;
}

// Sets or clears the two flags on one sheet, reading it only when they change.
void markSheet(WorkbookModel& model, SheetModel& sheet, bool active)
{
    auto record = window2Of(sheet);
    if (!record || model.store.bytes(*record).size() < 2)
        return;
    std::uint16_t flags = ByteReader::u16At(model.store.bytes(*record), 0);
    std::uint16_t wanted = active ? static_cast<std::uint16_t>(flags | selected | shown)
                                  : static_cast<std::uint16_t>(flags & ~(selected | shown));
    if (wanted == flags || !model.load(sheet) || !sheet.window2Item)
        return;
    auto& item = sheet.items[*sheet.window2Item];
    auto bytes = model.store.bytes(item.record.data);
    std::vector<std::uint8_t> changed(bytes.begin(), bytes.end());
    changed[0] = static_cast<std::uint8_t>(wanted);
    changed[1] = static_cast<std::uint8_t>(wanted >> 8);
    item.record = model.store.addRecord(RecordType::Window2, std::move(changed));
}

void setU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

std::size_t current(const WorkbookModel& model)
{
    if (!model.window1Item)
        return 0;
    auto bytes = model.store.bytes(model.globals[*model.window1Item].record.data);
    std::size_t tab = bytes.size() > currentTab + 1 ? ByteReader::u16At(bytes, currentTab) : 0;
    return tab < model.sheets.size() ? tab : 0;
}

void make(WorkbookModel& model, std::size_t index)
{
    if (index >= model.sheets.size())
        return;
    for (std::size_t i = 0; i < model.sheets.size(); ++i)
        if (model.sheets[i]->isWorksheet())
            markSheet(model, *model.sheets[i], i == index);
    if (!model.window1Item)
        return;
    auto& item = model.globals[*model.window1Item];
    auto bytes = model.store.bytes(item.record.data);
    if (bytes.size() < selectedTabs + 2)
        return;
    std::vector<std::uint8_t> window(bytes.begin(), bytes.end());
    setU16(window, currentTab, index);
    if (ByteReader::u16At(bytes, firstTab) > index)
        setU16(window, firstTab, index);
    setU16(window, selectedTabs, 1);
    if (!std::equal(window.begin(), window.end(), bytes.begin(), bytes.end()))
        item.record = model.store.addRecord(RecordType::Window1, std::move(window));
}

} // namespace tavorin::xls::ActiveSheet
