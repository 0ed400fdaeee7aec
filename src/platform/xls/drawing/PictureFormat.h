#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavorin::xls {

// The picture formats a file may hold, told apart by their first bytes (never by the name).
enum class PictureFormat : std::uint8_t {
    Jpeg,
    Png,
    Bmp,  // with its 14-byte file header ("BM"); RLE-compressed bitmaps are BMPs too
    Dib,  // a BMP without the file header: starts with the info header's size
    Gif,
    Tiff,
    Emf,
    Wmf,  // with or without the 22-byte placeable header
    Gzip, // EMZ/WMZ: a compressed metafile
    Heif, // HEIC and other HEIF pictures (phones), stored converted
    Webp, // stored converted
};

// How many leading bytes detection looks at.
inline constexpr std::size_t pictureSignatureSize = 64;

// The format of bytes that start a file; nothing when they start none we know.
std::optional<PictureFormat> detectPictureFormat(std::span<const std::uint8_t> head);

// "JPEG", "PNG", ... for messages.
std::string_view pictureFormatName(PictureFormat format);

} // namespace tavorin::xls
