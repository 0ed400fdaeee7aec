#include "platform/xls/records/RecordChunkSink.h"

#include <algorithm>
#include <numeric>

namespace tavorin::xls {
namespace {

Error chunkError(const std::string& what) { return Error{what, "drawing", {}, {}}; }

} // namespace

std::vector<RecordChunkSink::Piece> RecordChunkSink::plan(std::uint64_t total, std::uint16_t firstType,
                                                          std::uint16_t continueType)
{
    std::vector<Piece> pieces;
    std::uint64_t left = total;
    do {
        auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, maximumPieceLength));
        pieces.push_back({pieces.empty() ? firstType : continueType, length});
        left -= length;
    } while (left > 0);
    return pieces;
}

std::vector<RecordChunkSink::Piece> RecordChunkSink::planKeeping(std::span<const Piece> kept, std::uint64_t total,
                                                                 std::uint16_t firstType, std::uint16_t continueType)
{
    std::uint64_t keptTotal = 0;
    bool valid = !kept.empty() && kept.front().type == firstType;
    for (const auto& piece : kept) {
        keptTotal += piece.length;
        valid = valid && piece.length <= maximumPieceLength;
    }
    if (valid && keptTotal == total)
        return {kept.begin(), kept.end()};
    return plan(total, firstType, continueType);
}

std::uint64_t RecordChunkSink::streamSize(std::span<const Piece> pieces)
{
    return std::accumulate(pieces.begin(), pieces.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const Piece& piece) { return sum + 4 + piece.length; });
}

RecordChunkSink::RecordChunkSink(OutputSink& out, std::vector<Piece> pieces) : out_(out), pieces_(std::move(pieces)) {}

Status RecordChunkSink::startPiece()
{
    const Piece& piece = pieces_[next_++];
    std::uint8_t header[4] = {static_cast<std::uint8_t>(piece.type), static_cast<std::uint8_t>(piece.type >> 8),
                              static_cast<std::uint8_t>(piece.length), static_cast<std::uint8_t>(piece.length >> 8)};
    leftInPiece_ = piece.length;
    return out_.write(header);
}

Status RecordChunkSink::write(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        while (leftInPiece_ == 0) {
            if (next_ >= pieces_.size())
                return chunkError("more drawing data than announced");
            if (auto status = startPiece(); !status)
                return status;
        }
        std::size_t count = std::min<std::size_t>(bytes.size(), leftInPiece_);
        if (auto status = out_.write(bytes.first(count)); !status)
            return status;
        leftInPiece_ -= static_cast<std::uint32_t>(count);
        written_ += count;
        bytes = bytes.subspan(count);
    }
    return success();
}

Status RecordChunkSink::finish()
{
    if (leftInPiece_ != 0)
        return chunkError("less drawing data than announced");
    while (next_ < pieces_.size()) {
        if (pieces_[next_].length != 0)
            return chunkError("less drawing data than announced");
        if (auto status = startPiece(); !status)
            return status;
    }
    return success();
}

} // namespace tavorin::xls
