#pragma once

#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookModel.h"

#include <cstdint>
#include <string>

namespace tavorin::xls {

// Number formats (FORMAT) and cell formats (XF) of a workbook, as a cell's number format is
// changed: the format string gets a FORMAT record (an existing one with the same text is
// reused), and the cell an XF cloned from its own with only the number format changed. Equal
// XFs are shared, so formatting many cells alike adds one XF.
namespace CellFormats {

inline constexpr std::uint16_t firstUserFormat = 164;
inline constexpr std::size_t maximumFormatRecords = 218;
inline constexpr std::size_t maximumCellFormats = 4050;
inline constexpr std::uint16_t defaultCellFormat = 15;

// The ifmt of a format string, adding a FORMAT record when the workbook has none with it.
Result<std::uint16_t> numberFormatIndex(WorkbookModel& model, const std::u16string& format);

// The ifmt that XF xf uses; 0 (General) for an index outside the table.
std::uint16_t numberFormatOf(const WorkbookModel& model, std::uint16_t xf);

// An XF like xf but with number format ifmt (marked as set on the cell, not taken from the
// style), reusing an equal XF when there is one.
Result<std::uint16_t> withNumberFormat(WorkbookModel& model, std::uint16_t xf, std::uint16_t ifmt);

} // namespace CellFormats

} // namespace tavorin::xls
