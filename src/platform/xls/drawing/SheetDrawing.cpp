#include "platform/xls/drawing/SheetDrawing.h"

#include "platform/xls/drawing/OfficeArtRecord.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>
#include <map>

namespace tavorin::xls {
namespace {

using Art = OfficeArtRecord;

constexpr std::uint16_t objRecord = 0x005D;
constexpr std::uint16_t chartObject = 5; // ftCmo.ot
constexpr int deepestGroup = 64;
constexpr std::uint16_t propertyName = 0x0380;
constexpr std::uint16_t propertyPib = 0x0104;
constexpr std::uint16_t propertyFillBlip = 0x0186;
constexpr std::uint16_t propertyRotation = 0x0004;

Error drawingError(const std::string& what, std::optional<std::uint64_t> offset = std::nullopt)
{
    return Error{"sheet drawing: " + what, "drawing", RecordType::MsoDrawing, offset};
}

std::u16string numbered(std::u16string_view prefix, unsigned number)
{
    std::u16string name(prefix);
    for (char c : std::to_string(number))
        name.push_back(static_cast<char16_t>(c));
    return name;
}

// The names Excel shows for a shape that stores none: its kind and its object id, in the
// desktop's language. Both forms are taken, so that workbooks from either desktop are found.
bool isDefaultName(const SheetDrawing::ShapeInfo& shape, const std::u16string& name)
{
    return shape.objectId && (name == numbered(u"図 ", *shape.objectId) || name == numbered(u"Picture ", *shape.objectId));
}

} // namespace

Result<SheetDrawing> SheetDrawing::makeNew(DrawingGroup& group)
{
    std::uint32_t id = group.newDrawingId();
    if (id == 0)
        return drawingError("the workbook has no drawing id left for another sheet");
    std::uint32_t patriarch = group.newShapeId(id);
    group.countShapes(1);

    std::vector<std::uint8_t> shape;
    Art::putHeader(shape, 1, 0, Art::Fspgr, 16);
    shape.insert(shape.end(), 16, 0);
    Art::putHeader(shape, 2, 0, Art::Fsp, 8);
    appendU32(shape, patriarch);
    appendU32(shape, 0x0005); // fGroup | fPatriarch
    std::vector<std::uint8_t> group0;
    Art::putHeader(group0, Art::containerVersion, 0, Art::SpContainer, static_cast<std::uint32_t>(shape.size()));
    group0.insert(group0.end(), shape.begin(), shape.end());
    std::vector<std::uint8_t> tree;
    Art::putHeader(tree, Art::containerVersion, 0, Art::SpgrContainer, static_cast<std::uint32_t>(group0.size()));
    tree.insert(tree.end(), group0.begin(), group0.end());

    SheetDrawing drawing;
    Art::putHeader(drawing.art_, Art::containerVersion, 0, Art::DgContainer,
                   static_cast<std::uint32_t>(Art::headerSize + 8 + tree.size()));
    Art::putHeader(drawing.art_, 0, static_cast<std::uint16_t>(id), Art::Fdg, 8);
    appendU32(drawing.art_, 1);
    appendU32(drawing.art_, patriarch);
    drawing.art_.insert(drawing.art_.end(), tree.begin(), tree.end());
    drawing.pieces_.push_back({0, drawing.art_.size(), {}, {}});
    if (auto status = drawing.parse(); !status)
        return status.error();
    return drawing;
}

namespace {

// What a TXO record announces in the CONTINUE records behind it: its text (each piece led by a
// byte that says whether the characters take one or two bytes), then its formatting runs.
class TextContinues {
public:
    void start(std::span<const std::uint8_t> txo)
    {
        characters_ = txo.size() >= 14 ? ByteReader::u16At(txo, 10) : 0;
        runBytes_ = characters_ > 0 && txo.size() >= 14 ? ByteReader::u16At(txo, 12) : 0;
    }
    void stop() { characters_ = runBytes_ = 0; }
    bool expected() const { return characters_ > 0 || runBytes_ > 0; }
    void take(std::span<const std::uint8_t> data)
    {
        if (characters_ > 0) {
            std::size_t width = !data.empty() && (data[0] & 0x01) ? 2 : 1;
            std::size_t count = data.empty() ? 0 : (data.size() - 1) / width;
            // A piece without a character still moves on, so that a damaged TXO cannot hold
            // the drawing's own CONTINUE records for ever.
            characters_ -= static_cast<std::uint32_t>(std::clamp<std::size_t>(count, 1, characters_));
            return;
        }
        runBytes_ -= static_cast<std::uint32_t>(std::min<std::size_t>(data.size(), runBytes_));
    }

private:
    std::uint32_t characters_ = 0;
    std::uint32_t runBytes_ = 0;
};

} // namespace

Result<SheetDrawing> SheetDrawing::read(std::span<const DrawingRecord> records)
{
    SheetDrawing drawing;
    if (records.empty() || records.front().type != RecordType::MsoDrawing)
        return drawingError("the drawing records do not start with MSODRAWING");
    // Past 8224 bytes of drawing, Excel writes further pieces as CONTINUE records, behind the OBJ
    // of the shape before them: a CONTINUE is drawing data unless it carries on a TXO's text.
    // Embedded charts are whole substreams (BOF ... EOF) that belong to their shape's OBJ.
    bool pieceGoesOn = false;
    int substreamDepth = 0;
    TextContinues text;
    for (const auto& record : records) {
        if (record.data.size() > RecordChunkSink::maximumPieceLength)
            return drawingError("a record is longer than 8224 bytes");
        auto length = static_cast<std::uint32_t>(record.data.size());
        bool drawingData = false;
        if (substreamDepth > 0 || record.type == RecordType::Bof) {
            substreamDepth += record.type == RecordType::Bof ? 1 : record.type == RecordType::Eof ? -1 : 0;
        } else if (record.type == RecordType::MsoDrawing) {
            drawing.pieces_.push_back({drawing.art_.size(), 0, {{record.type, length}}, {}});
            drawingData = true;
            text.stop();
        } else if (record.type == RecordType::Continue && pieceGoesOn) {
            drawing.pieces_.back().chunks.push_back({record.type, length});
            drawingData = true;
        } else if (record.type == RecordType::Continue && text.expected()) {
            text.take(record.data);
        } else if (record.type == RecordType::Continue) {
            drawing.pieces_.push_back({drawing.art_.size(), 0, {{record.type, length}}, {}});
            drawingData = true;
        } else if (record.type == RecordType::Txo) {
            text.start(record.data);
        } else {
            text.stop();
        }
        pieceGoesOn = drawingData;
        if (!drawingData) {
            drawing.pieces_.back().following.push_back(record);
            continue;
        }
        drawing.art_.insert(drawing.art_.end(), record.data.begin(), record.data.end());
        drawing.pieces_.back().end = drawing.art_.size();
    }
    if (auto status = drawing.parse(); !status)
        return status.error();
    return drawing;
}

Status SheetDrawing::parse()
{
    std::span<const std::uint8_t> art = art_;
    auto top = Art::at(art, 0, art.size());
    if (!top || top->type != Art::DgContainer || !top->container() || top->end() != art.size())
        return drawingError("the MSODRAWING data is not one drawing container", 0);
    markContainer(0);
    bool haveFdg = false, haveTree = false;
    for (std::size_t at = top->dataOffset(); at < top->end();) {
        auto child = Art::at(art, at, top->end());
        if (!child)
            return drawingError("a record runs past the end of the drawing container", at);
        if (child->type == Art::Fdg && !haveFdg) {
            if (child->length < 8)
                return drawingError("the FDG record is too short", at);
            haveFdg = true;
            drawingId_ = child->instance;
            fdgOffset_ = child->offset;
        } else if (child->type == Art::SpgrContainer && child->container() && !haveTree) {
            haveTree = true;
            markContainer(child->offset);
            spgrOffset_ = child->offset;
            spgrEnd_ = child->end();
            if (auto status = parseShapes(child->dataOffset(), child->end(), 0); !status)
                return status;
        } else if (child->type == Art::SolverContainer && child->container()) {
            for (std::size_t r = child->dataOffset(); r < child->end();) {
                auto rule = Art::at(art, r, child->end());
                if (!rule)
                    return drawingError("a rule runs past the end of the solver container", r);
                std::size_t d = rule->dataOffset();
                if (rule->type == Art::ConnectorRule && rule->length >= 16)
                    spidOffsets_.insert(spidOffsets_.end(), {d + 4, d + 8, d + 12});
                else if ((rule->type == Art::ArcRule || rule->type == Art::CalloutRule) && rule->length >= 8)
                    spidOffsets_.push_back(d + 4);
                r = rule->end();
            }
        }
        at = child->end();
    }
    if (!haveFdg || !haveTree)
        return drawingError(haveFdg ? "the shape tree is missing" : "the FDG record is missing", 0);
    for (const auto& piece : pieces_)
        for (const auto& record : piece.following)
            if (record.type == objRecord && record.data.size() >= 8 && ByteReader::u16At(record.data, 0) == 0x15)
                objectIds_.insert(ByteReader::u16At(record.data, 6));
    linkObjectIds();
    return success();
}

void SheetDrawing::linkObjectIds()
{
    // A piece ends with the client data of one shape, and its OBJ follows: the shape whose
    // records hold the piece's last byte owns that OBJ.
    for (const auto& piece : pieces_) {
        if (piece.end == 0)
            continue;
        for (const auto& record : piece.following) {
            if (record.type != objRecord || record.data.size() < 8 || ByteReader::u16At(record.data, 0) != 0x15)
                continue;
            for (auto& shape : shapes_) {
                auto container = Art::at(art_, shape.container, art_.size());
                if (container && shape.container < piece.end && piece.end <= container->end()) {
                    shape.objectId = ByteReader::u16At(record.data, 6);
                    shape.objectType = ByteReader::u16At(record.data, 4);
                    break;
                }
            }
            break;
        }
    }
}

Status SheetDrawing::parseShapes(std::size_t from, std::size_t to, int depth)
{
    if (depth > deepestGroup)
        return drawingError("shape groups are nested too deeply", from);
    std::span<const std::uint8_t> art = art_;
    for (std::size_t at = from; at < to;) {
        auto child = Art::at(art, at, to);
        if (!child)
            return drawingError("a shape record runs past the end of its group", at);
        if (child->type == Art::SpgrContainer && child->container()) {
            markContainer(child->offset);
            if (depth == 0)
                topLevelShapes_.push_back(child->offset);
            if (auto status = parseShapes(child->dataOffset(), child->end(), depth + 1); !status)
                return status;
        } else if (child->type == Art::SpContainer && child->container()) {
            markContainer(child->offset);
            if (depth == 0)
                topLevelShapes_.push_back(child->offset);
            ShapeInfo shape;
            shape.container = child->offset;
            bool haveFsp = false;
            for (std::size_t r = child->dataOffset(); r < child->end();) {
                auto record = Art::at(art, r, child->end());
                if (!record)
                    return drawingError("a record runs past the end of its shape", r);
                std::size_t d = record->dataOffset();
                if (record->type == Art::Fsp && record->length >= 8 && !haveFsp) {
                    haveFsp = true;
                    shape.shapeId = ByteReader::u32At(art, d);
                    shape.fsp = record->offset;
                    spidOffsets_.push_back(d);
                } else if (record->type == Art::ClientAnchor && record->length >= 18 && depth == 0 && !shape.anchor) {
                    shape.anchor = record->offset;
                } else if (record->type == Art::Fopt) {
                    std::size_t count = record->instance;
                    if (count * 6 > record->length)
                        return drawingError("a shape's property table is longer than its record", r);
                    if (!shape.fopt)
                        shape.fopt = record->offset;
                    std::size_t complex = d + count * 6;
                    for (std::size_t p = 0; p < count; ++p) {
                        std::uint16_t key = ByteReader::u16At(art, d + p * 6);
                        std::uint32_t value = ByteReader::u32At(art, d + p * 6 + 2);
                        std::uint16_t id = key & 0x3FFF;
                        if (key & 0x8000) {
                            if (value > record->end() - complex)
                                return drawingError("a shape property's data runs past its record", r);
                            if (id == propertyName) {
                                for (std::size_t c = 0; c + 1 < value; c += 2) {
                                    char16_t character = ByteReader::u16At(art, complex + c);
                                    if (character == 0)
                                        break;
                                    shape.name.push_back(character);
                                }
                            }
                            complex += value;
                        } else if ((key & 0x4000) && (id == propertyPib || id == propertyFillBlip) && value != 0) {
                            pibOffsets_.push_back(d + p * 6 + 2);
                            if (id == propertyPib)
                                shape.pib = value;
                        } else if (id == propertyRotation && shape.fopt == record->offset) {
                            shape.rotation = d + p * 6 + 2;
                        }
                    }
                }
                r = record->end();
            }
            if (haveFsp)
                shapes_.push_back(std::move(shape));
        }
        at = child->end();
    }
    return success();
}

bool SheetDrawing::hasShapeNamed(const std::u16string& name) const
{
    return std::any_of(shapes_.begin(), shapes_.end(),
                       [&](const ShapeInfo& s) { return s.name == name || (s.name.empty() && isDefaultName(s, name)); }) ||
           std::any_of(pictures_.begin(), pictures_.end(), [&](const PictureShape& p) { return p.name == name; });
}

std::optional<std::size_t> SheetDrawing::findReadShape(const std::u16string& name) const
{
    for (std::size_t i = 0; i < shapes_.size(); ++i)
        if (shapes_[i].anchor && !shapes_[i].name.empty() && shapes_[i].name == name)
            return i;
    for (std::size_t i = 0; i < shapes_.size(); ++i)
        if (shapes_[i].anchor && shapes_[i].name.empty() && isDefaultName(shapes_[i], name))
            return i;
    return std::nullopt;
}

std::optional<ClientAnchor> SheetDrawing::anchorOf(std::size_t shape) const
{
    if (shape >= shapes_.size() || !shapes_[shape].anchor)
        return std::nullopt;
    std::size_t d = *shapes_[shape].anchor + Art::headerSize;
    auto at = [&](std::size_t field) { return ByteReader::u16At(art_, d + 2 * field); };
    return ClientAnchor{at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8)};
}

