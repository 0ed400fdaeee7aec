#pragma once

#include <QString>

#include <string>

namespace tavorin {

class SpreadsheetWorksheet;

// The size and place of a picture block in points, as read from the sheet (single precision).
struct BlockGeometry {
    float width = 0;
    float height = 0;
    float top = 0;
    float left = 0;
};

// Fits an inserted picture into its block at the magnification (1 = 100 %), turns it by its
// mark and centres it. The mark turns the picture as it came in: a photo the spreadsheet turned
// upright (its EXIF orientation) is turned further from there. A picture turned by 90 or 270
// degrees in all shows its frame's width upright, so its width is fitted against the block's
// height. Each sheet call that fails is skipped and
// the next one is made. A text that is no mark leaves the picture as it was inserted.
void fitPictureInBlock(SpreadsheetWorksheet& sheet, const std::string& shape, const QString& mark,
                       double magnification, const BlockGeometry& block);

} // namespace tavorin
