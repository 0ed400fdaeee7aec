#pragma once

#include "platform/xls/drawing/PictureFormat.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace tavorin::xls {

// What a picture file says about itself in its header: its size in pixels and its resolution
// for bitmaps, its frame for metafiles, and from these its natural size in points.
struct PictureHeader {
    static constexpr double defaultDpi = 96.0;

    // Bitmaps: pixels and dots per inch (96 when the file gives none).
    int pixelWidth = 0;
    int pixelHeight = 0;
    double dpiX = defaultDpi;
    double dpiY = defaultDpi;

    // JPEG: colour components of the frame (4 for CMYK pictures).
    int jpegComponents = 0;

    // Metafiles: what the blip's metafile header records. bounds is the picture's rectangle in
    // the metafile's own units (right and bottom exclusive); frameEmu its size in EMUs.
    std::array<std::int32_t, 4> bounds{};
    std::array<std::int32_t, 2> frameEmu{};
    // A WMF's placeable header (22 bytes) is not part of the metafile the blip stores.
    std::size_t metafileOffset = 0;

    // Natural size in points.
    double widthPoints = 0;
    double heightPoints = 0;

    // Where a DIB's pixels start (for a BMP file header made up in front of it).
    std::uint64_t dibPixelOffset = 0;

    // Reads the header of bytes known to be in format (the whole file, or at least its
    // header). Fails, saying why, when the header is damaged or gives no usable size.
    static Result<PictureHeader> read(PictureFormat format, std::span<const std::uint8_t> bytes);
};

} // namespace tavorin::xls
