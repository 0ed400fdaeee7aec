#include "platform/xls/RecordWriter.h"

#include "platform/xls/RecordType.h"

#include <algorithm>
#include <array>

namespace tavorin::xls {

void RecordWriter::header(std::uint16_t type, std::size_t length)
{
    std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(type & 0xFF), static_cast<std::uint8_t>(type >> 8),
                                      static_cast<std::uint8_t>(length & 0xFF),
                                      static_cast<std::uint8_t>((length >> 8) & 0xFF)};
    writeBytes(bytes);
}

void RecordWriter::writeBytes(std::span<const std::uint8_t> bytes)
{
    if (!status_ || bytes.empty())
        return;
    status_ = sink_.write(bytes);
}

void RecordWriter::write(std::uint16_t type, std::span<const std::uint8_t> data)
{
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
