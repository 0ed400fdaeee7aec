// Feeds arbitrary bytes to the readers of photos' metadata: the JPEG segment walk and its EXIF
// block (orientation and the patch that sets it to "as stored", the date taken), and the same
// bytes read as an EXIF block of their own, as a HEIF's Exif item is.
#include "platform/pictures/ExifBlock.h"
#include "platform/pictures/JpegExif.h"
#include "platform/pictures/JpegOrientation.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace tavorin::pictures;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    const JpegOrientation orientation = JpegOrientation::read(bytes);
    if (orientation.asStored && orientation.asStored->offset + orientation.asStored->bytes.size() > size)
        __builtin_trap(); // a patch outside the bytes it was read from
    (void)ExifBlock::read(bytes);
    return 0;
}
