#include "platform/xls/drawing/PictureFormat.h"

#include "platform/pictures/HeifFile.h"
#include "platform/xls/compound/ByteReader.h"

#include <algorithm>
#include <array>

namespace tavorin::xls {
namespace {

bool startsWith(std::span<const std::uint8_t> head, std::initializer_list<std::uint8_t> signature)
{
    return head.size() >= signature.size() && std::equal(signature.begin(), signature.end(), head.begin());
}

// BITMAPCOREHEADER (12), BITMAPINFOHEADER (40) and its later versions (52, 56, 64, 108, 124),
// with one plane: the start of a DIB, which has no magic number of its own.
bool isDibHeader(std::span<const std::uint8_t> head)
{
    std::uint32_t size = ByteReader::u32At(head, 0);
    static constexpr std::array<std::uint32_t, 7> sizes{12, 40, 52, 56, 64, 108, 124};
    if (std::find(sizes.begin(), sizes.end(), size) == sizes.end() || head.size() < 16)
        return false;
    std::size_t planesAt = size == 12 ? 8 : 12;
    return ByteReader::u16At(head, planesAt) == 1;
}

} // namespace

std::optional<PictureFormat> detectPictureFormat(std::span<const std::uint8_t> head)
{
    if (startsWith(head, {0xFF, 0xD8, 0xFF}))
        return PictureFormat::Jpeg;
    if (startsWith(head, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return PictureFormat::Png;
    if (startsWith(head, {'B', 'M'}) && head.size() >= 18 && isDibHeader(head.subspan(14)))
        return PictureFormat::Bmp;
    if (startsWith(head, {'G', 'I', 'F', '8', '7', 'a'}) || startsWith(head, {'G', 'I', 'F', '8', '9', 'a'}))
        return PictureFormat::Gif;
    if (startsWith(head, {'I', 'I', 42, 0}) || startsWith(head, {'M', 'M', 0, 42}))
        return PictureFormat::Tiff;
    // EMR_HEADER: record type 1, then " EMF" at offset 40.
    if (ByteReader::u32At(head, 0) == 1 && startsWith(head.subspan(std::min<std::size_t>(40, head.size())), {' ', 'E', 'M', 'F'}))
        return PictureFormat::Emf;
    // Placeable header key, or a bare META_HEADER (type 1 or 2, header size 9 words, version 0x100/0x300).
    if (startsWith(head, {0xD7, 0xCD, 0xC6, 0x9A}))
        return PictureFormat::Wmf;
    if (head.size() >= 18) {
        std::uint16_t type = ByteReader::u16At(head, 0);
        std::uint16_t words = ByteReader::u16At(head, 2);
        std::uint16_t version = ByteReader::u16At(head, 4);
        if ((type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300))
            return PictureFormat::Wmf;
    }
    if (startsWith(head, {0x1F, 0x8B}))
        return PictureFormat::Gzip;
    if (startsWith(head, {'R', 'I', 'F', 'F'}) && startsWith(head.subspan(std::min<std::size_t>(8, head.size())), {'W', 'E', 'B', 'P'}))
        return PictureFormat::Webp;
    if (pictures::HeifFile::looksLikeHeif(head))
        return PictureFormat::Heif;
    if (isDibHeader(head))
        return PictureFormat::Dib;
    return std::nullopt;
}

std::string_view pictureFormatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Dib: return "DIB";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::Emf: return "EMF";
    case PictureFormat::Wmf: return "WMF";
    case PictureFormat::Gzip: return "gzip-compressed metafile";
    case PictureFormat::Heif: return "HEIF";
    case PictureFormat::Webp: return "WebP";
    }
    return "picture";
}

} // namespace tavorin::xls
