#pragma once

#include "platform/xls/drawing/ClientAnchor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavorin::xls {

// A picture this program places on a sheet, kept as values until the drawing is written:
// its shape id, the blip it shows, its name, its frame in points (the unrotated rectangle the
// worksheet operations read and set), its rotation and the anchor that records it.
struct PictureShape {
    std::uint32_t shapeId = 0;
    std::uint16_t objectId = 0; // the OBJ record's id
    std::uint32_t pib = 0;      // 1-based index in the blip store
    std::u16string name;
    double left = 0, top = 0, width = 0, height = 0; // points
    double rotation = 0;                           // degrees clockwise
    ClientAnchor anchor;

    // A rotation as the shape's rotation property holds it: 16.16 fixed point, in [0, 360).
    static std::uint32_t fixedRotation(double degrees);

    // The shape's SpContainer (FSP, FOPT, ClientAnchor, ClientData).
    std::vector<std::uint8_t> shapeRecords() const;
    // The OBJ record data that follows it (ftCmo picture, ftCf, ftPioGrbit, ftEnd).
    std::vector<std::uint8_t> objectData() const;
};

} // namespace tavorin::xls
