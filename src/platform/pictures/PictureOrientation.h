#pragma once

#include <QImage>

#include <cstdint>

namespace tavorin::pictures {

// How a photo viewer turns a picture's stored pixels to show it: mirrored left to right first
// (when mirrored), then turned clockwise by a quarter-turn multiple. The eight EXIF orientations
// are the eight combinations; a spreadsheet shape shows the same with its horizontal flip and
// rotation, which it applies in this order too.
struct PictureOrientation {
    bool mirrored = false;
    int clockwise = 0; // 0, 90, 180 or 270

    // The EXIF orientation tag's value (TIFF 6.0 / Exif 2.32, tag 0x0112): 1 as stored,
    // 2 mirrored, 3 turned 180°, 4 mirrored and turned 180° (the same as flipped top to bottom),
    // 5 mirrored and turned 270°, 6 turned 90°, 7 mirrored and turned 90°, 8 turned 270°.
    // Any other value is no orientation: the pixels as stored.
    static PictureOrientation fromExif(std::uint32_t value);

    bool isIdentity() const { return !mirrored && clockwise == 0; }
    // Turned by a quarter: the shown picture has its sides exchanged.
    bool sideways() const { return clockwise == 90 || clockwise == 270; }
    // The stored pixels as shown.
    QImage appliedTo(const QImage& stored) const;

    friend bool operator==(const PictureOrientation&, const PictureOrientation&) = default;
};

} // namespace tavorin::pictures
