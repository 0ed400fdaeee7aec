#pragma once

#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/drawing/PictureReduction.h"
#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/package/FileRange.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tavorin::xlsx {

class Package;

// The pictures this program adds to a package (xl/media/imageN.ext), each distinct content
// stored once. A JPEG or PNG goes in as the file holds it (a photo's orientation tag set to "as
// stored" on the way); BMP, GIF and TIFF as the PNG the .xls engine converts them to, HEIF and
// WebP as its JPEG or PNG; metafiles as the EMF or WMF they are (unpacked from .emz/.wmz).
// Contents are compared only between pictures of the same kind, size and first bytes.
class MediaStore {
public:
    // The media part for the picture, added to the package when its content is new.
    Result<std::string> partFor(Package& package, const xls::PictureFile& picture);
    // Stores each media part added here with at most options.dpi pixels per inch of the largest
    // frame it shows in (points, unrotated, by part; see xls::reducedPictures), as a reduced copy
    // of its kind; a part without a frame, or small enough, stays as it is.
    // Gives the pictures whose pixels did not decode: they are stored as they were.
    std::vector<std::filesystem::path> reduce(Package& package, const std::map<std::string, std::pair<double, double>>& largestFrames,
                const pictures::ReductionOptions& options, const pictures::PictureReducer::Progress& progress);

private:
    struct Media {
        std::string part;
        FileRange range;
        std::optional<xls::PictureFile::Uid> key; // of the whole content, made when needed
        std::shared_ptr<const xls::PictureFile> picture;
    };
    static Result<FileRange> rangeOf(const xls::PictureFile& picture, std::string& extension);
    static Result<xls::PictureFile::Uid> keyOf(const FileRange& range);
    static Result<xls::PictureFile::Uid> leadingKeyOf(const FileRange& range);

    // (extension, size, key of the first bytes) -> media of that description
    std::map<std::tuple<std::string, std::uint64_t, xls::PictureFile::Uid>, std::vector<Media>> media_;
};

} // namespace tavorin::xlsx
