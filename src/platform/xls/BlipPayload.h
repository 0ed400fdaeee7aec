#pragma once

#include "platform/xls/OutputSink.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace tavorin::xls {

// The bytes of a blip after its UID: a few bytes held here (a bitmap's tag byte, a metafile's
// header) followed by a range of a file. The range is read only when the workbook is written,
// so that hundreds of photos never sit in memory together. The file is the picture itself
// (JPEG, PNG) or a temporary file holding a conversion, kept alive by keepAlive.
struct BlipPayload {
    std::vector<std::uint8_t> prefix;
    std::filesystem::path file;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::shared_ptr<const void> keepAlive;

    std::uint64_t size() const { return prefix.size() + length; }
    // Streams the prefix and the file range into out. Fails, writing nothing more, when the
    // file can no longer be read or has become shorter than the range.
    Status writeTo(OutputSink& out) const;
};

} // namespace tavorin::xls
