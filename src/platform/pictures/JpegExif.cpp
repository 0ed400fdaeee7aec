#include "platform/pictures/JpegExif.h"

#include <algorithm>
#include <array>

namespace tavorin::pictures {
namespace {

constexpr std::uint8_t markerStartOfScan = 0xDA;
constexpr std::uint8_t markerEndOfImage = 0xD9;
constexpr std::uint8_t markerApp1 = 0xE1;
constexpr std::array<std::uint8_t, 6> exifHeader{'E', 'x', 'i', 'f', 0, 0};

// Markers that stand alone, without a length: TEM and the restart markers.
bool standalone(std::uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

} // namespace

std::optional<JpegExif> JpegExif::find(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return std::nullopt;
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (bytes[at] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == markerStartOfScan || marker == markerEndOfImage)
            return std::nullopt;
        if (standalone(marker)) {
            at += 2;
            continue;
        }
        const std::size_t length = (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (length < 2)
            return std::nullopt;
        const std::size_t data = at + 4;
        const std::size_t dataLength = length - 2;
        if (marker == markerApp1 && dataLength >= exifHeader.size() && data + exifHeader.size() <= bytes.size() &&
            std::equal(exifHeader.begin(), exifHeader.end(), bytes.begin() + static_cast<std::ptrdiff_t>(data))) {
            const std::size_t tiff = data + exifHeader.size();
            const std::size_t available = std::min(dataLength - exifHeader.size(), bytes.size() - tiff);
            return JpegExif{tiff, bytes.subspan(tiff, available)};
        }
        at = data + dataLength;
    }
    return std::nullopt;
}

} // namespace tavorin::pictures
