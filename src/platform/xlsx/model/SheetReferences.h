#pragma once

#include <string>
#include <string_view>

namespace tavorin::xlsx {

// Sheet names inside formulas (defined names such as a print area: 'My Sheet'!$A$1:$H$60).
namespace SheetReferences {

// The name as a formula writes it before "!": quoted ('It''s') unless it is plain letters,
// digits, underscores and dots not starting with a digit.
std::string quoted(std::string_view sheetName);

// The formula with every reference to sheet `from` (compared without regard to ASCII case)
// turned into one to sheet `to`; text inside string literals is left alone.
std::string renamed(std::string_view formula, std::string_view from, std::string_view to);

} // namespace SheetReferences

} // namespace tavorin::xlsx
