#pragma once

#include "platform/pictures/BytePatch.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace tavorin::xlsx {

// Bytes of a file that go into the package when it is written: a picture streamed from its
// own file, or a converted copy in a temporary file that keepAlive holds.
struct FileRange {
    std::filesystem::path file;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    // The file's size when it was measured; a file that changed size since is refused.
    std::uint64_t fileSize = 0;
    std::shared_ptr<const void> keepAlive;
    // Bytes that go in otherwise (a photo's orientation tag set to "as stored").
    std::vector<pictures::BytePatch> patches = {};
};

} // namespace tavorin::xlsx
