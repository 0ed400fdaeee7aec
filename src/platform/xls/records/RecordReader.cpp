#include "platform/xls/records/RecordReader.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/compound/CompoundFile.h"

#include <algorithm>
#include <cstdio>

namespace tavorin::xls {
namespace {

std::string hex4(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", unsigned{value});
    return text;
}

} // namespace

RecordReader::RecordReader(std::span<const std::uint8_t> bytes) : memory_(bytes), size_(bytes.size()) {}

RecordReader::RecordReader(CompoundStream& stream, std::size_t chunkSize)
    : stream_(&stream), size_(stream.size()), chunkSize_(std::max<std::size_t>(chunkSize, Record::headerSize))
{
}

Error RecordReader::error(std::string message, std::optional<std::uint16_t> type, std::uint64_t offset) const
{
    return Error{std::move(message), "workbook stream", type, offset};
}

Status RecordReader::seek(std::uint64_t offset)
{
    if (offset > size_)
        return error("a record position lies beyond the end of the stream (" + std::to_string(size_) +
                         " bytes)",
                     {}, offset);
    position_ = offset;
    return success();
}

Status RecordReader::load(std::uint64_t offset, std::size_t count)
{
    // Callers have checked that the range lies inside the stream.
    std::uint64_t bufferEnd = bufferStart_ + buffer_.size();
    if (!stream_ || (offset >= bufferStart_ && offset + count <= bufferEnd))
        return success();
    std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(std::max(chunkSize_, count), size_ - offset));
    buffer_.resize(length);
    bufferStart_ = offset;
    if (auto status = stream_->read(offset, buffer_); !status) {
        buffer_.clear();
        Error failure = status.error();
        failure.message = "the workbook stream could not be read: " + failure.message;
        return failure;
    }
    return success();
}

std::span<const std::uint8_t> RecordReader::loaded(std::uint64_t offset, std::size_t count) const
{
    if (!stream_)
        return memory_.subspan(static_cast<std::size_t>(offset), count);
    return std::span<const std::uint8_t>(buffer_).subspan(static_cast<std::size_t>(offset - bufferStart_), count);
}

Result<Record> RecordReader::next()
{
    std::uint64_t offset = position_;
    if (offset >= size_)
        return error("the stream ends where a record was expected", {}, offset);
    if (size_ - offset < Record::headerSize)
        return error("the stream ends inside a record header", {}, offset);
    if (stream_) {
        if (auto status = load(offset, Record::headerSize); !status)
            return status.error();
    }
    auto header = loaded(offset, Record::headerSize);
    std::uint16_t type = ByteReader::u16At(header, 0);
    std::uint16_t length = ByteReader::u16At(header, 2);
    if (length > Record::maxDataSize)
        return error("record length " + std::to_string(length) + " exceeds the limit of " +
                         std::to_string(Record::maxDataSize) + " bytes",
                     type, offset);
    std::uint64_t left = size_ - offset - Record::headerSize;
    if (length > left)
        return error("record data runs past the end of the stream (" + std::to_string(length) +
                         " bytes declared, " + std::to_string(left) + " left)",
                     type, offset);
    if (stream_) {
        if (auto status = load(offset + Record::headerSize, length); !status)
            return status.error();
    }
    position_ = offset + Record::headerSize + length;
    return Record{type, loaded(offset + Record::headerSize, length), offset};
}

std::optional<std::uint16_t> RecordReader::peekLoadedType()
{
    if (atEnd() || size_ - position_ < Record::headerSize)
        return std::nullopt;
    if (stream_ && !load(position_, Record::headerSize))
        return std::nullopt;
    return ByteReader::u16At(loaded(position_, Record::headerSize), 0);
}

Result<ContinuedRecord> RecordReader::nextContinued(std::span<const std::uint16_t> continuationTypes)
{
    auto first = next();
    if (!first)
        return first.error();
    ContinuedRecord joined;
    joined.type = first->type;
    joined.offset = first->offset;
    joined.data.assign(first->data.begin(), first->data.end());
    joined.pieces.push_back({0, first->offset, first->type});
    joined.end = first->end();
    // Each pass consumes at least a header, so the loop ends with the stream.
    while (true) {
        auto type = peekType();
        if (!type || std::find(continuationTypes.begin(), continuationTypes.end(), *type) == continuationTypes.end())
            break;
        auto piece = next();
        if (!piece) {
            Error failure = piece.error();
            failure.message += " (in the continuation of record " + hex4(joined.type) + ")";
            return failure;
        }
        joined.pieces.push_back({joined.data.size(), piece->offset, piece->type});
        joined.data.insert(joined.data.end(), piece->data.begin(), piece->data.end());
        joined.end = piece->end();
    }
    return joined;
}

} // namespace tavorin::xls
