#include "support/PhotoSamples.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <libheif/heif.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tavorin::test {
namespace {

const QColor frameGreen(0, 150, 0);

void put16(Bytes& out, unsigned value, bool big)
{
    const std::array<std::uint8_t, 2> bytes{std::uint8_t(value & 0xFF), std::uint8_t(value >> 8)};
    out.push_back(big ? bytes[1] : bytes[0]);
    out.push_back(big ? bytes[0] : bytes[1]);
}

void put32(Bytes& out, std::uint32_t value, bool big)
{
    put16(out, big ? value >> 16 : value & 0xFFFF, big);
    put16(out, big ? value & 0xFFFF : value >> 16, big);
}

void entry(Bytes& out, unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value, bool big)
{
    put16(out, tag, big);
    put16(out, type, big);
    put32(out, count, big);
    if (type == 3) { // a SHORT sits in the first two bytes of the value field
        put16(out, value, big);
        put16(out, 0, big);
    } else {
        put32(out, value, big);
    }
}

// Mean colourfulness (largest channel - smallest) and blueness (blue - red) of a rectangle.
struct Tint {
    double colour = 0, blue = 0;
};
Tint tintOf(const QImage& image, QRect area)
{
    Tint tint;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            tint.colour += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            tint.blue += c.blue() - c.red();
            ++count;
        }
    if (count > 0) {
        tint.colour /= count;
        tint.blue /= count;
    }
    return tint;
}

} // namespace

QImage uprightPhoto(QSize size)
{
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(frameGreen);
    QPainter painter(&photo);
    const int frame = std::max(2, size.width() / 60);
    painter.fillRect(frame, frame, size.width() - 2 * frame, size.height() - 2 * frame, Qt::white);
    const int band = size.height() / 5;
    painter.fillRect(frame, frame, size.width() - 2 * frame, band, QColor(220, 0, 0));
    painter.fillRect(frame, frame, size.width() / 4, band, QColor(0, 0, 220));
    return photo;
}

QImage storedPixels(const QImage& upright, int orientation)
{
    const int w = upright.width(), h = upright.height();
    const bool transposed = orientation >= 5;
    QImage stored(transposed ? QSize(h, w) : QSize(w, h), QImage::Format_RGB32);
    for (int r = 0; r < stored.height(); ++r)
        for (int c = 0; c < stored.width(); ++c) {
            QPoint shown;
            switch (orientation) {
            case 2: shown = {w - 1 - c, r}; break;
            case 3: shown = {w - 1 - c, h - 1 - r}; break;
            case 4: shown = {c, h - 1 - r}; break;
            case 5: shown = {r, c}; break;
            case 6: shown = {w - 1 - r, c}; break;
            case 7: shown = {w - 1 - r, h - 1 - c}; break;
            case 8: shown = {r, h - 1 - c}; break;
            default: shown = {c, r}; break;
            }
            stored.setPixel(c, r, upright.pixel(shown));
        }
    return stored;
}

Bytes exifTiff(const ExifTags& tags)
{
    const bool big = tags.bigEndian;
    Bytes tiff{big ? std::uint8_t('M') : std::uint8_t('I'), big ? std::uint8_t('M') : std::uint8_t('I')};
    put16(tiff, 42, big);
    put32(tiff, 8, big);
    const unsigned ifd0Entries = (tags.orientation ? 1u : 0u) + (tags.taken.isEmpty() ? 0u : 1u);
    const std::uint32_t exifIfd = 8 + 2 + 12 * ifd0Entries + 4;
    const std::uint32_t dateAt = exifIfd + 2 + 12 + 4;
    put16(tiff, ifd0Entries, big);
    if (tags.orientation)
        entry(tiff, 0x0112, 3, 1, std::uint32_t(*tags.orientation), big);
    if (!tags.taken.isEmpty())
        entry(tiff, 0x8769, 4, 1, exifIfd, big);
    put32(tiff, 0, big);
    if (!tags.taken.isEmpty()) {
        put16(tiff, 1, big);
        entry(tiff, 0x9003, 2, 20, dateAt, big);
        put32(tiff, 0, big);
        const QByteArray text = tags.taken.toLatin1();
        tiff.insert(tiff.end(), text.begin(), text.end());
        tiff.push_back(0);
    }
    return tiff;
}

