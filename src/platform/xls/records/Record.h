#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavorin::xls {

// One BIFF record as it lies in a stream: a 4-byte header (type, length) and at most
// maxDataSize bytes of data. The data span points into the reader's buffer and stays valid
// until the reader reads again.
struct Record {
    static constexpr std::size_t headerSize = 4;
    static constexpr std::size_t maxDataSize = 8224;

    std::uint16_t type = 0;
    std::span<const std::uint8_t> data;
    std::uint64_t offset = 0; // absolute offset of the record header in the stream

    std::uint64_t end() const { return offset + headerSize + data.size(); }
};

// A record whose data goes on in the CONTINUE records after it, joined into one buffer.
// Records such as SST need to know where each piece began (a string split over a boundary
// repeats its option byte), so the boundaries are kept.
struct ContinuedRecord {
    struct Piece {
        std::size_t dataOffset = 0;   // where the piece starts in data
        std::uint64_t streamOffset = 0; // where its record header lies in the stream
        std::uint16_t type = 0;       // the first piece has the record's type, the others CONTINUE (or
                                      // the type that continues it, such as MSODRAWINGGROUP)
    };

    std::uint16_t type = 0;
    std::uint64_t offset = 0; // absolute offset of the first record header
    std::vector<std::uint8_t> data;
    std::vector<Piece> pieces; // at least one: the first record itself

    // Offset in the stream just after the last piece.
    std::uint64_t end = 0;
};

} // namespace tavorin::xls
