#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/package/Package.h"

#include <filesystem>

namespace tavorin::xlsx {

// Writes a package as a new zip file. Parts as read are copied with their compressed bytes
// (libzip's zip_source_zip over the whole entry), in the order the source zip holds them;
// written XML parts are deflated; added files (pictures) are stored, since photos do not shrink.
class PackageWriter {
public:
    // path must not exist yet; on failure nothing is left there.
    static Status write(const Package& package, const std::filesystem::path& path);
};

} // namespace tavorin::xlsx
