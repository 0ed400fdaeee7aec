#pragma once

#include "platform/pictures/BytePatch.h"
#include "platform/xls/drawing/ContentKey.h"
#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
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
    // The file's size when the picture was inserted: a file that has since changed size is not
    // the picture that was measured and placed, and is refused rather than cut or padded.
    std::uint64_t fileSize = 0;
    std::shared_ptr<const void> keepAlive;
    // Bytes of the file stored otherwise (a photo's orientation tag set to "as stored"); every
    // read of the range, its key included, sees them.
    std::vector<pictures::BytePatch> patches = {};

    using ChunkReceiver = std::function<Status(std::span<const std::uint8_t>)>;

    std::uint64_t size() const { return prefix.size() + length; }
    // Hands the file range to receive piece by piece, in order. Fails, handing on nothing more,
    // when the file can no longer be read or its size has changed.
    Status readRange(const ChunkReceiver& receive) const;
    // The file range into one buffer (resized to it; a buffer kept between pictures saves
    // mapping fresh memory for each).
    Status loadRange(std::vector<std::uint8_t>& into) const;
    // The content key of the file range (the picture's own bytes, without the prefix).
    Result<ContentKey::Key> keyOfRange() const;
    // Streams the prefix and the file range into out.
    Status writeTo(OutputSink& out) const;
};

} // namespace tavorin::xls
