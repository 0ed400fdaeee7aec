#pragma once

#include "platform/xls/compound/ByteBuffer.h"

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace tavorin::xls {

// Where the data of one record lies in a RecordStore.
struct DataRef {
    std::uint32_t block = 0; // 0: the stream as read; n: the n-th block added since
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// One record of the model: its type and where its data lies. Records that nobody changed point
// into the stream as it was read, so a workbook in memory costs little more than its stream.
struct StoredRecord {
    std::uint16_t type = 0;
    DataRef data;
};

// The bytes behind the records of one workbook: the Workbook stream as read, and the data of
// every record made or changed since. Nothing is ever removed, so a DataRef stays valid for the
// workbook's life and may be shared by several records (a copied sheet shares its template's).
class RecordStore {
public:
    RecordStore() = default;
    explicit RecordStore(ByteBuffer stream) : stream_(std::move(stream)) {}
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    RecordStore(RecordStore&&) noexcept = default;
    RecordStore& operator=(RecordStore&&) noexcept = default;

    std::span<const std::uint8_t> stream() const { return stream_.bytes(); }

    std::span<const std::uint8_t> bytes(DataRef ref) const
    {
        std::span<const std::uint8_t> block = ref.block == 0 ? stream_.bytes() : std::span<const std::uint8_t>(added_[ref.block - 1]);
        return block.subspan(ref.offset, ref.length);
    }

    // A reference to bytes of the stream as read (the caller has checked the range).
    static DataRef inStream(std::uint64_t offset, std::size_t length)
    {
        return DataRef{0, static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)};
    }

    // Bytes of the stream as read that nothing will read again (the drawing group once it has
    // been taken apart) give their memory back; they read as zeros afterwards.
    void releaseFromStream(std::uint64_t offset, std::uint64_t length)
    {
        stream_.release(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
    }

    DataRef add(std::vector<std::uint8_t> bytes)
    {
        auto length = static_cast<std::uint32_t>(bytes.size());
        added_.push_back(std::move(bytes));
        return DataRef{static_cast<std::uint32_t>(added_.size()), 0, length};
    }

    StoredRecord addRecord(std::uint16_t type, std::vector<std::uint8_t> bytes)
    {
        return StoredRecord{type, add(std::move(bytes))};
    }

private:
    ByteBuffer stream_;
    std::deque<std::vector<std::uint8_t>> added_;
};

} // namespace tavorin::xls