double SheetDrawing::rotationOf(std::size_t shape) const
{
    if (shape >= shapes_.size() || !shapes_[shape].rotation)
        return 0;
    // 16.16 fixed point, signed.
    return static_cast<std::int32_t>(ByteReader::u32At(art_, *shapes_[shape].rotation)) / 65536.0;
}

const SheetDrawing::ShapePlacement* SheetDrawing::placementOf(std::size_t shape) const
{
    auto found = placements_.find(shape);
    return found == placements_.end() ? nullptr : &found->second;
}

Status SheetDrawing::insertBytes(std::size_t offset, std::span<const std::uint8_t> bytes,
                                 std::span<const std::size_t> containers)
{
    auto keptArt = art_;
    auto keptPieces = pieces_;
    auto n = static_cast<std::uint32_t>(bytes.size());
    for (std::size_t container : containers)
        patchU32(art_, container + 4, ByteReader::u32At(art_, container + 4) + n);
    art_.insert(art_.begin() + static_cast<std::ptrdiff_t>(offset), bytes.begin(), bytes.end());
    std::optional<std::size_t> holder;
    for (std::size_t i = 0; i < pieces_.size() && !holder; ++i)
        if (pieces_[i].start <= offset && offset < pieces_[i].end)
            holder = i;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        if (holder && i == *holder) {
            pieces_[i].end += n;
        } else if (pieces_[i].start >= offset) {
            pieces_[i].start += n;
            pieces_[i].end += n;
        }
    }
    clearParsed();
    if (auto status = parse(); !status) {
        art_ = std::move(keptArt);
        pieces_ = std::move(keptPieces);
        clearParsed();
        (void)parse();
        return status;
    }
    return success();
}

