#pragma once

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct heif_context;
struct heif_image_handle;

namespace tavorin::pictures {

// A HEIF file (the HEIC of phones; AVIF too) read through libheif from bytes in memory: the size
// and pixels of its primary image and its EXIF block. The file's own turns and mirrors (irot,
// imir) are how viewers show it; libheif applies them while decoding unless told not to. An
// EXIF orientation inside a HEIF is not used: the file's transforms already say the same.
class HeifFile {
public:
    // The bytes must stay alive as long as the object (libheif reads them without a copy).
    static std::unique_ptr<HeifFile> open(std::span<const std::uint8_t> bytes, std::string& error);
    ~HeifFile();
    HeifFile(const HeifFile&) = delete;
    HeifFile& operator=(const HeifFile&) = delete;

    // True when the bytes start like a HEIF file (an ftyp box of a HEIF or AVIF brand).
    static bool looksLikeHeif(std::span<const std::uint8_t> head);

    // The primary image's size as shown, with the file's transforms. (The size as coded is
    // learnt by decoding: some writers record it turned.)
    QSize shownSize() const;
    // The primary image decoded; a null image, with error set, when it cannot be.
    QImage decode(bool withTransforms, std::string& error) const;
    // The TIFF structure of its Exif item (empty when it has none or it is damaged).
    std::vector<std::uint8_t> exifBlock() const;

private:
    HeifFile() = default;

    heif_context* context_ = nullptr;
    heif_image_handle* primary_ = nullptr;
};

} // namespace tavorin::pictures
