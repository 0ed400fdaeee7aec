#pragma once

#include "platform/CalendarDateTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavorin::pictures {

// What this program reads from a photo's EXIF block (the TIFF structure a JPEG carries in its
// APP1 segment and a HEIF in its Exif item): the orientation, where its value lies so that it
// can be set to "as stored" in place, and the date the photo was taken.
//
// A reader of our own rather than a library: it needs two tags, the byte position of one of them
// and no pixels, and it walks only IFD0 and the Exif IFD it points to. Every count and offset is
// checked against the block, nothing is followed twice, and a block that is damaged anywhere
// simply yields less: no orientation, no date.
struct ExifBlock {
    // Tag 0x0112 (SHORT) in IFD0, when it holds 1 to 8.
    std::optional<std::uint16_t> orientation;
    // Offset of that value's two bytes from the start of the block, and their byte order.
    std::optional<std::size_t> orientationOffset;
    bool bigEndian = false;
    // DateTimeOriginal (0x9003) of the Exif IFD, "YYYY:MM:DD HH:MM:SS" on the camera's clock.
    std::optional<CalendarDateTime> taken;

    static ExifBlock read(std::span<const std::uint8_t> tiff);
    // The two bytes of an orientation of 1 ("as stored") in this block's byte order.
    std::array<std::uint8_t, 2> asStoredValue() const
    {
        return bigEndian ? std::array<std::uint8_t, 2>{0, 1} : std::array<std::uint8_t, 2>{1, 0};
    }
};

// "YYYY:MM:DD HH:MM:SS" as a calendar date and time; nothing for a blank or impossible one.
std::optional<CalendarDateTime> exifDateTime(std::span<const std::uint8_t> text);

} // namespace tavorin::pictures
