#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/geometry/XlsxSheetGeometry.h"

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tavorin::xlsx {

// A sheet's drawing part (xdr:wsDr). The shapes it holds when read stay as they are; pictures
// added here are two-cell anchors that move but do not size with their cells (editAs="oneCell"),
// as Excel anchors an inserted picture, each with its frame in a:xfrm and its rotation in
// 60000ths of a degree.
class DrawingPart {
public:
    using AnchorPoint = XlsxSheetGeometry::AnchorPoint;
    struct Anchor {
        AnchorPoint fromColumn, fromRow, toColumn, toRow;
    };
    // An unrotated frame in EMU.
    struct FrameEmu {
        std::int64_t x = 0, y = 0, cx = 0, cy = 0;
    };

    static constexpr std::size_t maximumShapes = 100000;

    static Result<std::unique_ptr<DrawingPart>> parse(std::string_view bytes, const std::string& part);
    static std::unique_ptr<DrawingPart> create();

    // A new picture showing the image of the relationship; returns its anchor element. Its name
    // is namePrefix followed by a number no other shape of the drawing uses.
    pugi::xml_node addPicture(const std::string& relationshipId, const std::string& namePrefix,
                              const std::string& description);
    // The anchor element of the shape of that name (a picture added here or read), or none.
    pugi::xml_node find(const std::string& name) const;
    static std::string nameOf(pugi::xml_node anchor);

    // Writes a two-cell anchor's cells, the frame and the rotation (degrees clockwise).
    static Status place(pugi::xml_node anchor, const Anchor& cells, const FrameEmu& frame, double rotation);
    // The two-cell anchor's cells; nothing for other anchors.
    static std::optional<Anchor> cellsOf(pugi::xml_node anchor);
    static double rotationOf(pugi::xml_node anchor);

    std::string serialize() const;

private:
    void indexShapes();

    std::shared_ptr<pugi::xml_document> document_;
    std::string xdr_, a_; // prefixes with their colon ("xdr:"), or empty for a default namespace
    std::map<std::string, pugi::xml_node> byName_;
    int nextId_ = 2;
};

} // namespace tavorin::xlsx
