#pragma once

#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/drawing/PictureShape.h"
#include "platform/xls/records/RecordChunkSink.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tavorin::xls {

// One BIFF record with its data, as the drawing part of a sheet holds them.
struct DrawingRecord {
    std::uint16_t type = 0;
    std::vector<std::uint8_t> data;
    friend bool operator==(const DrawingRecord&, const DrawingRecord&) = default;
};

// The drawing of one worksheet: the OfficeArtDgContainer spread over MSODRAWING records (past
// 8224 bytes Excel writes further pieces as CONTINUE records), with the records that follow each
// piece (the OBJ of the shape whose client data ends the piece, a TXO with its text, an embedded
// chart's whole substream). What was read is kept byte for byte and in the same record cut;
// pictures this program adds are values (PictureShape) that go in at the end of the shape tree
// (before the first embedded chart, where strict readers stop), each in its own piece followed
// by its OBJ.
class SheetDrawing {
public:
    struct ShapeInfo {      // a shape read from the workbook
        std::uint32_t shapeId = 0;
        std::u16string name; // empty when it has none
        std::optional<std::uint32_t> pib;
        std::optional<std::uint16_t> objectId; // of the OBJ record that follows it
        std::uint16_t objectType = 0;          // that OBJ's kind (8 picture, 5 chart, 25 comment ...)
        // Where the shape's records lie in the drawing (offsets of record headers); anchor only
        // for a shape placed on the sheet itself (not inside a group), which has a ClientAnchor.
        std::size_t container = 0;
        std::optional<std::size_t> fsp, fopt, anchor;
        std::optional<std::size_t> rotation; // of the rotation property's value
    };
    // The frame in points and the rotation of a shape read from the workbook, once this program
    // has set them, so that further changes start from these values and not from the anchor
    // rounded to 1/1024 column and 1/256 row.
    struct ShapePlacement {
        double left = 0, top = 0, width = 0, height = 0;
        double rotation = 0;
    };

    // An empty drawing (patriarch only) for a sheet that has none, with a new drawing id and
    // shape ids from the group.
    static Result<SheetDrawing> makeNew(DrawingGroup& group);
    // From the drawing records of a sheet, in order, starting with its first MSODRAWING.
    static Result<SheetDrawing> read(std::span<const DrawingRecord> records);

    std::uint32_t drawingId() const { return drawingId_; }
    const std::vector<ShapeInfo>& shapes() const { return shapes_; }
    const std::vector<PictureShape>& pictures() const { return pictures_; }

    // A new picture shape showing blip pib (already counted in the group), with a fresh shape id
    // and object id; its name is prefix followed by the lowest number from its object id on that
    // no shape of the sheet carries. Returns it for the caller to place.
    Result<PictureShape*> addPicture(DrawingGroup& group, std::uint32_t pib, const std::u16string& namePrefix);
    PictureShape* findPicture(const std::u16string& name);
    // The shape read from the workbook that a name addresses: its own name, or for a shape
    // without one the name Excel shows for it ("図 N" or "Picture N", N its object id). Only
    // shapes placed on the sheet itself qualify; nothing when none does.
    std::optional<std::size_t> findReadShape(const std::u16string& name) const;
    bool hasShapeNamed(const std::u16string& name) const;

    // Anchor and rotation (degrees clockwise) of a shape read from the workbook.
    std::optional<ClientAnchor> anchorOf(std::size_t shape) const;
    double rotationOf(std::size_t shape) const;
    const ShapePlacement* placementOf(std::size_t shape) const;
    // Writes a new anchor and rotation into the shape's records (adding the rotation property when
    // the shape has none) and remembers the placement they came from.
    Status place(std::size_t shape, const ClientAnchor& anchor, const ShapePlacement& placement);

    // A copy for a copied sheet: a new drawing id, new clusters with the same low shape-id bits
    // (so that the OBJ ids, and the NOTE records that name them, stay right), every blip it
    // shows counted once more.
    Result<SheetDrawing> copyFor(DrawingGroup& group) const;

    // The records as they are written, in order; and their size in the stream.
    std::vector<DrawingRecord> records() const;
    std::uint64_t streamSize() const;
    Status write(OutputSink& out) const;

private:
    struct Piece {
        std::size_t start = 0, end = 0; // in art_
        std::vector<RecordChunkSink::Piece> chunks; // how it was cut when read
        std::vector<DrawingRecord> following;
    };
    struct Layout {
        std::vector<std::uint8_t> art;
        struct Out {
            std::size_t start = 0, end = 0;
            std::vector<RecordChunkSink::Piece> chunks;
            const std::vector<DrawingRecord>* following = nullptr;
            std::vector<DrawingRecord> ownFollowing;
            std::uint16_t firstType = 0; // of a piece cut anew; 0 when its place decides
        };
        std::vector<Out> pieces;
    };

    Status parse();
    Status parseShapes(std::size_t from, std::size_t to, int depth);
    void linkObjectIds();
    // Inserts bytes at offset inside the given containers (record header offsets, outermost
    // first), growing their lengths and the piece that holds them, then reads the drawing again.
    Status insertBytes(std::size_t offset, std::span<const std::uint8_t> bytes, std::span<const std::size_t> containers);
    Status setRotation(std::size_t shape, double degrees);
    Layout layout() const;
    std::size_t newShapesOffset() const;
    void clearParsed();
    void markContainer(std::size_t offset);
    static std::uint16_t typeOfFirstRecord(const Layout::Out& piece);
    std::uint32_t largestShapeId() const;

    std::vector<std::uint8_t> art_;
    std::vector<Piece> pieces_;
    std::uint32_t drawingId_ = 0;
    std::size_t fdgOffset_ = 0;
    std::size_t spgrOffset_ = 0;
    std::size_t spgrEnd_ = 0;
    std::vector<ShapeInfo> shapes_;
    std::vector<std::size_t> topLevelShapes_; // offsets of the shapes and groups of the patriarch's tree
    std::vector<std::size_t> spidOffsets_;   // every FSP.spid and solver rule spid in art_
    std::vector<std::size_t> pibOffsets_;    // values of blip properties in art_
    std::set<std::uint16_t> objectIds_;
    std::vector<PictureShape> pictures_;
    std::map<std::size_t, ShapePlacement> placements_; // by index in shapes_
};

} // namespace tavorin::xls
