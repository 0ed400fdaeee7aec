#pragma once

#include <string_view>

namespace tavorin::xls {

// The maximum digit width (MDW): the widest of the digits 0-9 of the Normal style's font, in
// pixels at 96 dpi. Column widths in a workbook are stored in units of it, so every horizontal
// position that Excel shows depends on it.
struct MaximumDigitWidth {
    int pixels = 7;
    // True when the face and size were measured (a table entry); false when the width is an
    // estimate from the face's digit advance or, for an unknown face, from its size alone.
    bool measured = false;
};

// MDW of a font given by its face name (UTF-8, as the FONT record spells it: Japanese or
// English names) and its height in twips (FONT.dyHeight, 1/20 point).
//
// Known faces and sizes come from a table. Other sizes of a known face scale its digit advance
// with the pixel size of the em (rounded half up; the MS Gothic family rounds its half-width cell
// up, as its bitmap strikes do). An unknown face is estimated at 0.55 em, between Arial's and
// Calibri's digits, which gives 7 px at 10 and 11 pt like most Western default fonts.
MaximumDigitWidth maximumDigitWidth(std::string_view face, int heightTwips);

// The digit advance in em of a face in the table above (0.55 for an unknown one).
double digitAdvanceOfFace(std::string_view face);

} // namespace tavorin::xls
