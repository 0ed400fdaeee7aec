#pragma once

#include "platform/xls/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace tavorin::xls {

// Random access to the bytes of a file without holding them all: the reader of a large workbook
// touches only the sectors it needs.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills out with the bytes at offset; false when the range is not inside the source or the
    // read fails.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;

    // A source over a file opened read-only; the file stays open as long as the source lives.
    static Result<std::unique_ptr<ByteSource>> openFile(const std::filesystem::path& path);
    // A source over bytes already in memory (tests, fuzzing).
    static std::unique_ptr<ByteSource> fromBytes(std::vector<std::uint8_t> bytes);
};

} // namespace tavorin::xls
