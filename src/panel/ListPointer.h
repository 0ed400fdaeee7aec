#pragma once

#include <QListWidget>
#include <QMouseEvent>
#include <QPoint>

#include <cstdint>

namespace tavorin {

// The mouse buttons as the list handlers have always seen them: a bit set, 1 left, 2 right,
// 4 middle. Other buttons play no part.
inline std::int16_t buttonBits(Qt::MouseButtons buttons)
{
    std::int16_t bits = 0;
    if (buttons.testFlag(Qt::LeftButton))
        bits |= 1;
    if (buttons.testFlag(Qt::RightButton))
        bits |= 2;
    if (buttons.testFlag(Qt::MiddleButton))
        bits |= 4;
    return bits;
}

// The row of the list under a point of its viewport, or -1 when the point lies outside the list
// or below its last row.
inline int rowAt(const QListWidget* list, const QPoint& viewportPosition)
{
    if (!list->viewport()->rect().contains(viewportPosition))
        return -1;
    return list->indexAt(viewportPosition).row();
}

// The pointer position in twips, single precision, as the mouse handlers take it.
inline float twipsCoordinate(qreal pixels)
{
    return static_cast<float>(pixels * 15.0);
}

} // namespace tavorin
