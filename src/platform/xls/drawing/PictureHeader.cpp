#include "platform/xls/drawing/PictureHeader.h"

#include "platform/xls/compound/ByteReader.h"

#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace tavorin::xls {
namespace {

constexpr double pointsPerInch = 72.0;
constexpr double metresPerInch = 0.0254;
constexpr double emuPerInch = 914400.0;
constexpr int maximumPixels = 1 << 20; // on either side; far beyond any camera

Error headerError(PictureFormat format, const std::string& what)
{
    return Error{std::string(pictureFormatName(format)) + " picture: " + what, "picture", {}, {}};
}

std::uint16_t be16(std::span<const std::uint8_t> b, std::size_t at)
{
    return at + 2 <= b.size() ? static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]) : 0;
}
std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at)
{
    return at + 4 <= b.size() ? (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
                                    (std::uint32_t{b[at + 2]} << 8) | b[at + 3]
                              : 0;
}

// Dots per inch from a count per unit: unit 1 inch, 2 centimetre (TIFF/EXIF ResolutionUnit
// 2 and 3, JFIF units 1 and 2 are mapped onto these by the callers).
double toDpi(double perUnit, bool centimetres) { return centimetres ? perUnit * 2.54 : perUnit; }
bool usableDpi(double dpi) { return std::isfinite(dpi) && dpi >= 1.0 && dpi <= 100000.0; }

void finishBitmap(PictureHeader& header)
{
    header.widthPoints = header.pixelWidth * pointsPerInch / header.dpiX;
    header.heightPoints = header.pixelHeight * pointsPerInch / header.dpiY;
}

Status checkPixels(PictureFormat format, std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0 || width > maximumPixels || height > maximumPixels)
        return headerError(format, "the header gives an unusable size of " + std::to_string(width) + " x " +
                                       std::to_string(height) + " pixels");
    return success();
}

// The fields of a TIFF structure (a TIFF file, or the EXIF block of a JPEG) that size a picture.
struct TiffFields {
    std::int64_t width = 0, height = 0;
    double xResolution = 0, yResolution = 0;
    int resolutionUnit = 2; // inch
};

std::optional<TiffFields> readTiffFields(std::span<const std::uint8_t> tiff)
{
    if (tiff.size() < 8)
        return std::nullopt;
    bool little = tiff[0] == 'I' && tiff[1] == 'I';
    bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!little && !big)
        return std::nullopt;
    auto u16 = [&](std::size_t at) { return little ? ByteReader::u16At(tiff, at) : be16(tiff, at); };
    auto u32 = [&](std::size_t at) { return little ? ByteReader::u32At(tiff, at) : be32(tiff, at); };
    if (u16(2) != 42)
        return std::nullopt;
    std::size_t ifd = u32(4);
    if (ifd < 8 || ifd + 2 > tiff.size())
        return std::nullopt;
    std::size_t count = u16(ifd);
    if (ifd + 2 + count * 12 > tiff.size())
        return std::nullopt;
    TiffFields fields;
    auto rational = [&](std::size_t entry) -> double {
        std::size_t at = u32(entry + 8);
        if (at + 8 > tiff.size())
            return 0;
        std::uint32_t denominator = u32(at + 4);
        return denominator == 0 ? 0 : static_cast<double>(u32(at)) / denominator;
    };
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t entry = ifd + 2 + i * 12;
        std::uint16_t tag = u16(entry);
        std::uint16_t type = u16(entry + 2);
        auto integer = [&]() -> std::int64_t { return type == 3 ? u16(entry + 8) : u32(entry + 8); };
        switch (tag) {
        case 256: fields.width = integer(); break;
        case 257: fields.height = integer(); break;
        case 282: fields.xResolution = type == 5 ? rational(entry) : 0; break;
        case 283: fields.yResolution = type == 5 ? rational(entry) : 0; break;
        case 296: fields.resolutionUnit = u16(entry + 8); break;
        default: break;
        }
    }
    return fields;
}

