#pragma once

#include "platform/pictures/PictureOrientation.h"

namespace tavorin::pictures {

// How a workbook shows a photo as viewers do: its JPEG kept (its orientation tag set to "as
// stored"), the picture's shape turned clockwise; for the mirrored orientations the pixels are
// first transposed without loss. A mirror then a turn c is the transpose then a turn c + 90°.
// Spreadsheet programs agree on a shape's rotation, but not on a mirrored shape's rotation:
// LibreOffice's .xls import turns a flipped picture the other way round. So no shape is flipped.
struct StoredTurn {
    bool transpose = false;
    int clockwise = 0; // 0, 90, 180 or 270

    static StoredTurn of(const PictureOrientation& orientation)
    {
        if (!orientation.mirrored)
            return {false, orientation.clockwise};
        return {true, (orientation.clockwise + 90) % 360};
    }
};

} // namespace tavorin::pictures
