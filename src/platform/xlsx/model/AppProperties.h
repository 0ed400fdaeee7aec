#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavorin::xlsx {

// The application properties part (docProps/app.xml) lists the worksheets by name under a
// heading with their count (HeadingPairs and TitlesOfParts). Excel does not need it, but other
// programs show it; after sheets are added or renamed it must still agree with the workbook.
namespace AppProperties {

// The part with its worksheet group (the heading whose titles are exactly `before`) listing
// `after` instead; nothing when the part is not laid out that way (it is then left alone).
std::optional<std::string> withWorksheets(std::string_view bytes, const std::vector<std::string>& before,
                                          const std::vector<std::string>& after);

} // namespace AppProperties

} // namespace tavorin::xlsx