Bytes encodedImage(const QImage& pixels, const char* format)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    EXPECT_TRUE(writer.write(pixels)) << format << ": " << writer.errorString().toStdString();
    return Bytes(encoded.begin(), encoded.end());
}

Bytes jpegWithExif(const QImage& pixels, const ExifTags& tags)
{
    Bytes jpeg = encodedImage(pixels, "jpeg");
    if (!tags.orientation && tags.taken.isEmpty())
        return jpeg;
    const Bytes tiff = exifTiff(tags);
    Bytes segment{0xFF, 0xE1};
    const std::size_t length = 2 + 6 + tiff.size();
    segment.push_back(std::uint8_t(length >> 8));
    segment.push_back(std::uint8_t(length & 0xFF));
    for (char c : {'E', 'x', 'i', 'f', '\0', '\0'})
        segment.push_back(std::uint8_t(c));
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

void writeHeic(const std::filesystem::path& path, const QImage& coded, int orientation, const Bytes& exif)
{
    heif_init(nullptr);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    ASSERT_EQ(heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code, heif_error_Ok)
        << "libheif has no HEVC encoder (libheif1 with x265)";
    heif_encoder_set_lossy_quality(encoder, 95);
    const QImage rgb = coded.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(rgb.constScanLine(y), rgb.width() * 3, plane + y * stride);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = static_cast<heif_orientation>(orientation);
    heif_image_handle* handle = nullptr;
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, options, &handle).code, heif_error_Ok);
    if (!exif.empty())
        heif_context_add_exif_metadata(context, handle, exif.data(), static_cast<int>(exif.size()));
    EXPECT_EQ(heif_context_write_to_file(context, path.c_str()).code, heif_error_Ok);
    heif_image_handle_release(handle);
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

QString marksOf(const QImage& shown)
{
    const int w = shown.width(), h = shown.height();
    const int tw = std::max(1, w / 8), th = std::max(1, h / 8);
    struct Side {
        const char* name;
        QRect strip, first, last; // the strip, and its two ends
        const char *firstName, *lastName;
    };
    const std::array<Side, 4> sides{{
        {"top", {0, 0, w, th}, {0, 0, w / 4, th}, {w - w / 4, 0, w / 4, th}, "left", "right"},
        {"bottom", {0, h - th, w, th}, {0, h - th, w / 4, th}, {w - w / 4, h - th, w / 4, th}, "left", "right"},
        {"left", {0, 0, tw, h}, {0, 0, tw, h / 4}, {0, h - h / 4, tw, h / 4}, "top", "bottom"},
        {"right", {w - tw, 0, tw, h}, {w - tw, 0, tw, h / 4}, {w - tw, h - h / 4, tw, h / 4}, "top", "bottom"},
    }};
    const Side* band = &sides[0];
    for (const Side& side : sides)
        if (tintOf(shown, side.strip).colour > tintOf(shown, band->strip).colour)
            band = &side;
    const bool firstBlue = tintOf(shown, band->first).blue > tintOf(shown, band->last).blue;
    return QString::fromLatin1(band->name) + ':' + QString::fromLatin1(firstBlue ? band->firstName : band->lastName);
}

QRect photoArea(const QImage& page)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.green() > 100 && c.red() < 90 && c.blue() < 90) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// A photo-like picture: smooth colours under fine noise, so that it does not shrink to nothing.
QImage noisyPicture(QSize size, bool transparentCorner, quint32 seed)
{
    QImage image(size, transparentCorner ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator noise(seed);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int n = static_cast<int>(noise.bounded(24));
            const bool clear = transparentCorner && x < size.width() / 4 && y < size.height() / 4;
            image.setPixel(x, y, qRgba(x * 255 / size.width(), y * 255 / size.height(), 96 + n, clear ? 0 : 255));
        }
    return image;
}

} // namespace tavorin::test