// Resolution from TIFF fields; false when they give none (unit 1 means "no absolute unit").
bool tiffDpi(const TiffFields& fields, double& dpiX, double& dpiY)
{
    if (fields.resolutionUnit != 2 && fields.resolutionUnit != 3)
        return false;
    double x = toDpi(fields.xResolution, fields.resolutionUnit == 3);
    double y = toDpi(fields.yResolution, fields.resolutionUnit == 3);
    if (!usableDpi(x) || !usableDpi(y))
        return false;
    dpiX = x;
    dpiY = y;
    return true;
}

Result<PictureHeader> readJpeg(std::span<const std::uint8_t> b)
{
    constexpr auto format = PictureFormat::Jpeg;
    PictureHeader header;
    bool jfifDpi = false, exifDpi = false, frame = false;
    double exifX = 0, exifY = 0;
    std::size_t at = 2;
    while (!frame) {
        if (at + 4 > b.size())
            return headerError(format, "the file ends before the frame header that gives the picture's size");
        if (b[at] != 0xFF)
            return headerError(format, "a marker was expected at offset " + std::to_string(at));
        std::uint8_t marker = b[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)
            return headerError(format, "the picture data begins before any frame header");
        std::size_t length = be16(b, at + 2);
        if (length < 2 || at + 2 + length > b.size())
            return headerError(format, "a segment at offset " + std::to_string(at) + " runs past the end of the file");
        auto segment = b.subspan(at + 4, length - 2);
        bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame) {
            if (segment.size() < 6)
                return headerError(format, "the frame header is too short");
            header.pixelHeight = be16(segment, 1);
            header.pixelWidth = be16(segment, 3);
            header.jpegComponents = segment[5];
            frame = true;
        } else if (marker == 0xE0 && segment.size() >= 12 && std::equal(segment.begin(), segment.begin() + 5, "JFIF")) {
            std::uint8_t units = segment[7];
            double x = toDpi(be16(segment, 8), units == 2);
            double y = toDpi(be16(segment, 10), units == 2);
            if ((units == 1 || units == 2) && usableDpi(x) && usableDpi(y)) {
                header.dpiX = x;
                header.dpiY = y;
                jfifDpi = true;
            }
        } else if (marker == 0xE1 && segment.size() > 6 && std::equal(segment.begin(), segment.begin() + 6, "Exif\0")) {
            if (auto fields = readTiffFields(segment.subspan(6)))
                exifDpi = tiffDpi(*fields, exifX, exifY);
        }
        at += 2 + length;
    }
    if (!jfifDpi && exifDpi) {
        header.dpiX = exifX;
        header.dpiY = exifY;
    }
    if (auto status = checkPixels(format, header.pixelWidth, header.pixelHeight); !status)
        return status.error();
    finishBitmap(header);
    return header;
}

Result<PictureHeader> readPng(std::span<const std::uint8_t> b)
{
    constexpr auto format = PictureFormat::Png;
    if (b.size() < 33 || be32(b, 8) != 13 || !std::equal(b.begin() + 12, b.begin() + 16, "IHDR"))
        return headerError(format, "the IHDR chunk is missing");
    auto crc = static_cast<std::uint32_t>(crc32(0, b.data() + 12, 17));
    if (crc != be32(b, 29))
        return headerError(format, "the IHDR chunk is damaged (checksum mismatch)");
    PictureHeader header;
    std::int64_t width = be32(b, 16), height = be32(b, 20);
    if (auto status = checkPixels(format, width, height); !status)
        return status.error();
    header.pixelWidth = static_cast<int>(width);
    header.pixelHeight = static_cast<int>(height);
    bool ended = false;
    for (std::size_t at = 33; at + 12 <= b.size();) {
        std::uint32_t length = be32(b, at);
        if (length > b.size() - at - 12)
            return headerError(format, "a chunk at offset " + std::to_string(at) + " runs past the end of the file");
        auto type = b.subspan(at + 4, 4);
        if (std::equal(type.begin(), type.end(), "pHYs") && length >= 9 && b[at + 16] == 1) {
            double x = be32(b, at + 8) * metresPerInch, y = be32(b, at + 12) * metresPerInch;
            if (usableDpi(x) && usableDpi(y)) {
                header.dpiX = x;
                header.dpiY = y;
            }
        }
        if (std::equal(type.begin(), type.end(), "IEND")) {
            ended = true;
            break;
        }
        at += 12 + length;
    }
    if (!ended)
        return headerError(format, "the file is cut short (no IEND chunk)");
    finishBitmap(header);
    return header;
}

