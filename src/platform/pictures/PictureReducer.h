#pragma once

#include <QSize>
#include <QSizeF>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavorin::pictures {

// How far pictures are reduced: at most dpi pixels per inch of the size they are shown at (0:
// not at all), photos encoded again as JPEG of this quality.
struct ReductionOptions {
    int dpi = 0;
    int jpegQuality = 85;
    bool on() const { return dpi > 0; }
};

// The pixel size a picture of `pixels` gets when shown at `shownPoints` (its frame before any
// turn, in points) with at most dpi pixels per inch, each side on its own and never enlarged;
// none when it is small enough already.
std::optional<QSize> reducedPixelSize(QSize pixels, QSizeF shownPoints, int dpi);

// One picture to reduce: its bytes (a range of a file), stored as JPEG or as PNG, and the pixel
// size it is to have.
struct ReductionJob {
    std::filesystem::path file;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    bool jpeg = true;
    QSize target;
};

// A reduced picture in a temporary file (kept while keepAlive lives), of the same kind as its
// source; or why it could not be made.
struct ReducedPicture {
    std::filesystem::path file;
    std::uint64_t length = 0;
    QSize pixels;
    std::shared_ptr<const void> keepAlive;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Reduces pictures on every core. A JPEG is decoded by libjpeg-turbo at the smallest of its
// scaled sizes (1/8 to 1) that is still at least the target, resized to it with a smooth filter
// and encoded again; a PNG is decoded, resized (its transparency kept) and written as PNG. Each
// worker holds one picture at a time, and every result goes to a temporary file at once, so
// memory holds a few decoded pictures whatever their number. `done` is called on the calling
// thread with the number finished so far.
class PictureReducer {
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    static std::vector<ReducedPicture> reduceAll(const std::vector<ReductionJob>& jobs, int jpegQuality,
                                                 const Progress& done = {});
    // One picture, on the calling thread.
    static ReducedPicture reduce(const ReductionJob& job, int jpegQuality);
};

} // namespace tavorin::pictures
