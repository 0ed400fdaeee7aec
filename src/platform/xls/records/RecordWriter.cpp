#include "platform/xls/records/RecordWriter.h"

#include "platform/xls/records/Record.h"
#include "platform/xls/records/RecordType.h"

#include <algorithm>
#include <array>

namespace tavorin::xls {

namespace {

constexpr std::size_t bufferSize = 64 * 1024;

} // namespace

RecordWriter::RecordWriter(OutputSink& sink, std::uint64_t base) : RecordWriter(&sink, base) {}

RecordWriter::RecordWriter(OutputSink* sink, std::uint64_t base) : sink_(sink), base_(base)
{
    if (sink_)
        buffer_.reserve(bufferSize);
}

RecordWriter::~RecordWriter() { flush(); }

void RecordWriter::header(std::uint16_t type, std::size_t length)
{
    std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(type & 0xFF), static_cast<std::uint8_t>(type >> 8),
                                      static_cast<std::uint8_t>(length & 0xFF),
                                      static_cast<std::uint8_t>((length >> 8) & 0xFF)};
    writeBytes(bytes);
}

void RecordWriter::writeBytes(std::span<const std::uint8_t> bytes)
{
    written_ += bytes.size();
    if (!sink_ || !status_ || bytes.empty())
        return;
    if (buffer_.size() + bytes.size() > bufferSize && !flush())
        return;
    if (bytes.size() >= bufferSize) {
        status_ = sink_->write(bytes);
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

const Status& RecordWriter::flush()
{
    if (sink_ && status_ && !buffer_.empty())
        status_ = sink_->write(buffer_);
    buffer_.clear();
    return status_;
}

void RecordWriter::write(std::uint16_t type, std::span<const std::uint8_t> data)
{
    if (!sink_) {
        written_ += sizeOf(data.size());
        return;
    }
    // Most records are small and go straight into the buffer, header and data together.
    if (data.size() <= maxDataSize && buffer_.size() + Record::headerSize + data.size() <= bufferSize) {
        written_ += Record::headerSize + data.size();
        if (!status_)
            return;
        std::uint8_t header[Record::headerSize] = {
            static_cast<std::uint8_t>(type & 0xFF), static_cast<std::uint8_t>(type >> 8),
            static_cast<std::uint8_t>(data.size() & 0xFF), static_cast<std::uint8_t>((data.size() >> 8) & 0xFF)};
        buffer_.insert(buffer_.end(), std::begin(header), std::end(header));
        buffer_.insert(buffer_.end(), data.begin(), data.end());
        return;
    }
    std::size_t first = std::min(data.size(), maxDataSize);
    header(type, first);
    writeBytes(data.first(first));
    for (std::size_t done = first; done < data.size();) {
        std::size_t piece = std::min(data.size() - done, maxDataSize);
        header(RecordType::Continue, piece);
        writeBytes(data.subspan(done, piece));
        done += piece;
    }
}

} // namespace tavorin::xls
