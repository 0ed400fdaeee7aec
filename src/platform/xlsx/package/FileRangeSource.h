#pragma once

#include "platform/xlsx/package/FileRange.h"

#include <zip.h>

#include <cstdint>
#include <ctime>
#include <span>

namespace tavorin::xlsx {

// A libzip source over the bytes of a FileRange (a picture going into the package). libzip asks
// for its data in 8 KB pieces; the file is read in pieces of up to 1 MB (one read for a photo),
// the range's byte patches applied, and handed out from there. A file that ends before the range
// does is reported as changed.
class FileRangeSource {
public:
    // The source owns its state and frees it when libzip frees the source. libzip writes one entry
    // after the other, so the sources of a package share one buffer, which must outlive them.
    static zip_source_t* create(FileRange range, std::time_t modified, std::span<std::uint8_t> buffer,
                                zip_error_t* error);

private:
    FileRangeSource(FileRange range, std::time_t modified, std::span<std::uint8_t> buffer);
    static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t open();
    zip_int64_t read(void* data, zip_uint64_t length);
    zip_int64_t stat(void* data, zip_uint64_t length);
    void close();
    zip_int64_t fail(int zipError, int systemError);

    FileRange range_;
    std::time_t modified_;
    int descriptor_ = -1;
    std::uint64_t delivered_ = 0; // bytes of the range handed to libzip
    std::span<std::uint8_t> buffer_;
    std::size_t bufferStart_ = 0, bufferEnd_ = 0;
    zip_error_t error_;
};

} // namespace tavorin::xlsx
