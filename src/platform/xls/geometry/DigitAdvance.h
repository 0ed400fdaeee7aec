#pragma once

#include <optional>
#include <string_view>

namespace tavorin::xls {

// The advance of the digit '0' in em of the face this machine shows for a font name (its own,
// or the one font matching puts in its place, as LibreOffice does); nothing when no font
// database is at hand (a program without a graphical application object).
std::optional<double> digitAdvanceEm(std::string_view face);

} // namespace tavorin::xls
