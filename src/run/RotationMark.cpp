#include "run/RotationMark.h"

namespace tavorin {

QString nextRotationMark(const QString& mark)
{
    if (mark == rotationMark::none)
        return rotationMark::right;
    if (mark == rotationMark::right)
        return rotationMark::upsideDown;
    if (mark == rotationMark::upsideDown)
        return rotationMark::left;
    if (mark == rotationMark::left)
        return rotationMark::none;
    return mark;
}

std::optional<int> rotationDegrees(const QString& mark)
{
    if (mark == rotationMark::none)
        return 0;
    if (mark == rotationMark::right)
        return 90;
    if (mark == rotationMark::upsideDown)
        return 180;
    if (mark == rotationMark::left)
        return 270;
    return std::nullopt;
}

QString rotationMarkFor(int degrees)
{
    switch (degrees) {
    case 90:
        return rotationMark::right;
    case 180:
        return rotationMark::upsideDown;
    case 270:
        return rotationMark::left;
    default:
        return rotationMark::none;
    }
}

} // namespace tavorin
