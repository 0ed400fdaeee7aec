#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tavorin::xls {

// The parts of a NAME (Lbl, [MS-XLS] 2.4.150) record that copying a sheet touches: the sheet it
// belongs to, and the sheet references (XTI indexes) of its formula.
namespace DefinedName {

inline constexpr std::size_t itabOffset = 8;

// itab: 0 for a workbook-level name, else the 1-based index of the sheet it belongs to.
std::optional<std::uint16_t> sheetOf(std::span<const std::uint8_t> record);

// A copy of the record with itab replaced and every XTI index of its formula passed through
// mapXti. Nothing when the formula holds a token this reader does not know (the name is then
// not copied rather than copied wrongly).
std::optional<std::vector<std::uint8_t>> rewritten(std::span<const std::uint8_t> record, std::uint16_t itab,
                                                   const std::function<std::uint16_t(std::uint16_t)>& mapXti);

// The XTI indexes that the formula refers to; nothing when the formula cannot be read.
std::optional<std::vector<std::uint16_t>> referencedXtis(std::span<const std::uint8_t> record);

} // namespace DefinedName

} // namespace tavorin::xls
