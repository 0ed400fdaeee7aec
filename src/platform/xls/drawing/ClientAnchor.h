#pragma once

#include <cstdint>

namespace tavorin::xls {

// A shape's place on a sheet as the OfficeArtClientAnchor of a worksheet stores it: the cells of
// its top-left and bottom-right corners, with the offsets inside them in 1/1024 of the column
// width and 1/256 of the row height ([MS-XLS] 2.5.196 OfficeArtClientAnchorSheet).
struct ClientAnchor {
    static constexpr std::uint16_t moveAndSize = 0;
    static constexpr std::uint16_t moveOnly = 2;
    static constexpr std::uint16_t absolute = 3;

    std::uint16_t flags = moveOnly;
    std::uint16_t firstColumn = 0, firstColumnOffset = 0;
    std::uint16_t firstRow = 0, firstRowOffset = 0;
    std::uint16_t lastColumn = 0, lastColumnOffset = 0;
    std::uint16_t lastRow = 0, lastRowOffset = 0;

    friend bool operator==(const ClientAnchor&, const ClientAnchor&) = default;
};

} // namespace tavorin::xls