void SheetDrawing::markContainer(std::size_t offset)
{
    // Written as Excel writes containers, whatever version the writer of the workbook gave them.
    art_[offset] = static_cast<std::uint8_t>(art_[offset] | Art::containerVersion);
}

void SheetDrawing::clearParsed()
{
    shapes_.clear();
    topLevelShapes_.clear();
    spidOffsets_.clear();
    pibOffsets_.clear();
    objectIds_.clear();
}

Status SheetDrawing::setRotation(std::size_t shape, double degrees)
{
    std::uint32_t value = PictureShape::fixedRotation(degrees);
    const ShapeInfo& info = shapes_[shape];
    if (info.rotation) {
        patchU32(art_, *info.rotation, value);
        return success();
    }
    if (value == 0)
        return success();
    std::vector<std::uint8_t> property;
    appendU16(property, propertyRotation);
    appendU32(property, value);
    if (info.fopt) {
        // Properties stay sorted by id: the rotation goes before the first one with a larger id.
        std::size_t fopt = *info.fopt;
        std::size_t count = ByteReader::u16At(art_, fopt) >> 4;
        std::size_t at = fopt + Art::headerSize;
        for (std::size_t p = 0; p < count && (ByteReader::u16At(art_, at) & 0x3FFF) < propertyRotation; ++p)
            at += 6;
        if (count + 1 > 0xFFF)
            return drawingError("a shape has too many properties to add its rotation", fopt);
        const std::size_t containers[] = {0, spgrOffset_, info.container, fopt};
        std::uint16_t versionInstance = ByteReader::u16At(art_, fopt);
        if (auto status = insertBytes(at, property, containers); !status)
            return status;
        patchU16(art_, fopt, static_cast<unsigned>(versionInstance + 0x10)); // one property more
        return success();
    }
    if (!info.fsp)
        return drawingError("a shape without an FSP record cannot be turned", info.container);
    std::vector<std::uint8_t> fopt;
    Art::putHeader(fopt, 3, 1, Art::Fopt, 6);
    fopt.insert(fopt.end(), property.begin(), property.end());
    auto fsp = Art::at(art_, *info.fsp, art_.size());
    if (!fsp)
        return drawingError("a shape's FSP record is damaged", *info.fsp);
    const std::size_t containers[] = {0, spgrOffset_, info.container};
    return insertBytes(fsp->end(), fopt, containers);
}

