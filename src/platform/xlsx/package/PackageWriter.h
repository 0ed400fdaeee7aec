#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/package/Package.h"

#include <filesystem>
#include <functional>

namespace tavorin::xlsx {

// Writes a package as a new zip file. Parts as read are copied with their compressed bytes
// (libzip's zip_source_zip over the whole entry), in the order the source zip holds them;
// written XML parts are deflated; added files (pictures) are stored, since photos do not shrink.
class PackageWriter {
public:
    // path must not exist yet; on failure nothing is left there. progress, when given, hears how far
    // the writing has come (0 to 1) as libzip writes the entries.
    static Status write(const Package& package, const std::filesystem::path& path,
                        const std::function<void(double)>& progress = {});
};

} // namespace tavorin::xlsx
