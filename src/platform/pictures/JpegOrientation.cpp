#include "platform/pictures/JpegOrientation.h"

#include "platform/pictures/ExifBlock.h"
#include "platform/pictures/JpegExif.h"

namespace tavorin::pictures {

JpegOrientation JpegOrientation::read(std::span<const std::uint8_t> fileStart)
{
    JpegOrientation result;
    auto exif = JpegExif::find(fileStart);
    if (!exif)
        return result;
    const ExifBlock block = ExifBlock::read(exif->tiff);
    if (!block.orientation || !block.orientationOffset)
        return result;
    result.orientation = PictureOrientation::fromExif(*block.orientation);
    if (!result.orientation.isIdentity()) {
        const auto value = block.asStoredValue();
        result.asStored = BytePatch{exif->offset + *block.orientationOffset, {value[0], value[1]}};
    }
    return result;
}

} // namespace tavorin::pictures
