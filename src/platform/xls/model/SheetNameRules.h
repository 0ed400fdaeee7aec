#pragma once

#include "platform/xls/Result.h"

#include <string>
#include <vector>

namespace tavorin::xls {

// Excel's rules for sheet names: 1 to 31 characters, none of : \ / ? * [ ], not beginning or
// ending with an apostrophe, and not used by another sheet (compared without regard to case).
namespace SheetNameRules {

inline constexpr std::size_t maximumLength = 31;

// Why the name cannot be given to a sheet among `others` (the other sheets' names), or success.
Status check(const std::u16string& name, const std::vector<std::u16string>& others);

// The name Excel gives a copy of `original`: its base (without a " (n)" suffix) followed by
// " (n)" with the smallest n from 2 on that no sheet uses, the base shortened to fit 31.
std::u16string copyName(const std::u16string& original, const std::vector<std::u16string>& existing);

bool sameName(const std::u16string& a, const std::u16string& b);

} // namespace SheetNameRules

} // namespace tavorin::xls
