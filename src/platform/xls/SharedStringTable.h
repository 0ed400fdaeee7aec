#pragma once

#include "platform/xls/Record.h"
#include "platform/xls/RecordWriter.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavorin::xls {

// The shared string table of a workbook (SST, [MS-XLS] 2.4.265) with its EXTSST index.
// Strings are kept in their stored form (characters, formatting runs, phonetic data) but joined:
// how the file happened to cut them into CONTINUE records is forgotten and made anew on write.
class SharedStringTable {
public:
    // Reads the SST from the data of its record and CONTINUE records, which lie in the stream
    // that stays in memory as long as the table (strings that no CONTINUE cuts are not copied).
    static Result<SharedStringTable> read(std::span<const std::uint8_t> stream,
                                          const std::vector<std::span<const std::uint8_t>>& pieces,
                                          std::uint64_t offset);

    std::uint32_t size() const { return static_cast<std::uint32_t>(entries_.size()); }
    std::uint32_t totalReferences() const { return totalReferences_; }
    void addReferences(std::uint32_t count) { totalReferences_ += count; }
    // The characters of string index (formatting and phonetic data left out).
    std::u16string text(std::uint32_t index) const;

    // The index of a plain string with these characters, added when there is none yet.
    std::uint32_t add(const std::u16string& text);

    // Writes SST (cut into CONTINUE records by the format's rules) and EXTSST.
    void write(RecordWriter& out) const;
    // The number of bytes write() produces.
    std::uint64_t writtenSize() const;

private:
    struct Layout {
        std::size_t headerSize = 0; // cch, option byte, cRun, cbExtRst
        std::size_t characterCount = 0;
        bool highByte = false;
        std::size_t runBytes = 0;
        std::size_t extBytes = 0;
    };
    // A string in unsplit form: in the stream as read, or copied into data_ (cut strings, new ones).
    struct Entry {
        std::uint32_t offset = 0;
        std::uint32_t length = 0; // top bit: in data_
    };
    static constexpr std::uint32_t copied = 0x80000000u;

    Layout layoutOf(std::uint32_t index) const;
    std::span<const std::uint8_t> bytesOf(std::uint32_t index) const;
    std::uint16_t bucketSize() const;

    const std::uint8_t* stream_ = nullptr;
    std::vector<std::uint8_t> data_;
    std::vector<Entry> entries_;
    std::uint32_t totalReferences_ = 0;
    std::unordered_map<std::u16string, std::uint32_t> plainIndex_; // built on the first add()
    bool indexed_ = false;
};

} // namespace tavorin::xls
