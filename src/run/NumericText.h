#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tavorin {

// The number formed by the leading numeric part of a text, 0 when there is none: blanks are
// skipped, then an optional sign, digits with at most one decimal point and an optional
// exponent ("  12abc" -> 12, "1 2" -> 12, "-3.5e1x" -> -35, "abc" -> 0).
double leadingNumericValue(const QString& text);

// The whole number a text holds, if it is one from -32768 to 32767 (surrounding blanks
// allowed: " 7" -> 7; "1.5", "", "99999", "7a" -> none).
std::optional<std::int16_t> wholeNumber16(const QString& text);

} // namespace tavorin
