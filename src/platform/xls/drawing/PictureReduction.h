#pragma once

#include "platform/pictures/PictureReducer.h"
#include "platform/xls/drawing/PictureFile.h"

#include <memory>
#include <vector>

namespace tavorin::xls {

// A picture a workbook stores and the largest frame it is shown at (points, before any turn:
// the picture's own width lies along the frame's width).
struct ShownPicture {
    std::shared_ptr<const PictureFile> picture;
    double widthPoints = 0;
    double heightPoints = 0;
};

// Per picture its reduced copy, or null when it stays as it is: small enough already, a
// metafile, or one whose pixels do not decode (it is then stored as it was, and named in failed).
struct ReducedPictures {
    std::vector<std::shared_ptr<const PictureFile>> pictures;
    std::vector<std::filesystem::path> failed;
};

// The pictures both engines store, reduced to at most options.dpi pixels per inch of their frame:
// JPEGs (photos, HEIF converted) stay JPEG, PNGs (and what was converted to PNG) stay PNG, every
// one in a temporary file.
ReducedPictures reducedPictures(const std::vector<ShownPicture>& shown, const pictures::ReductionOptions& options,
                                const pictures::PictureReducer::Progress& progress = {});

} // namespace tavorin::xls
