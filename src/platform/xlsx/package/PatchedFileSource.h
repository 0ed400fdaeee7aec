#pragma once

#include "platform/xlsx/package/FileRange.h"

struct zip;
struct zip_source;

namespace tavorin::xlsx {

// A zip source over a range of a file with some of its bytes replaced (a photo stored with its
// orientation tag set to "as stored"): libzip reads it piece by piece while the package is
// written, so the photo is neither copied nor held in memory.
class PatchedFileSource {
public:
    // The source, or null when it cannot be made; libzip owns it from then on.
    static zip_source* make(zip* archive, const FileRange& range);
};

} // namespace tavorin::xlsx