Status SheetDrawing::place(std::size_t shape, const ClientAnchor& anchor, const ShapePlacement& placement)
{
    if (shape >= shapes_.size() || !shapes_[shape].anchor)
        return drawingError("the shape has no place of its own on the sheet");
    if (auto status = setRotation(shape, placement.rotation); !status)
        return status;
    std::size_t d = *shapes_[shape].anchor + Art::headerSize; // read again: the rotation may have moved it
    std::size_t field = 0;
    for (unsigned value : {anchor.flags, anchor.firstColumn, anchor.firstColumnOffset, anchor.firstRow,
                           anchor.firstRowOffset, anchor.lastColumn, anchor.lastColumnOffset, anchor.lastRow,
                           anchor.lastRowOffset})
        patchU16(art_, d + 2 * field++, value);
    placements_[shape] = placement;
    return success();
}

PictureShape* SheetDrawing::findPicture(const std::u16string& name)
{
    // Names are unique in a sheet; searching from the newest keeps a run that works on the
    // picture it just inserted from scanning a thousand older ones at every operation.
    auto found = std::find_if(pictures_.rbegin(), pictures_.rend(), [&](const PictureShape& p) { return p.name == name; });
    return found == pictures_.rend() ? nullptr : &*found;
}

Result<PictureShape*> SheetDrawing::addPicture(DrawingGroup& group, std::uint32_t pib, const std::u16string& namePrefix)
{
    PictureShape picture;
    picture.shapeId = group.newShapeId(drawingId_);
    group.countShapes(1);
    picture.pib = pib;
    auto objectIdTaken = [&](std::uint16_t id) {
        return objectIds_.contains(id) ||
               std::any_of(pictures_.begin(), pictures_.end(), [&](const PictureShape& p) { return p.objectId == id; });
    };
    auto id = static_cast<std::uint16_t>(picture.shapeId % DrawingGroup::shapeIdsPerCluster);
    // A sheet with more than one cluster repeats low bits; then the next free id serves.
    for (int tries = 0; (id == 0 || objectIdTaken(id)) && tries < 0x10000; ++tries)
        id = static_cast<std::uint16_t>(id + 1);
    if (id == 0 || objectIdTaken(id))
        return drawingError("the sheet has no object id left for another picture");
    picture.objectId = id;
    for (std::uint32_t number = id;; ++number) {
        std::u16string name = namePrefix;
        for (char c : std::to_string(number))
            name.push_back(static_cast<char16_t>(c));
        if (!hasShapeNamed(name)) {
            picture.name = std::move(name);
            break;
        }
    }
    pictures_.push_back(std::move(picture));
    return &pictures_.back();
}

