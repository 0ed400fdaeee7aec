#pragma once

namespace tavorin::xls {

// Conversions between the ways Excel measures a column, for a given maximum digit width (MDW,
// pixels at 96 dpi). Sources: the column width text of ECMA-376 Part 1 (18.3.1.13) and
// Microsoft's explanation of its padding and rounding (MSDN forum "Margin padding in cell").
//
//   coldx         COLINFO / STANDARDWIDTH: 1/256 of a character, padding included
//   characters    what ColumnWidth reads and takes: digits that fit, padding excluded
//   pixels        what the screen shows at 96 dpi; points = pixels * 3/4
namespace column_width {

// Cell margin and gridline padding in pixels: 2 * max(2, ceil(MDW/4)) + 1, so 5 for MDW up to 8.
int paddingPixels(int mdw);

// Pixels of a column stored as coldx: trunc(((256*w + trunc(128/MDW)) / 256) * MDW), w = coldx/256.
int pixelsFromColdx(int coldx, int mdw);

// The coldx that gives exactly `pixels` back through pixelsFromColdx: trunc(256 * pixels / MDW).
int coldxFromPixels(int pixels, int mdw);

// Default column from DEFCOLWIDTH (characters, padding excluded): characters*MDW + padding,
// rounded up to a multiple of 8 px (8 characters of Arial 10 give 61 px, shown as 64).
int pixelsFromDefaultCharacters(int characters, int mdw);

// ColumnWidth as Excel reports it for a column of `pixels`, to 2 decimals: (px - padding)/MDW,
// or px/(MDW + padding) for a column narrower than one digit plus padding; 0 when hidden.
double charactersFromPixels(int pixels, int mdw);

// Pixels that a ColumnWidth value gives: round(chars*MDW) + padding from one character on,
// round(chars*(MDW + padding)) below. Values are clamped to Excel's 0-255 characters.
int pixelsFromCharacters(double characters, int mdw);

} // namespace column_width
} // namespace tavorin::xls
