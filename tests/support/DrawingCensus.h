#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavorin::test {

// What the drawing records of a workbook hold, read by hand from its Workbook stream as the
// OfficeArt format lays them out, without the engine's drawing model: the pictures of the drawing
// group's store with their reference counts, its shape-id clusters, and each sheet drawing's id
// and shape ids. Excel repairs a workbook whose ids clash, so the ids are judged here too.
struct DrawingCensus {
    struct StoredPicture {
        int blipType = 0; // 2 EMF, 3 WMF, 5 JPEG, 6 PNG
        std::uint32_t references = 0;
    };
    struct Cluster {
        std::uint32_t drawingId = 0, used = 0;
    };
    struct Drawing {
        std::uint32_t id = 0, shapeCount = 0, lastShapeId = 0;
        std::vector<std::uint32_t> shapeIds;
    };

    std::vector<StoredPicture> pictures;
    std::vector<Cluster> clusters;
    std::uint32_t maximumShapeId = 0, savedDrawings = 0;
    std::vector<Drawing> drawings; // one per sheet that has a drawing, in stream order

    static DrawingCensus of(const std::filesystem::path& workbook);
    // Clashing ids, shapes outside their drawing's clusters, counts that disagree: a line each.
    std::string idProblems() const;
};

} // namespace tavorin::test
