#pragma once

#include "platform/pictures/BytePatch.h"
#include "platform/pictures/PictureOrientation.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tavorin::pictures {

// A JPEG's orientation as photo viewers apply it, and the patch that makes its tag say "as
// stored" (only when the orientation turns or mirrors the picture).
struct JpegOrientation {
    PictureOrientation orientation;
    std::optional<BytePatch> asStored;

    static JpegOrientation read(std::span<const std::uint8_t> fileStart);
};

} // namespace tavorin::pictures
