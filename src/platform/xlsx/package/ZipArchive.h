#pragma once

#include "platform/xlsx/XlsxError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct zip;

namespace tavorin::xlsx {

// A zip file opened for reading through libzip. Only the central directory is read when it is
// opened; an entry's bytes are read when asked for, and never more than a part may reasonably
// hold: an entry that claims more than maximumPartSize, or that would inflate beyond
// maximumRatio times its compressed size, is refused before it is unpacked (zip bombs).
class ZipArchive {
public:
    struct Entry {
        std::string name;            // as stored in the zip, without a leading '/'
        std::uint64_t index = 0;
        std::uint64_t size = 0;      // uncompressed
        std::uint64_t compressedSize = 0;
    };

    static constexpr std::uint64_t maximumPartSize = 512ull * 1024 * 1024;
    static constexpr std::uint64_t maximumRatio = 1000;
    static constexpr std::size_t maximumEntries = 200000;

    static Result<ZipArchive> open(const std::filesystem::path& path);

    ZipArchive(ZipArchive&& other) noexcept;
    ZipArchive& operator=(ZipArchive&& other) noexcept;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive();

    const std::vector<Entry>& entries() const { return entries_; }
    // Part names compare without regard to ASCII case, as the package format says.
    const Entry* find(std::string_view name) const;
    // The whole entry, checked against its declared size and CRC.
    Result<std::string> read(const Entry& entry) const;

    zip* handle() const { return archive_; }

private:
    explicit ZipArchive(zip* archive) : archive_(archive) {}

    zip* archive_ = nullptr;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> byName_; // lower-case name -> entry
};

// ASCII lower case, as part names are compared.
std::string foldedPartName(std::string_view name);

} // namespace tavorin::xlsx