// Where the pixels of a DIB start when no file header says so: behind the info header, its
// colour masks and its palette.
std::uint64_t pixelOffsetOfDib(std::span<const std::uint8_t> info)
{
    std::uint32_t infoSize = ByteReader::u32At(info, 0);
    bool core = infoSize == 12;
    unsigned bitCount = core ? ByteReader::u16At(info, 10) : ByteReader::u16At(info, 14);
    std::uint32_t compression = core ? 0 : ByteReader::u32At(info, 16);
    std::uint64_t used = core ? 0 : ByteReader::u32At(info, 32);
    std::uint64_t colours = used != 0 ? used : (bitCount <= 8 ? (1u << bitCount) : 0);
    std::uint64_t masks = infoSize == 40 ? (compression == 3 ? 12 : compression == 6 ? 16 : 0) : 0;
    return infoSize + masks + colours * (core ? 3 : 4);
}

// info: the bitmap from its info header on; pixelOffset: where its pixels start in info.
Result<PictureHeader> readDib(PictureFormat format, std::span<const std::uint8_t> info, std::uint64_t pixelOffset)
{
    PictureHeader header;
    std::uint32_t size = ByteReader::u32At(info, 0);
    if (info.size() < size)
        return headerError(format, "the bitmap header is cut short");
    bool core = size == 12;
    unsigned bitCount = core ? ByteReader::u16At(info, 10) : ByteReader::u16At(info, 14);
    std::uint32_t compression = core ? 0 : ByteReader::u32At(info, 16);
    std::int64_t width = 0, height = 0;
    if (size == 12) {
        width = ByteReader::u16At(info, 4);
        height = ByteReader::u16At(info, 6);
    } else {
        width = static_cast<std::int32_t>(ByteReader::u32At(info, 4));
        height = std::llabs(static_cast<std::int32_t>(ByteReader::u32At(info, 8)));
        double x = static_cast<std::int32_t>(ByteReader::u32At(info, 24)) * metresPerInch;
        double y = static_cast<std::int32_t>(ByteReader::u32At(info, 28)) * metresPerInch;
        if (usableDpi(x) && usableDpi(y)) {
            header.dpiX = x;
            header.dpiY = y;
        }
    }
    if (auto status = checkPixels(format, width, height); !status)
        return status.error();
    header.pixelWidth = static_cast<int>(width);
    header.pixelHeight = static_cast<int>(height);
    // Uncompressed rows are padded to 4 bytes; a bitmap cut short would decode with blank rows.
    bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && bitCount > 0) {
        std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
        if (pixelOffset + rowBytes * static_cast<std::uint64_t>(height) > info.size())
            return headerError(format, "the pixel data is cut short");
    }
    finishBitmap(header);
    return header;
}

Result<PictureHeader> readGif(std::span<const std::uint8_t> b)
{
    if (b.size() < 13)
        return headerError(PictureFormat::Gif, "the screen descriptor is cut short");
    PictureHeader header;
    header.pixelWidth = ByteReader::u16At(b, 6);
    header.pixelHeight = ByteReader::u16At(b, 8);
    if (auto status = checkPixels(PictureFormat::Gif, header.pixelWidth, header.pixelHeight); !status)
        return status.error();
    finishBitmap(header);
    return header;
}

Result<PictureHeader> readTiff(std::span<const std::uint8_t> b)
{
    auto fields = readTiffFields(b);
    if (!fields)
        return headerError(PictureFormat::Tiff, "the first image directory is missing or damaged");
    if (auto status = checkPixels(PictureFormat::Tiff, fields->width, fields->height); !status)
        return status.error();
    PictureHeader header;
    header.pixelWidth = static_cast<int>(fields->width);
    header.pixelHeight = static_cast<int>(fields->height);
    tiffDpi(*fields, header.dpiX, header.dpiY);
    finishBitmap(header);
    return header;
}

