#include "platform/xls/model/DefinedName.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordWriter.h"

namespace tavorin::xls::DefinedName {
namespace {

constexpr std::size_t fixedSize = 14;

struct FormulaPlace {
    std::size_t start = 0;
    std::size_t length = 0;
};

std::optional<FormulaPlace> formulaOf(std::span<const std::uint8_t> record)
{
    if (record.size() < fixedSize + 1)
        return std::nullopt;
    std::size_t nameLength = record[3];
    std::uint16_t formulaLength = ByteReader::u16At(record, 4);
    bool wide = (record[fixedSize] & 0x01) != 0;
    std::size_t start = fixedSize + 1 + nameLength * (wide ? 2 : 1);
    if (start + formulaLength > record.size())
        return std::nullopt;
    return FormulaPlace{start, formulaLength};
}

// Walks the parsed expression; for each 3-D reference calls visit(offset of its ixti).
// False for a token outside the set that names and print ranges use.
bool walk(std::span<const std::uint8_t> formula, const std::function<void(std::size_t)>& visit)
{
    std::size_t at = 0;
    while (at < formula.size()) {
        std::uint8_t token = formula[at];
        std::uint8_t base = token < 0x20 ? token : static_cast<std::uint8_t>((token & 0x1F) | 0x20);
        std::size_t size = 0;
        if (token >= 0x03 && token <= 0x16) {
            size = 1; // operators, parentheses, missing argument
        } else if (token == 0x17) { // PtgStr
            if (at + 2 >= formula.size())
                return false;
            size = 3 + std::size_t{formula[at + 1]} * ((formula[at + 2] & 1) ? 2 : 1);
        } else if (token == 0x1C || token == 0x1D) {
            size = 2;
        } else if (token == 0x1E) {
            size = 3;
        } else if (token == 0x1F) {
            size = 9;
        } else if (token >= 0x20) {
            switch (base) {
            case 0x21: size = 3; break;  // PtgFunc
            case 0x22: size = 4; break;  // PtgFuncVar
            case 0x23: size = 5; break;  // PtgName
            case 0x24: case 0x2A: size = 5; break; // PtgRef, PtgRefErr
            case 0x25: case 0x2B: size = 9; break; // PtgArea, PtgAreaErr
            case 0x26: case 0x27: case 0x28: size = 7; break; // PtgMemArea/Err/NoMem: subexpression follows
            case 0x29: size = 3; break;  // PtgMemFunc: subexpression follows
            case 0x39: size = 7; break;  // PtgNameX
            case 0x3A: case 0x3C: visit(at + 1); size = 7; break;  // PtgRef3d, PtgRefErr3d
            case 0x3B: case 0x3D: visit(at + 1); size = 11; break; // PtgArea3d, PtgAreaErr3d
            default: return false;
            }
        } else {
            return false;
        }
        if (size == 0 || at + size > formula.size())
            return false;
        at += size;
    }
    return true;
}

} // namespace

std::optional<std::uint16_t> sheetOf(std::span<const std::uint8_t> record)
{
    if (record.size() < fixedSize)
        return std::nullopt;
    return ByteReader::u16At(record, itabOffset);
}

std::optional<std::vector<std::uint8_t>> rewritten(std::span<const std::uint8_t> record, std::uint16_t itab,
                                                   const std::function<std::uint16_t(std::uint16_t)>& mapXti)
{
    auto place = formulaOf(record);
    if (!place)
        return std::nullopt;
    std::vector<std::uint8_t> copy(record.begin(), record.end());
    std::span<std::uint8_t> formula(copy.data() + place->start, place->length);
    bool known = walk(formula, [&](std::size_t at) { setU16(formula, at, mapXti(ByteReader::u16At(formula, at))); });
    if (!known)
        return std::nullopt;
    setU16(copy, itabOffset, itab);
    return copy;
}

std::optional<std::vector<std::uint16_t>> referencedXtis(std::span<const std::uint8_t> record)
{
    auto place = formulaOf(record);
    if (!place)
        return std::nullopt;
    auto formula = record.subspan(place->start, place->length);
    std::vector<std::uint16_t> xtis;
    if (!walk(formula, [&](std::size_t at) { xtis.push_back(ByteReader::u16At(formula, at)); }))
        return std::nullopt;
    return xtis;
}

} // namespace tavorin::xls::DefinedName
