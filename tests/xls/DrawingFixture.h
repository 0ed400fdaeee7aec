#pragma once

#include "platform/xls/records/RecordChunkSink.h"
#include "platform/xls/drawing/SheetDrawing.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tavorin::test {

// The drawing records of a workbook file, found with a plain walk over its Workbook stream
// (independent of the engine's model): the drawing group and each sheet's run of drawing
// records, with the stream bytes they occupy.
struct DrawingFixture {
    struct Run {
        std::vector<xls::DrawingRecord> records;
        std::vector<std::uint8_t> streamBytes; // headers included, as in the file
    };
    std::vector<std::uint8_t> stream;
    bool hasGroup = false;
    std::vector<std::uint8_t> groupData;
    std::vector<xls::RecordChunkSink::Piece> groupPieces;
    std::vector<std::uint8_t> groupStreamBytes;
    std::vector<Run> sheetDrawings;

    static DrawingFixture load(const std::filesystem::path& workbook);
};

} // namespace tavorin::test
