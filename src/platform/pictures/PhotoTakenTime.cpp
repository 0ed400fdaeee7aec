#include "platform/pictures/PhotoTakenTime.h"

#include "platform/pictures/ExifBlock.h"
#include "platform/pictures/HeifFile.h"
#include "platform/pictures/JpegExif.h"

#include <QFile>

#include <array>
#include <span>
#include <string>

namespace tavorin::pictures {
namespace {

constexpr qint64 headBytes = 256 * 1024;
constexpr qint64 wholeFileLimit = 256 * 1024 * 1024;
constexpr int webpChunkLimit = 4096;

std::span<const std::uint8_t> spanOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

std::uint32_t littleEndian32(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::optional<CalendarDateTime> takenIn(std::span<const std::uint8_t> tiff)
{
    // A WebP's EXIF chunk may carry the JPEG's "Exif\0\0" in front of the TIFF header.
    constexpr std::array<std::uint8_t, 6> jpegPrefix{'E', 'x', 'i', 'f', 0, 0};
    if (tiff.size() > jpegPrefix.size() && std::equal(jpegPrefix.begin(), jpegPrefix.end(), tiff.begin()))
        tiff = tiff.subspan(jpegPrefix.size());
    return ExifBlock::read(tiff).taken;
}

// The EXIF chunk of a RIFF WebP: chunks are walked by their headers (an even number of bytes each).
std::optional<CalendarDateTime> webpTaken(QFile& file)
{
    qint64 at = 12;
    for (int chunk = 0; chunk < webpChunkLimit && file.seek(at); ++chunk) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            return std::nullopt;
        const qint64 size = littleEndian32(header, 4);
        if (header.startsWith("EXIF")) {
            if (size > wholeFileLimit)
                return std::nullopt;
            return takenIn(spanOf(file.read(size)));
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace

std::optional<CalendarDateTime> photoTakenTime(const std::filesystem::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(headBytes);
    const auto bytes = spanOf(head);
    if (auto exif = JpegExif::find(bytes))
        return ExifBlock::read(exif->tiff).taken;
    if (head.startsWith(QByteArrayView("II*\0", 4)) || head.startsWith(QByteArrayView("MM\0*", 4)))
        return ExifBlock::read(bytes).taken;
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return webpTaken(file);
    if (HeifFile::looksLikeHeif(bytes) && file.size() <= wholeFileLimit) {
        file.seek(0);
        const QByteArray whole = file.readAll();
        std::string error;
        auto heif = HeifFile::open(spanOf(whole), error);
        if (!heif)
            return std::nullopt;
        const auto exif = heif->exifBlock();
        return ExifBlock::read(exif).taken;
    }
    return std::nullopt;
}

} // namespace tavorin::pictures
