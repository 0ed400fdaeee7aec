#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tavorin::pictures {

// Bytes of a file replaced by others of the same length as the file is streamed, so that a
// picture can be stored with one tag changed without a copy of it on disk or in memory.
struct BytePatch {
    std::uint64_t offset = 0; // in the file
    std::vector<std::uint8_t> bytes;
};

// Applies the patches that overlap a chunk read from the file at chunkOffset.
inline void applyPatches(std::span<std::uint8_t> chunk, std::uint64_t chunkOffset, std::span<const BytePatch> patches)
{
    const std::uint64_t chunkEnd = chunkOffset + chunk.size();
    for (const BytePatch& patch : patches) {
        for (std::size_t i = 0; i < patch.bytes.size(); ++i) {
            const std::uint64_t at = patch.offset + i;
            if (at >= chunkOffset && at < chunkEnd)
                chunk[static_cast<std::size_t>(at - chunkOffset)] = patch.bytes[i];
        }
    }
}

} // namespace tavorin::pictures