std::uint32_t SheetDrawing::largestShapeId() const
{
    std::uint32_t largest = ByteReader::u32At(art_, fdgOffset_ + Art::headerSize + 4);
    for (const auto& picture : pictures_)
        largest = std::max(largest, picture.shapeId);
    return largest;
}

std::uint16_t SheetDrawing::typeOfFirstRecord(const Layout::Out& piece)
{
    return piece.chunks.empty() ? piece.firstType : piece.chunks.front().type;
}

std::size_t SheetDrawing::newShapesOffset() const
{
    // An embedded chart's substream stands among the drawing records after its OBJ; readers as
    // strict as Excel's grammar (Apache POI) stop collecting shapes there. New pictures go in
    // before the first chart, so that they see them; the chart stays on top.
    for (const auto& shape : shapes_) {
        if (shape.objectType != chartObject)
            continue;
        for (std::size_t top : topLevelShapes_)
            if (auto container = Art::at(art_, top, art_.size()); container && top <= shape.container &&
                                                                    shape.container < container->end())
                return top;
    }
    return spgrEnd_;
}

SheetDrawing::Layout SheetDrawing::layout() const
{
    Layout result;
    const std::size_t newShapesAt = newShapesOffset();
    std::vector<std::uint8_t> added;
    for (const auto& picture : pictures_) {
        auto bytes = picture.shapeRecords();
        added.insert(added.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::uint8_t>& art = result.art;
    art = art_;
    if (!pictures_.empty()) {
        auto grow = [&](std::size_t headerAt) {
            patchU32(art, headerAt + 4, static_cast<std::uint32_t>(ByteReader::u32At(art, headerAt + 4) + added.size()));
        };
        grow(0);
        grow(spgrOffset_);
        std::size_t fdg = fdgOffset_ + Art::headerSize;
        patchU32(art, fdg, static_cast<std::uint32_t>(ByteReader::u32At(art, fdg) + pictures_.size()));
        patchU32(art, fdg + 4, largestShapeId());
        art.insert(art.begin() + static_cast<std::ptrdiff_t>(newShapesAt), added.begin(), added.end());
    }
    std::size_t shift = added.size();
    bool inserted = pictures_.empty();
    auto insertNew = [&]() {
        std::size_t at = newShapesAt;
        for (const auto& picture : pictures_) {
            std::size_t length = picture.shapeRecords().size();
            Layout::Out out{at, at + length, {}, nullptr, {DrawingRecord{0x005D, picture.objectData()}}};
            // A piece with no record behind it (the patriarch alone) runs on into the first new shape.
            if (!result.pieces.empty() && result.pieces.back().end == at && result.pieces.back().ownFollowing.empty() &&
                (!result.pieces.back().following || result.pieces.back().following->empty())) {
                result.pieces.back().end = at + length;
                result.pieces.back().firstType = typeOfFirstRecord(result.pieces.back());
                result.pieces.back().chunks.clear();
                result.pieces.back().following = nullptr;
                result.pieces.back().ownFollowing = std::move(out.ownFollowing);
            } else {
                result.pieces.push_back(std::move(out));
            }
            at += length;
        }
        inserted = true;
    };
    for (const auto& piece : pieces_) {
        if (piece.end <= newShapesAt) {
            result.pieces.push_back({piece.start, piece.end, piece.chunks, &piece.following, {}});
            continue;
        }
        if (!inserted && piece.start < newShapesAt) {
            result.pieces.push_back({piece.start, newShapesAt, {}, nullptr, {}, piece.chunks.front().type});
            insertNew();
            result.pieces.push_back({newShapesAt + shift, piece.end + shift, {}, &piece.following, {}});
            continue;
        }
        if (!inserted)
            insertNew();
        result.pieces.push_back({piece.start + shift, piece.end + shift, piece.chunks, &piece.following, {}});
    }
    if (!inserted)
        insertNew();
    return result;
}

std::vector<DrawingRecord> SheetDrawing::records() const
{
    Layout plan = layout();
    std::vector<DrawingRecord> out;
    std::size_t drawn = 0;
    for (const auto& piece : plan.pieces) {
        std::size_t length = piece.end - piece.start;
        // As Excel writes them: once the drawing has passed 8224 bytes, its further pieces are
        // CONTINUE records; the first piece is always an MSODRAWING.
        std::uint16_t type = typeOfFirstRecord(piece);
        if (type == 0)
            type = drawn > 0 && drawn + length > RecordChunkSink::maximumPieceLength ? RecordType::Continue
                                                                                      : RecordType::MsoDrawing;
        drawn += length;
        auto chunks = RecordChunkSink::planKeeping(piece.chunks, length, type, RecordType::Continue);
        std::size_t at = piece.start;
        for (const auto& chunk : chunks) {
            out.push_back({chunk.type, std::vector<std::uint8_t>(plan.art.begin() + static_cast<std::ptrdiff_t>(at),
                                                                 plan.art.begin() + static_cast<std::ptrdiff_t>(at + chunk.length))});
            at += chunk.length;
        }
        const auto& following = piece.following ? *piece.following : piece.ownFollowing;
        out.insert(out.end(), following.begin(), following.end());
    }
    return out;
}

std::uint64_t SheetDrawing::streamSize() const
{
    std::uint64_t size = 0;
    for (const auto& record : records())
        size += 4 + record.data.size();
    return size;
}

Status SheetDrawing::write(OutputSink& out) const
{
    for (const auto& record : records()) {
        std::uint8_t header[4] = {static_cast<std::uint8_t>(record.type), static_cast<std::uint8_t>(record.type >> 8),
                                  static_cast<std::uint8_t>(record.data.size()),
                                  static_cast<std::uint8_t>(record.data.size() >> 8)};
        if (auto status = out.write(header); !status)
            return status;
        if (auto status = out.write(record.data); !status)
            return status;
    }
    return success();
}

Result<SheetDrawing> SheetDrawing::copyFor(DrawingGroup& group) const
{
    std::uint32_t id = group.newDrawingId();
    if (id == 0)
        return drawingError("the workbook has no drawing id left for another sheet");
    constexpr std::uint32_t perCluster = DrawingGroup::shapeIdsPerCluster;
    std::map<std::uint32_t, std::uint32_t> used; // cluster -> shape ids taken in it
    auto note = [&](std::uint32_t spid) {
        if (spid >= perCluster) {
            auto& count = used[spid / perCluster];
            count = std::max(count, spid % perCluster + 1);
        }
    };
    for (std::size_t offset : spidOffsets_)
        note(ByteReader::u32At(art_, offset));
    for (const auto& picture : pictures_)
        note(picture.shapeId);
    std::size_t spidCurAt = fdgOffset_ + Art::headerSize + 4;
    note(ByteReader::u32At(art_, spidCurAt));
    std::map<std::uint32_t, std::uint32_t> base; // old cluster -> first shape id of its new cluster
    for (const auto& [cluster, count] : used)
        base[cluster] = group.newCluster(id, count);
    auto mapped = [&](std::uint32_t spid) {
        auto found = base.find(spid / perCluster);
        return found == base.end() ? spid : found->second + spid % perCluster;
    };

    SheetDrawing copy = *this;
    copy.drawingId_ = id;
    patchU16(copy.art_, fdgOffset_, static_cast<unsigned>((id << 4) | (ByteReader::u16At(art_, fdgOffset_) & 0xFu)));
    patchU32(copy.art_, spidCurAt, mapped(ByteReader::u32At(art_, spidCurAt)));
    for (std::size_t offset : spidOffsets_)
        patchU32(copy.art_, offset, mapped(ByteReader::u32At(art_, offset)));
    for (auto& shape : copy.shapes_)
        shape.shapeId = mapped(shape.shapeId);
    for (auto& picture : copy.pictures_) {
        picture.shapeId = mapped(picture.shapeId);
        group.addReference(picture.pib);
    }
    for (std::size_t offset : pibOffsets_)
        group.addReference(ByteReader::u32At(art_, offset));
    group.countShapes(ByteReader::u32At(art_, fdgOffset_ + Art::headerSize) + static_cast<std::uint32_t>(pictures_.size()));
    return copy;
}

} // namespace tavorin::xls
