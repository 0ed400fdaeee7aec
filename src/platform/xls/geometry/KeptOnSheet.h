#pragma once

#include <algorithm>

namespace tavorin::xls {

// Excel keeps every shape on the sheet: a rectangle (left, top, width, height in points) that
// starts before the first cell or reaches past the last column or row is moved back onto the
// sheet, and cut to it when larger. Both engines anchor their pictures this way.
template <typename Rectangle>
Rectangle keptOnSheet(Rectangle box, double sheetWidth, double sheetHeight)
{
    box.width = std::min(box.width, sheetWidth);
    box.height = std::min(box.height, sheetHeight);
    box.left = std::clamp(box.left, 0.0, sheetWidth - box.width);
    box.top = std::clamp(box.top, 0.0, sheetHeight - box.height);
    return box;
}

} // namespace tavorin::xls
