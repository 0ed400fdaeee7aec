#pragma once

#include "platform/CalendarDateTime.h"

#include <string>
#include <variant>

namespace tavorin {

// What a caption writes into a cell: text (UTF-8), a number, or a date that the workbook keeps
// as a date serial number.
using CellValue = std::variant<std::string, double, CalendarDateTime>;

} // namespace tavorin
