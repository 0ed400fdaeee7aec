#pragma once

#include "platform/xls/records/Record.h"
#include "platform/xls/records/RecordWriter.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavorin::xls {

// The shared string table of a workbook (SST, [MS-XLS] 2.4.265) with its EXTSST index.
// A table nobody adds to is written back as it was read, its strings never looked at. Once read,
// strings are kept in their stored form (characters, formatting runs, phonetic data) but joined:
// how the file happened to cut them into CONTINUE records is forgotten and made anew on write.
class SharedStringTable {
public:
    // Takes the SST from the data of its record and CONTINUE records, which lie in the stream
    // that stays in memory as long as the table (strings that no CONTINUE cuts are not copied);
    // offset is where the SST record lies in the stream. Only the header is read here.
    static Result<SharedStringTable> read(std::span<const std::uint8_t> stream,
                                          const std::vector<std::span<const std::uint8_t>>& pieces,
                                          std::uint64_t offset);
    // The EXTSST record's data as read (in the same stream): written back with the table.
    void keepIndexRecord(std::span<const std::uint8_t> data);
    // Reads the strings, once; an error names the string that is damaged.
    Status readStrings();

    // The number of strings (as announced while they are not read).
    std::uint32_t size() const { return stringsRead_ ? static_cast<std::uint32_t>(entries_.size()) : announced_; }
    std::uint32_t totalReferences() const { return totalReferences_; }
    void addReferences(std::uint32_t count)
    {
        totalReferences_ += count;
        changed_ = true;
    }
    // The characters of string index (formatting and phonetic data left out); nothing when the
    // strings cannot be read.
    std::u16string text(std::uint32_t index);

    // The index of a plain string with these characters, added when there is none yet.
    Result<std::uint32_t> add(const std::u16string& text);

    // Writes SST (cut into CONTINUE records by the format's rules) and EXTSST.
    void write(RecordWriter& out) const;

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

    struct Piece {
        std::uint32_t offset = 0; // in the stream
        std::uint32_t length = 0;
    };

    void writeAsRead(RecordWriter& out) const;
    std::span<const std::uint8_t> pieceBytes(Piece piece) const;
    Layout layoutOf(std::uint32_t index) const;
    std::span<const std::uint8_t> bytesOf(std::uint32_t index) const;
    std::uint16_t bucketSize() const;

    const std::uint8_t* stream_ = nullptr;
    std::vector<std::uint8_t> data_;
    std::vector<Entry> entries_;
    std::uint32_t totalReferences_ = 0;
    // As read: the data of SST and its CONTINUEs, where SST lay, and EXTSST.
    std::vector<Piece> pieces_;
    std::uint64_t readAt_ = 0;
    std::optional<Piece> readIndex_;
    std::uint32_t announced_ = 0;
    bool stringsRead_ = true; // a new table has nothing to read
    bool changed_ = false;
    std::unordered_map<std::u16string, std::uint32_t> plainIndex_; // built on the first add()
    bool indexed_ = false;
};

} // namespace tavorin::xls
