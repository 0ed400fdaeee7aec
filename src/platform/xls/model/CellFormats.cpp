#include "platform/xls/model/CellFormats.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordWriter.h"

#include <algorithm>

namespace tavorin::xls::CellFormats {
namespace {

constexpr std::uint16_t styleFlag = 0x0004;
constexpr std::uint16_t numberFormatUsed = 0x0400;
constexpr std::size_t maximumFormatLength = 255;

Error formatError(const std::string& message) { return Error{message, "cell formats", {}, {}}; }

} // namespace

Result<std::uint16_t> numberFormatIndex(WorkbookModel& model, const std::u16string& format)
{
    for (const auto& existing : model.formats)
        if (existing.text == format)
            return existing.index;
    if (format.empty() || format.size() > maximumFormatLength)
        return formatError("a number format has 1 to 255 characters");
    if (model.formats.size() >= maximumFormatRecords)
        return formatError("the workbook holds as many number formats as it can (218)");
    std::uint16_t index = firstUserFormat;
    for (const auto& existing : model.formats)
        if (existing.index >= index)
            index = static_cast<std::uint16_t>(existing.index + 1);
    model.ensureGlobalsItem(WorkbookModel::Kind::Formats);
    model.formats.push_back(NumberFormat{index, format, std::nullopt});
    return index;
}

std::uint16_t numberFormatOf(const WorkbookModel& model, std::uint16_t xf)
{
    if (xf >= model.cellFormats.size())
        return 0;
    return ByteReader::u16At(model.store.bytes(model.cellFormats[xf]), 2);
}

Result<std::uint16_t> withNumberFormat(WorkbookModel& model, std::uint16_t xf, std::uint16_t ifmt)
{
    if (xf >= model.cellFormats.size())
        return formatError("the cell's format " + std::to_string(xf) + " is not in the workbook");
    auto source = model.store.bytes(model.cellFormats[xf]);
    std::vector<std::uint8_t> clone(source.begin(), source.end());
    setU16(clone, 2, ifmt);
    std::uint16_t flags = ByteReader::u16At(clone, 4);
    if (flags & styleFlag) {
        // A cell never uses a style XF itself; the clone is a cell XF whose parent is that style.
        flags = static_cast<std::uint16_t>((flags & 0x000F & ~styleFlag) | (xf << 4));
        setU16(clone, 4, flags);
    }
    setU16(clone, 8, ByteReader::u16At(clone, 8) | numberFormatUsed);
    for (std::size_t i = 0; i < model.cellFormats.size(); ++i) {
        auto candidate = model.store.bytes(model.cellFormats[i]);
        if (candidate.size() == clone.size() && std::equal(candidate.begin(), candidate.end(), clone.begin()))
            return static_cast<std::uint16_t>(i);
    }
    if (model.cellFormats.size() >= maximumCellFormats)
        return formatError("the workbook holds as many cell formats as it can");
    model.cellFormats.push_back(model.store.add(std::move(clone)));
    return static_cast<std::uint16_t>(model.cellFormats.size() - 1);
}

} // namespace tavorin::xls::CellFormats
