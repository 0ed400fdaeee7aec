#include "platform/pictures/PictureOrientation.h"

#include <QTransform>

namespace tavorin::pictures {

PictureOrientation PictureOrientation::fromExif(std::uint32_t value)
{
    switch (value) {
    case 2: return {true, 0};
    case 3: return {false, 180};
    case 4: return {true, 180};
    case 5: return {true, 270};
    case 6: return {false, 90};
    case 7: return {true, 90};
    case 8: return {false, 270};
    default: return {};
    }
}

QImage PictureOrientation::appliedTo(const QImage& stored) const
{
    if (stored.isNull() || isIdentity())
        return stored;
    QImage shown = mirrored ? stored.mirrored(true, false) : stored;
    if (clockwise != 0)
        shown = shown.transformed(QTransform().rotate(clockwise));
    return shown;
}

} // namespace tavorin::pictures
