#pragma once

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavorin::xls {

// Writes BIFF records into a sink and knows the stream offset it has reached. Data longer than
// a record may hold goes on in CONTINUE records. The many small records of a stream are gathered
// in a buffer and handed to the sink in large pieces. Write errors are kept and reported once by
// status() (complete after flush()), so that the writes need no check each. A measuring writer
// has no sink: it only counts, for a pass that must know sizes and offsets before writing.
class RecordWriter {
public:
    static constexpr std::size_t maxDataSize = 8224;

    // base: the stream offset of the first byte this writer writes.
    RecordWriter(OutputSink& sink, std::uint64_t base);
    static RecordWriter measuring(std::uint64_t base) { return RecordWriter(nullptr, base); }
    // Hands on what is still buffered (a caller that wants to see errors calls flush() first).
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    std::uint64_t offset() const { return base_ + written_; }
    // A measuring writer: what is given to it is only counted.
    bool countsOnly() const { return sink_ == nullptr; }

    // One record; data beyond 8224 bytes is cut into CONTINUE records.
    void write(std::uint16_t type, std::span<const std::uint8_t> data);
    // Raw bytes exactly as given (a record header and data prepared by the caller).
    void writeBytes(std::span<const std::uint8_t> bytes);
    // Hands the buffered bytes to the sink.
    const Status& flush();

    const Status& status() const { return status_; }

    static std::uint64_t sizeOf(std::size_t dataSize)
    {
        std::uint64_t pieces = dataSize == 0 ? 1 : (dataSize + maxDataSize - 1) / maxDataSize;
        return dataSize + 4 * pieces;
    }

private:
    RecordWriter(OutputSink* sink, std::uint64_t base);
    void header(std::uint16_t type, std::size_t length);

    OutputSink* sink_;
    std::uint64_t base_;
    std::uint64_t written_ = 0;
    std::vector<std::uint8_t> buffer_;
    Status status_ = success();
};

// Little-endian helpers for building record data.
inline void putU8(std::vector<std::uint8_t>& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }
inline void putU16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
inline void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
}
inline void setU16(std::span<std::uint8_t> out, std::size_t offset, unsigned value)
{
    out[offset] = static_cast<std::uint8_t>(value & 0xFF);
    out[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline void setU32(std::span<std::uint8_t> out, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

} // namespace tavorin::xls
