#pragma once

#include "platform/xls/compound/OutputSink.h"

#include <zip.h>

#include <filesystem>
#include <memory>

namespace tavorin::xlsx {

// The file a new package is written into, as a writable libzip source: libzip's own file source
// writes through a 4 KB stdio buffer into a temporary file of its own and renames it, inside the
// temporary file the atomic save already gives. Here the bytes go straight into that file, in
// 1 MB writes (xls::FileOutputSink); when libzip goes back to complete an entry's local header,
// the header is usually still in the buffer and is patched there.
//
// The target starts as a missing file (a new archive: open it with ZIP_CREATE); the file is
// created when libzip begins writing and removed again when libzip rolls the writing back.
class ZipFileTarget {
public:
    explicit ZipFileTarget(std::filesystem::path path);
    ~ZipFileTarget();
    ZipFileTarget(const ZipFileTarget&) = delete;
    ZipFileTarget& operator=(const ZipFileTarget&) = delete;

    // A source for zip_open_from_source; the target must outlive the archive opened on it.
    zip_source_t* source(zip_error_t* error);

private:
    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t beginWrite();
    zip_int64_t write(const void* data, zip_uint64_t length);
    zip_int64_t seekWrite(void* data, zip_uint64_t length);
    zip_int64_t commitWrite();
    void rollbackWrite();
    zip_int64_t fail(int zipError, int systemError);

    std::filesystem::path path_;
    std::unique_ptr<xls::FileOutputSink> file_;
    std::uint64_t position_ = 0;
    bool committed_ = false;
    zip_error_t error_;
};

} // namespace tavorin::xlsx
