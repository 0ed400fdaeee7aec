#pragma once

#include "platform/xls/records/Record.h"
#include "platform/xls/records/RecordType.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavorin::xls {

class CompoundStream;

// Reads BIFF records one after the other, either from bytes in memory or lazily from a
// compound-file stream, which it fetches in chunks as the records are reached (listing the sheets
// of a large workbook reads the globals and nothing of the sheets behind them).
// Every header and length is checked against the 8224-byte limit and the end of the stream; a
// failure is an Error naming the record type and its offset. The span of a returned Record points
// into the reader and is valid until the next call of next(), peekType(), nextContinued() or seek().
class RecordReader {
public:
    static constexpr std::size_t defaultChunkSize = 64 * 1024;
    static constexpr std::array<std::uint16_t, 1> continueOnly{RecordType::Continue};

    // Over bytes in memory; offsets count from the first byte.
    explicit RecordReader(std::span<const std::uint8_t> bytes);
    // Over a stream of a compound file, which must outlive the reader.
    explicit RecordReader(CompoundStream& stream, std::size_t chunkSize = defaultChunkSize);

    std::uint64_t size() const { return size_; }
    std::uint64_t position() const { return position_; }
    bool atEnd() const { return position_ >= size_; }
    // Moves to a record header, e.g. a sheet's BOF found through its BoundSheet8.
    Status seek(std::uint64_t offset);

    // The record at the current position; moves past it.
    Result<Record> next();
    // The type of the record at the current position without moving; nothing at the end of the
    // stream or when no complete header can be read there (next() then says why).
    std::optional<std::uint16_t> peekType()
    {
        // Bytes in memory need no loading: the reader of a sheet asks this after every cell.
        if (!stream_ && position_ <= size_ && size_ - position_ >= Record::headerSize)
            return static_cast<std::uint16_t>(memory_[position_] | (memory_[position_ + 1] << 8));
        return peekLoadedType();
    }
    // The record at the current position joined with the records right after it whose type is
    // one of continuationTypes (CONTINUE unless told otherwise, e.g. MSODRAWINGGROUP also goes on
    // in further MSODRAWINGGROUP records).
    Result<ContinuedRecord> nextContinued(std::span<const std::uint16_t> continuationTypes = continueOnly);

private:
    std::optional<std::uint16_t> peekLoadedType();
    // Makes the range available from the stream (bytes in memory always are); loaded() then
    // points at it.
    Status load(std::uint64_t offset, std::size_t count);
    std::span<const std::uint8_t> loaded(std::uint64_t offset, std::size_t count) const;
    Error error(std::string message, std::optional<std::uint16_t> type, std::uint64_t offset) const;

    std::span<const std::uint8_t> memory_;
    CompoundStream* stream_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::size_t chunkSize_ = defaultChunkSize;
    std::vector<std::uint8_t> buffer_; // stream bytes from bufferStart_ on
    std::uint64_t bufferStart_ = 0;
};

} // namespace tavorin::xls
