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
    // Reads the joined SST record; the pieces say where the file's CONTINUE records began.
    static Result<SharedStringTable> read(const ContinuedRecord& record);

    std::uint32_t size() const { return static_cast<std::uint32_t>(starts_.size()); }
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
    Layout layoutOf(std::uint32_t index) const;
    std::size_t begin(std::uint32_t index) const { return starts_[index]; }
    std::size_t end(std::uint32_t index) const
    {
        return index + 1 < starts_.size() ? starts_[index + 1] : data_.size();
    }
    std::uint16_t bucketSize() const;

    std::vector<std::uint8_t> data_;   // the strings one after the other, each in unsplit form
    std::vector<std::uint32_t> starts_;
    std::uint32_t totalReferences_ = 0;
    std::unordered_map<std::u16string, std::uint32_t> plainIndex_; // built on the first add()
    bool indexed_ = false;
};

} // namespace tavorin::xls