Result<PictureHeader> readEmf(std::span<const std::uint8_t> b)
{
    constexpr auto format = PictureFormat::Emf;
    if (b.size() < 88)
        return headerError(format, "the header record is cut short");
    auto i32 = [&](std::size_t at) { return static_cast<std::int32_t>(ByteReader::u32At(b, at)); };
    PictureHeader header;
    // rclBounds is inclusive in device units; rclFrame inclusive in 0.01 mm.
    header.bounds = {i32(8), i32(12), i32(16) + 1, i32(20) + 1};
    double frameWidth = static_cast<double>(i32(32)) - i32(24);
    double frameHeight = static_cast<double>(i32(36)) - i32(28);
    if (frameWidth <= 0 || frameHeight <= 0 || frameWidth > 5e6 || frameHeight > 5e6)
        return headerError(format, "the header's frame is empty");
    if (ByteReader::u32At(b, 48) > b.size())
        return headerError(format, "the header gives a size larger than the file");
    constexpr double emuPerHundredthMillimetre = 360.0;
    header.frameEmu = {static_cast<std::int32_t>(std::lround(frameWidth * emuPerHundredthMillimetre)),
                       static_cast<std::int32_t>(std::lround(frameHeight * emuPerHundredthMillimetre))};
    header.widthPoints = frameWidth / 2540.0 * pointsPerInch;
    header.heightPoints = frameHeight / 2540.0 * pointsPerInch;
    return header;
}

Result<PictureHeader> readWmf(std::span<const std::uint8_t> b)
{
    constexpr auto format = PictureFormat::Wmf;
    if (ByteReader::u32At(b, 0) != 0x9AC6CDD7)
        return headerError(format, "the file has no placeable header, so it gives no size");
    if (b.size() < 22 + 18)
        return headerError(format, "the header is cut short");
    auto i16 = [&](std::size_t at) { return static_cast<std::int16_t>(ByteReader::u16At(b, at)); };
    PictureHeader header;
    header.bounds = {i16(6), i16(8), i16(10), i16(12)};
    int unitsPerInch = ByteReader::u16At(b, 14);
    double width = static_cast<double>(header.bounds[2]) - header.bounds[0];
    double height = static_cast<double>(header.bounds[3]) - header.bounds[1];
    if (unitsPerInch == 0 || width <= 0 || height <= 0)
        return headerError(format, "the placeable header gives an empty frame");
    header.metafileOffset = 22;
    header.frameEmu = {static_cast<std::int32_t>(std::lround(width * emuPerInch / unitsPerInch)),
                       static_cast<std::int32_t>(std::lround(height * emuPerInch / unitsPerInch))};
    header.widthPoints = width / unitsPerInch * pointsPerInch;
    header.heightPoints = height / unitsPerInch * pointsPerInch;
    return header;
}

} // namespace

Result<PictureHeader> PictureHeader::read(PictureFormat format, std::span<const std::uint8_t> bytes)
{
    switch (format) {
    case PictureFormat::Jpeg: return readJpeg(bytes);
    case PictureFormat::Png: return readPng(bytes);
    case PictureFormat::Bmp:
        if (bytes.size() < 14)
            return headerError(format, "the file header is cut short");
    {
        std::uint32_t pixels = ByteReader::u32At(bytes, 10);
        return readDib(format, bytes.subspan(14), pixels >= 14 ? pixels - 14 : 0);
    }
    case PictureFormat::Dib: {
        auto header = readDib(format, bytes, pixelOffsetOfDib(bytes));
        if (header)
            header->dibPixelOffset = pixelOffsetOfDib(bytes);
        return header;
    }
    case PictureFormat::Gif: return readGif(bytes);
    case PictureFormat::Tiff: return readTiff(bytes);
    case PictureFormat::Emf: return readEmf(bytes);
    case PictureFormat::Wmf: return readWmf(bytes);
    case PictureFormat::Gzip: return headerError(format, "compressed data has no picture header of its own");
    case PictureFormat::Heif:
    case PictureFormat::Webp: break;
    }
    return headerError(format, "its size is learnt by decoding it");
}

} // namespace tavorin::xls
