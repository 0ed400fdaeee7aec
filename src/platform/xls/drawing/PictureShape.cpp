#include "platform/xls/drawing/PictureShape.h"

#include "platform/xls/drawing/OfficeArtRecord.h"

#include <cmath>

namespace tavorin::xls {
namespace {

using Art = OfficeArtRecord;

constexpr std::uint16_t msosptPictureFrame = 75;
constexpr std::uint32_t fspHaveAnchor = 0x200;
constexpr std::uint32_t fspHaveSpt = 0x800;

} // namespace

std::uint32_t PictureShape::fixedRotation(double degrees)
{
    double turned = std::fmod(degrees, 360.0);
    if (turned < 0)
        turned += 360.0;
    return static_cast<std::uint32_t>(std::lround(turned * 65536.0)) % (360u << 16);
}

std::vector<std::uint8_t> PictureShape::shapeRecords() const
{
    std::vector<std::uint8_t> fsp;
    Art::putHeader(fsp, 2, msosptPictureFrame, Art::Fsp, 8);
    appendU32(fsp, shapeId);
    appendU32(fsp, fspHaveAnchor | fspHaveSpt);

    // Properties sorted by id; the name's characters (with their terminating zero) follow them.
    std::vector<std::uint8_t> properties;
    std::uint16_t count = 0;
    auto property = [&](unsigned id, std::uint32_t value) {
        appendU16(properties, id);
        appendU32(properties, value);
        ++count;
    };
    std::uint32_t turn = fixedRotation(rotation);
    if (turn != 0)
        property(0x0004, turn);          // rotation
    property(0x007F, 0x00800080);        // fLockAspectRatio and its "used" bit
    property(0x4104, pib);               // pib, a blip id (fBid)
    std::vector<std::uint8_t> complex;
    if (!name.empty()) {
        for (char16_t c : name)
            appendU16(complex, c);
        appendU16(complex, 0);
        property(0x8380, static_cast<std::uint32_t>(complex.size())); // wzName, complex
    }
    std::vector<std::uint8_t> fopt;
    Art::putHeader(fopt, 3, count, Art::Fopt, static_cast<std::uint32_t>(properties.size() + complex.size()));
    fopt.insert(fopt.end(), properties.begin(), properties.end());
    fopt.insert(fopt.end(), complex.begin(), complex.end());

    std::vector<std::uint8_t> anchorRecord;
    Art::putHeader(anchorRecord, 0, 0, Art::ClientAnchor, 18);
    for (unsigned value : {anchor.flags, anchor.firstColumn, anchor.firstColumnOffset, anchor.firstRow, anchor.firstRowOffset,
                           anchor.lastColumn, anchor.lastColumnOffset, anchor.lastRow, anchor.lastRowOffset})
        appendU16(anchorRecord, value);

    std::vector<std::uint8_t> out;
    Art::putHeader(out, Art::containerVersion, 0, Art::SpContainer,
                   static_cast<std::uint32_t>(fsp.size() + fopt.size() + anchorRecord.size() + Art::headerSize));
    out.insert(out.end(), fsp.begin(), fsp.end());
    out.insert(out.end(), fopt.begin(), fopt.end());
    out.insert(out.end(), anchorRecord.begin(), anchorRecord.end());
    Art::putHeader(out, 0, 0, Art::ClientData, 0);
    return out;
}

std::vector<std::uint8_t> PictureShape::objectData() const
{
    std::vector<std::uint8_t> out;
    // ftCmo: picture (ot 8), id, locked | printable | autofill | autoline (0x6011), 12 reserved bytes.
    appendU16(out, 0x15);
    appendU16(out, 0x12);
    appendU16(out, 8);
    appendU16(out, objectId);
    appendU16(out, 0x6011);
    out.insert(out.end(), 12, 0);
    // ftCf: clipboard format unspecified (0xFFFF), as Excel writes for its pictures.
    appendU16(out, 0x07);
    appendU16(out, 2);
    appendU16(out, 0xFFFF);
    // ftPioGrbit: fAutoPict.
    appendU16(out, 0x08);
    appendU16(out, 2);
    appendU16(out, 0x0001);
    // ftEnd.
    appendU32(out, 0);
    return out;
}

} // namespace tavorin::xls
