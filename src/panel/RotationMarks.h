#pragma once

#include "lists/PictureTableWidgets.h"

#include <QPoint>

#include <cstdint>

namespace tavorin {

// The rotation mark column List4: a double-click steps the mark of the row under the pointer
// through ○ → ↓ ←; the pointer tracking remembers that row and, while the left button alone is
// held, makes it the current row of the picture table.
class RotationMarks {
  public:
    RotationMarks(const PictureTableWidgets& widgets, std::int32_t& pointedIndex);

    // Press and move over List4 (Button as a bit set: 1 left, 2 right, 4 middle).
    void trackPointer(std::int16_t button, const QPoint& viewportPosition);
    void List4_DblClick();

  private:
    PictureTableWidgets widgets_;
    std::int32_t& pointedIndex_;
};

} // namespace tavorin
