#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tavorin::xls {

// The number formats of the date caption, by the position chosen in the option panel (UTF-8,
// written to the cell exactly as here). 4 and 5 show the Japanese era (locale 411); 2 uses the
// English AM/PM marker (locale 409).
inline constexpr std::array<std::string_view, 8> dateCaptionFormats{
    "yyyy\"年\"m\"月\"d\"日\";@",
    "yyyy/m/d;@",
    "[$-409]yyyy/m/d h:mm AM/PM;@",
    "yyyy/m/d h:mm;@",
    "[$-411]ggge\"年\"m\"月\"d\"日\";@",
    "[$-411]ge.m.d;@",
    "m\"月\"d\"日\";@",
    "m/d;@",
};

// The format for a position, or nothing for a position outside 0-7 (then no format is written).
inline std::optional<std::string_view> dateCaptionFormat(int position)
{
    if (position < 0 || position >= static_cast<int>(dateCaptionFormats.size()))
        return std::nullopt;
    return dateCaptionFormats[static_cast<std::size_t>(position)];
}

} // namespace tavorin::xls
