#include "support/BitmapSamples.h"

#include <QBuffer>
#include <QImage>

#include <utility>

namespace tavorin::test {
namespace {

void putBe16(PictureBytes& out, unsigned value)
{
    out.insert(out.end(), {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}
void putBe32(PictureBytes& out, std::uint32_t value)
{
    putBe16(out, value >> 16), putBe16(out, value & 0xFFFF);
}

} // namespace

PictureBytes denseBitmap(const char* format)
{
    QImage image(300, 150, QImage::Format_RGB32);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 300; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y) % 256, (y * 11) % 256, (x * y) % 256));
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(5906);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return PictureBytes(bytes.begin(), bytes.end());
}

// A TIFF header, three fields (XResolution, YResolution: rationals; ResolutionUnit 2: inches), no
// further field list, then the rationals 440/2 and 110/1.
PictureBytes jpegWithExifResolution(const PictureBytes& jpeg)
{
    PictureBytes tiff{'M', 'M', 0, 42};
    const std::uint32_t rationals = 8 + 2 + 3 * 12 + 4;
    const std::pair<std::uint32_t, int> fields[] = {
        {8, 4}, {3, 2}, {282, 2},           {5, 2},   {1, 4},   {rationals, 4}, {283, 2},
        {5, 2}, {1, 4}, {rationals + 8, 4}, {296, 2}, {3, 2},   {1, 4},         {2, 2},
        {0, 2}, {0, 4}, {440, 4},           {2, 4},   {110, 4}, {1, 4}};
    for (const auto& [value, size] : fields)
        size == 2 ? putBe16(tiff, value) : putBe32(tiff, value);
    PictureBytes segment{0xFF, 0xE1};
    putBe16(segment, static_cast<unsigned>(2 + 6 + tiff.size()));
    segment.insert(segment.end(), {'E', 'x', 'i', 'f', 0, 0});
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    PictureBytes out = jpeg;
    out.insert(out.begin() + 4 + ((jpeg[4] << 8) | jpeg[5]), segment.begin(), segment.end());
    return out;
}

PictureBytes rle8Bitmap()
{
    const PictureBytes pixels{2, 1, 2, 2, 0, 0, 4, 3, 0, 1};
    PictureBytes file{'B', 'M'};
    for (std::uint32_t field : {14u + 40 + 16 + 10, 0u, 14u + 40 + 16, 40u, 4u, 2u, 0x00080001u, 1u, 10u, 0u,
                                0u, 4u, 0u, 0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu})
        for (int shift : {0, 8, 16, 24})
            file.push_back(static_cast<std::uint8_t>(field >> shift));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

} // namespace tavorin::test
