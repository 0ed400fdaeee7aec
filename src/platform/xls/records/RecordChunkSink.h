#pragma once

#include "platform/xls/compound/OutputSink.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavorin::xls {

// Cuts a stream of record data into BIFF records as it passes: the bytes written into this sink
// come out of the one below with a record header before each piece of the plan. A drawing and
// the blips behind it are produced this way in one pass, the picture bytes straight from their
// files, without ever holding a whole record in memory.
class RecordChunkSink final : public OutputSink {
public:
    struct Piece {
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        friend bool operator==(const Piece&, const Piece&) = default;
    };

    static constexpr std::uint32_t maximumPieceLength = 8224;

    // total bytes as one record of firstType, continued in records of continueType.
    static std::vector<Piece> plan(std::uint64_t total, std::uint16_t firstType, std::uint16_t continueType);
    // The same data cut as before when kept is a valid cut of total bytes, or cut anew.
    static std::vector<Piece> planKeeping(std::span<const Piece> kept, std::uint64_t total, std::uint16_t firstType,
                                          std::uint16_t continueType);
    // Bytes the records take in the stream, headers included.
    static std::uint64_t streamSize(std::span<const Piece> pieces);

    RecordChunkSink(OutputSink& out, std::vector<Piece> pieces);

    Status write(std::span<const std::uint8_t> bytes) override;
    // Checks that exactly the planned bytes came (and writes the headers of empty records).
    Status finish() override;
    std::uint64_t written() const override { return written_; }

private:
    Status startPiece();

    OutputSink& out_;
    std::vector<Piece> pieces_;
    std::size_t next_ = 0;      // the piece whose header comes next
    std::uint32_t leftInPiece_ = 0;
    std::uint64_t written_ = 0;
};

} // namespace tavorin::xls
