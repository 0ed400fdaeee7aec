#include "platform/pictures/HeifFile.h"

#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace tavorin::pictures {
namespace {

// The major brands of still HEIF and AVIF pictures (ISO/IEC 23008-12, the AV1 image format).
constexpr std::array<std::string_view, 12> brands{"heic", "heix", "hevc", "hevx", "heim", "heis",
                                                  "hevm", "hevs", "mif1", "msf1", "avif", "avis"};

// libheif's decoders are loaded once, for the life of the program.
void initialiseOnce()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

std::string describe(const heif_error& error)
{
    return error.message != nullptr && *error.message != '\0' ? std::string(error.message)
                                                               : "libheif error " + std::to_string(error.code);
}

void releaseImage(void* image) { heif_image_release(static_cast<heif_image*>(image)); }

} // namespace

bool HeifFile::looksLikeHeif(std::span<const std::uint8_t> head)
{
    if (head.size() < 12 || std::memcmp(head.data() + 4, "ftyp", 4) != 0)
        return false;
    const std::string_view brand(reinterpret_cast<const char*>(head.data() + 8), 4);
    return std::find(brands.begin(), brands.end(), brand) != brands.end();
}

std::unique_ptr<HeifFile> HeifFile::open(std::span<const std::uint8_t> bytes, std::string& error)
{
    initialiseOnce();
    std::unique_ptr<HeifFile> file(new HeifFile());
    file->context_ = heif_context_alloc();
    if (file->context_ == nullptr) {
        error = "libheif cannot start";
        return nullptr;
    }
    heif_error status = heif_context_read_from_memory_without_copy(file->context_, bytes.data(), bytes.size(), nullptr);
    if (status.code == heif_error_Ok)
        status = heif_context_get_primary_image_handle(file->context_, &file->primary_);
    if (status.code != heif_error_Ok) {
        error = describe(status);
        return nullptr;
    }
    return file;
}

HeifFile::~HeifFile()
{
    if (primary_ != nullptr)
        heif_image_handle_release(primary_);
    if (context_ != nullptr)
        heif_context_free(context_);
}

QSize HeifFile::shownSize() const
{
    return QSize(heif_image_handle_get_width(primary_), heif_image_handle_get_height(primary_));
}

QImage HeifFile::decode(bool withTransforms, std::string& error) const
{
    const bool alpha = heif_image_handle_has_alpha_channel(primary_) != 0;
    heif_decoding_options* options = heif_decoding_options_alloc();
    options->ignore_transformations = withTransforms ? 0 : 1;
    heif_image* image = nullptr;
    const heif_error status = heif_decode_image(primary_, &image, heif_colorspace_RGB,
                                                alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options);
    heif_decoding_options_free(options);
    if (status.code != heif_error_Ok || image == nullptr) {
        error = describe(status);
        return {};
    }
    int stride = 0;
    std::uint8_t* pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    if (pixels == nullptr || width <= 0 || height <= 0) {
        heif_image_release(image);
        error = "the decoded picture has no pixels";
        return {};
    }
    // The image keeps libheif's pixels and gives them back when it goes: no copy of a large photo.
    return QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888, releaseImage,
                  image);
}

std::vector<std::uint8_t> HeifFile::exifBlock() const
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(primary_, "Exif", &id, 1) != 1)
        return {};
    std::vector<std::uint8_t> data(heif_image_handle_get_metadata_size(primary_, id));
    if (data.size() < 4 || heif_image_handle_get_metadata(primary_, id, data.data()).code != heif_error_Ok)
        return {};
    // The item starts with the offset of the TIFF header behind these four bytes (big-endian).
    const std::uint64_t skip = 4 + ((std::uint64_t{data[0]} << 24) | (std::uint64_t{data[1]} << 16) |
                                    (std::uint64_t{data[2]} << 8) | data[3]);
    if (skip >= data.size())
        return {};
    data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(skip));
    // Some writers leave the JPEG's "Exif\0\0" in front of the TIFF header.
    constexpr std::array<std::uint8_t, 6> jpegPrefix{'E', 'x', 'i', 'f', 0, 0};
    if (data.size() > jpegPrefix.size() && std::equal(jpegPrefix.begin(), jpegPrefix.end(), data.begin()))
        data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(jpegPrefix.size()));
    return data;
}

} // namespace tavorin::pictures
