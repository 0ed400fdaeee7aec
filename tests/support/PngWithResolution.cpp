#include "support/PngWithResolution.h"

#include <zlib.h>

#include <cmath>
#include <string_view>

namespace tavorin::test {
namespace {

std::uint32_t be32(const PictureBytes& b, std::size_t at)
{
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 |
           b[at + 3];
}

void putBe32(PictureBytes& b, std::uint32_t value)
{
    for (int shift : {24, 16, 8, 0})
        b.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t pixelsPerMetre(double dpi)
{
    return static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
}

} // namespace

PictureBytes pngWithResolution(const PictureBytes& png, double dpiX, double dpiY)
{
    constexpr std::size_t signature = 8, afterHeader = 8 + 25; // IHDR: length, type, 13 bytes, CRC
    PictureBytes out(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(afterHeader));
    PictureBytes chunk{'p', 'H', 'Y', 's'};
    putBe32(chunk, pixelsPerMetre(dpiX));
    putBe32(chunk, pixelsPerMetre(dpiY));
    chunk.push_back(1); // unit: the metre
    putBe32(out, 9);
    out.insert(out.end(), chunk.begin(), chunk.end());
    putBe32(out, static_cast<std::uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size()))));
    for (std::size_t at = afterHeader; signature <= at && at + 12 <= png.size();) {
        const std::size_t next = at + 12 + be32(png, at);
        if (std::string_view(reinterpret_cast<const char*>(png.data() + at + 4), 4) != "pHYs")
            out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(at),
                       png.begin() + static_cast<std::ptrdiff_t>(std::min(next, png.size())));
        at = next;
    }
    return out;
}

} // namespace tavorin::test
