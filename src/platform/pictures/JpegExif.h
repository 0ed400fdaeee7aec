#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tavorin::pictures {

// The EXIF block of a JPEG: the TIFF structure in its first APP1 segment that begins with
// "Exif\0\0", found by walking the segments in front of the picture data (never past the start of
// scan, never outside the bytes given, every length checked).
struct JpegExif {
    std::size_t offset = 0;            // of the TIFF header, from the start of the file
    std::span<const std::uint8_t> tiff; // the block, as far as the bytes given reach

    static std::optional<JpegExif> find(std::span<const std::uint8_t> fileStart);
};

} // namespace tavorin::pictures
