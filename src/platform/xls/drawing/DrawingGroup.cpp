#include "platform/xls/drawing/DrawingGroup.h"

#include "platform/xls/drawing/OfficeArtRecord.h"
#include "platform/xls/records/RecordType.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

using Art = OfficeArtRecord;

constexpr std::size_t fbseFixedSize = 36;
constexpr std::uint32_t largestDrawingId = 0xFFE;

Error groupError(const std::string& what, std::optional<std::uint64_t> offset = std::nullopt)
{
    return Error{"drawing group: " + what, "drawing", RecordType::MsoDrawingGroup, offset};
}

std::uint64_t newFbseSize(const PictureFile& picture)
{
    return Art::headerSize + fbseFixedSize + Art::headerSize + picture.blipDataSize();
}

// FBSE header and fixed part, then the blip record's header and UID: all but the payload.
std::vector<std::uint8_t> newFbseHead(const PictureFile& picture, const PictureFile::Uid& uid, std::uint32_t references)
{
    auto type = static_cast<std::uint8_t>(picture.blipType());
    bool metafile = picture.blipType() == PictureFile::BlipType::Emf || picture.blipType() == PictureFile::BlipType::Wmf;
    std::uint64_t blipRecord = Art::headerSize + picture.blipDataSize();
    std::vector<std::uint8_t> out;
    Art::putHeader(out, 2, type, Art::Fbse, static_cast<std::uint32_t>(fbseFixedSize + blipRecord));
    out.push_back(type);                        // btWin32
    out.push_back(metafile ? 4 /* PICT */ : type); // btMacOS
    out.insert(out.end(), uid.begin(), uid.end());
    appendU16(out, 0x00FF);                     // tag
    appendU32(out, static_cast<std::uint32_t>(blipRecord));
    appendU32(out, references);                 // cRef
    appendU32(out, 0);                          // foDelay: the blip follows
    out.insert(out.end(), {0, 0, 0, 0});        // unused1, cbName, unused2, unused3
    Art::putHeader(out, 0, picture.blipRecordInstance(), picture.blipRecordType(),
                   static_cast<std::uint32_t>(picture.blipDataSize()));
    out.insert(out.end(), uid.begin(), uid.end());
    return out;
}

// JPEG, PNG and DIB blips: UID (a second one when the instance is odd), tag byte, picture.
bool isBitmapBlip(std::uint16_t type) { return type == 0xF01D || type == 0xF01E || type == 0xF01F || type == 0xF029 || type == 0xF02A; }

// Where the picture bytes of a bitmap blip embedded in an FBSE lie.
std::optional<std::pair<std::size_t, std::size_t>> storedBitmap(std::span<const std::uint8_t> bytes, const Art& fbse)
{
    std::size_t blipAt = fbse.dataOffset() + fbseFixedSize;
    if (blipAt >= fbse.end())
        return std::nullopt; // the blip is elsewhere (delay stream) or absent
    auto blip = Art::at(bytes, blipAt, fbse.end());
    if (!blip || !isBitmapBlip(blip->type))
        return std::nullopt;
    std::size_t skip = 16 * ((blip->instance & 1) ? 2 : 1) + 1;
    if (blip->length < skip)
        return std::nullopt;
    return std::pair{blip->dataOffset() + skip, blip->end()};
}

} // namespace

DrawingGroup DrawingGroup::makeNew()
{
    DrawingGroup group;
    std::vector<std::uint8_t> children;
    // FDGG: no shapes, no clusters yet (cidcl counts one more than there are).
    Art::putHeader(children, 0, 0, Art::Fdgg, 16);
    for (std::uint32_t value : {0u, 1u, 0u, 0u})
        appendU32(children, value);
    // The default shape options Excel writes: fill and line colours, booleans.
    Art::putHeader(children, 3, 3, Art::Fopt, 18);
    for (auto [id, value] : {std::pair{0x00BFu, 0x00080008u}, {0x0181u, 0x08000041u}, {0x01C0u, 0x08000040u}}) {
        appendU16(children, id);
        appendU32(children, value);
    }
    Art::putHeader(children, 0, 4, Art::SplitMenuColors, 16);
    for (std::uint32_t value : {0x0800000Du, 0x0800000Cu, 0x08000017u, 0x100000F7u})
        appendU32(children, value);
    Art::putHeader(group.bytes_, Art::containerVersion, 0, Art::DggContainer, static_cast<std::uint32_t>(children.size()));
    group.bytes_.insert(group.bytes_.end(), children.begin(), children.end());
    group.fdggOffset_ = Art::headerSize;
    group.fdggEnd_ = Art::headerSize + Art::headerSize + 16;
    group.fdggChanged_ = true;
    return group;
}

Result<DrawingGroup> DrawingGroup::read(std::vector<std::uint8_t>& data, std::vector<Piece> pieces)
{
    DrawingGroup group;
    group.pieces_ = std::move(pieces);
    std::span<const std::uint8_t> bytes = data;
    auto top = Art::at(bytes, 0, bytes.size());
    if (!top || top->type != Art::DggContainer || !top->container())
        return groupError("the data does not start with a drawing group container", 0);
    bool haveFdgg = false;
    for (std::size_t at = top->dataOffset(); at < top->end();) {
        auto child = Art::at(bytes, at, top->end());
        if (!child)
            return groupError("a record runs past the end of its container", at);
        if (child->type == Art::Fdgg && !haveFdgg) {
            if (child->length < 16 || (child->length - 16) % 8 != 0)
                return groupError("the FDGG record has a length of " + std::to_string(child->length), at);
            haveFdgg = true;
            group.fdggOffset_ = child->offset;
            group.fdggEnd_ = child->end();
            std::size_t d = child->dataOffset();
            group.spidMax_ = ByteReader::u32At(bytes, d);
            group.cspSaved_ = ByteReader::u32At(bytes, d + 8);
            group.cdgSaved_ = ByteReader::u32At(bytes, d + 12);
            for (std::size_t c = d + 16; c < child->end(); c += 8)
                group.clusters_.push_back({ByteReader::u32At(bytes, c), ByteReader::u32At(bytes, c + 4)});
        } else if (child->type == Art::BStoreContainer && child->container() && !group.bstoreOffset_) {
            if (!haveFdgg)
                return groupError("the blip store comes before the FDGG record", at);
            group.bstoreOffset_ = child->offset;
            group.bstoreEnd_ = child->end();
            for (std::size_t e = child->dataOffset(); e < child->end();) {
                auto entry = Art::at(bytes, e, child->end());
                if (!entry)
                    return groupError("a blip store entry runs past the end of the store", e);
                if (entry->type == Art::Fbse) {
                    if (entry->length < fbseFixedSize)
                        return groupError("an FBSE record is shorter than 36 bytes", e);
                    BlipEntry blip;
                    std::size_t d = entry->dataOffset();
                    blip.blipType = bytes[d];
                    blip.uid.emplace();
                    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(d + 2), blip.uid->size(), blip.uid->begin());
                    blip.references = ByteReader::u32At(bytes, d + 24);
                    group.blips_.push_back(blip);
                    group.readReferences_.push_back(blip.references);
                    group.stored_.push_back({entry->offset, storedBitmap(bytes, *entry)});
                }
                e = entry->end();
            }
        }
        at = child->end();
    }
    if (!haveFdgg)
        return groupError("the FDGG record is missing", 0);
    group.bytes_ = std::move(data);
    return group;
}

Result<bool> DrawingGroup::sameAsStored(std::size_t stored, const PictureFile& picture,
                                        std::optional<std::vector<std::uint8_t>>& bytes) const
{
    const auto& bitmap = stored_[stored].bitmap;
    const BlipPayload& payload = picture.payload();
    if (!bitmap || bitmap->second - bitmap->first != payload.length)
        return false;
    if (!bytes) {
        bytes.emplace();
        if (auto status = payload.loadRange(*bytes); !status)
            return status.error();
    }
    return std::equal(bytes->begin(), bytes->end(), bytes_.begin() + static_cast<std::ptrdiff_t>(bitmap->first));
}

Result<bool> DrawingGroup::sameAsAdded(std::size_t added, const PictureFile& picture, std::optional<PictureFile::Uid>& key)
{
    const PictureFile& other = *added_[added];
    if (other.payload().size() != picture.payload().size() || other.payload().prefix != picture.payload().prefix)
        return false;
    if (other.source() && other.source() == picture.source())
        return true;
    // Photos of one camera or one program often come out at the same size; their first bytes
    // usually tell them apart without reading them whole.
    if (other.leadingKey() && picture.leadingKey() && other.leadingKey() != picture.leadingKey())
        return false;
    if (!addedKeys_[added]) {
        auto otherKey = other.payload().keyOfRange();
        if (!otherKey)
            return otherKey.error();
        addedKeys_[added] = *otherKey;
    }
    if (!key) {
        auto ownKey = picture.payload().keyOfRange();
        if (!ownKey)
            return ownKey.error();
        key = *ownKey;
    }
    return *addedKeys_[added] == *key;
}

Result<std::uint32_t> DrawingGroup::addPicture(std::shared_ptr<const PictureFile> picture)
{
    auto type = static_cast<std::uint8_t>(picture->blipType());
    std::optional<std::vector<std::uint8_t>> bytes; // the picture's, once read for a comparison
    std::optional<PictureFile::Uid> key;            // its content key, once taken
    for (std::size_t i = 0; i < blips_.size(); ++i) {
        if (blips_[i].blipType != type)
            continue;
        bool same = false;
        if (picture->uid()) {
            // Converted pictures carry the key Excel gives them.
            same = blips_[i].uid == picture->uid();
        } else {
            auto compared = i < stored_.size() ? sameAsStored(i, *picture, bytes) : sameAsAdded(i - stored_.size(), *picture, key);
            if (!compared)
                return compared.error();
            same = *compared;
        }
        if (same) {
            ++blips_[i].references;
            return static_cast<std::uint32_t>(i + 1);
        }
    }
    blips_.push_back({type, picture->uid(), 1});
    added_.push_back(std::move(picture));
    addedKeys_.push_back(key);
    return static_cast<std::uint32_t>(blips_.size());
}

void DrawingGroup::addReference(std::uint32_t pib)
{
    if (pib >= 1 && pib <= blips_.size())
        ++blips_[pib - 1].references;
}

std::uint32_t DrawingGroup::newDrawingId()
{
    for (std::uint32_t id = 1; id <= largestDrawingId; ++id) {
        bool inCluster = std::any_of(clusters_.begin(), clusters_.end(), [&](const Cluster& c) { return c.drawingId == id; });
        if (!inCluster && !registered_.contains(id)) {
            registered_.insert(id);
            ++cdgSaved_;
            fdggChanged_ = true;
            return id;
        }
    }
    return 0;
}

std::uint32_t DrawingGroup::newCluster(std::uint32_t drawingId, std::uint32_t used)
{
    clusters_.push_back({drawingId, std::min(used, shapeIdsPerCluster)});
    std::uint32_t first = static_cast<std::uint32_t>(clusters_.size()) * shapeIdsPerCluster;
    spidMax_ = std::max(spidMax_, first + std::max<std::uint32_t>(used, 1));
    fdggChanged_ = true;
    return first;
}

std::uint32_t DrawingGroup::newShapeId(std::uint32_t drawingId)
{
    fdggChanged_ = true;
    for (std::size_t i = clusters_.size(); i-- > 0;) {
        Cluster& cluster = clusters_[i];
        if (cluster.drawingId != drawingId)
            continue;
        if (cluster.used < shapeIdsPerCluster) {
            std::uint32_t spid = static_cast<std::uint32_t>(i + 1) * shapeIdsPerCluster + cluster.used;
            ++cluster.used;
            spidMax_ = std::max(spidMax_, spid + 1);
            return spid;
        }
        break; // its last cluster is full
    }
    std::uint32_t first = newCluster(drawingId, 1);
    return first;
}

void DrawingGroup::countShapes(std::uint32_t count)
{
    cspSaved_ += count;
    fdggChanged_ = true;
}

std::vector<std::uint8_t> DrawingGroup::encodeFdgg() const
{
    std::vector<std::uint8_t> out;
    Art::putHeader(out, 0, 0, Art::Fdgg, static_cast<std::uint32_t>(16 + 8 * clusters_.size()));
    appendU32(out, spidMax_);
    appendU32(out, static_cast<std::uint32_t>(clusters_.size() + 1));
    appendU32(out, cspSaved_);
    appendU32(out, cdgSaved_);
    for (const auto& cluster : clusters_) {
        appendU32(out, cluster.drawingId);
        appendU32(out, cluster.used);
    }
    return out;
}

std::vector<DrawingGroup::Segment> DrawingGroup::layout() const
{
    std::span<const std::uint8_t> bytes = bytes_;
    auto slice = [&](std::size_t from, std::size_t to) {
        return std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                         bytes.begin() + static_cast<std::ptrdiff_t>(to));
    };
    std::vector<Segment> segments;
    auto keep = [&](std::size_t from, std::size_t to) {
        if (to > from)
            segments.push_back({{}, bytes.subspan(from, to - from), std::nullopt});
    };
    std::vector<std::uint8_t> fdgg = fdggChanged_ ? encodeFdgg() : slice(fdggOffset_, fdggEnd_);
    auto fdggDelta = static_cast<std::int64_t>(fdgg.size()) - static_cast<std::int64_t>(fdggEnd_ - fdggOffset_);

    std::uint64_t addedBytes = 0;
    for (std::size_t i = 0; i < added_.size(); ++i)
        addedBytes += newFbseSize(*added_[i]);
    bool newStore = !bstoreOffset_ && !added_.empty();
    std::uint64_t growth = static_cast<std::uint64_t>(static_cast<std::int64_t>(addedBytes) + fdggDelta) +
                           (newStore ? Art::headerSize : 0);

    std::vector<std::uint8_t> head = slice(0, fdggOffset_);
    patchU32(head, 4, static_cast<std::uint32_t>(ByteReader::u32At(bytes, 4) + growth));
    head.insert(head.end(), fdgg.begin(), fdgg.end());
    if (newStore)
        Art::putHeader(head, Art::containerVersion, static_cast<std::uint16_t>(std::min<std::size_t>(blips_.size(), 0xFFF)),
                       Art::BStoreContainer, static_cast<std::uint32_t>(addedBytes));
    segments.push_back({std::move(head), {}, std::nullopt});
    std::size_t tailFrom = fdggEnd_;
    if (bstoreOffset_) {
        // The store's header counts the blips and their bytes; an FBSE whose reference count
        // changed gets its new count; everything else is written from the group as read.
        std::size_t header = *bstoreOffset_;
        keep(fdggEnd_, header);
        std::vector<std::uint8_t> storeHeader = slice(header, header + Art::headerSize);
        patchU16(storeHeader, 0, static_cast<unsigned>((std::min<std::size_t>(blips_.size(), 0xFFF) << 4) | Art::containerVersion));
        patchU32(storeHeader, 4, static_cast<std::uint32_t>(ByteReader::u32At(bytes, header + 4) + addedBytes));
        segments.push_back({std::move(storeHeader), {}, std::nullopt});
        std::size_t at = header + Art::headerSize;
        for (std::size_t i = 0; i < stored_.size(); ++i) {
            if (blips_[i].references == readReferences_[i])
                continue;
            std::size_t field = stored_[i].fbseOffset + Art::headerSize + 24;
            keep(at, field);
            std::vector<std::uint8_t> count;
            appendU32(count, blips_[i].references);
            segments.push_back({std::move(count), {}, std::nullopt});
            at = field + 4;
        }
        keep(at, bstoreEnd_);
        tailFrom = bstoreEnd_;
    }
    for (std::size_t i = 0; i < added_.size(); ++i)
        segments.push_back({{}, {}, i});
    keep(tailFrom, bytes_.size());
    return segments;
}

std::vector<DrawingGroup::Piece> DrawingGroup::plan(std::uint64_t total) const
{
    return RecordChunkSink::planKeeping(pieces_, total, RecordType::MsoDrawingGroup, RecordType::Continue);
}

std::uint64_t DrawingGroup::streamSize() const
{
    std::uint64_t total = bytes_.size();
    if (fdggChanged_)
        total = total - (fdggEnd_ - fdggOffset_) + Art::headerSize + 16 + 8 * clusters_.size();
    for (const auto& picture : added_)
        total += newFbseSize(*picture);
    if (!bstoreOffset_ && !added_.empty())
        total += Art::headerSize;
    return RecordChunkSink::streamSize(plan(total));
}

Status DrawingGroup::writeAdded(OutputSink& out, std::size_t added, std::vector<std::uint8_t>& buffer) const
{
    const PictureFile& picture = *added_[added];
    std::uint32_t references = blips_[stored_.size() + added].references;
    const BlipPayload& payload = picture.payload();
    if (picture.uid()) {
        if (auto status = out.write(newFbseHead(picture, *picture.uid(), references)); !status)
            return status;
        return payload.writeTo(out);
    }
    if (payload.length > keyInMemoryLimit) {
        auto key = payload.keyOfRange();
        if (!key)
            return key.error();
        if (auto status = out.write(newFbseHead(picture, *key, references)); !status)
            return status;
        return payload.writeTo(out);
    }
    // The UID comes before the picture's bytes: read them, key them, then write them.
    if (auto status = payload.loadRange(buffer); !status)
        return status;
    if (auto status = out.write(newFbseHead(picture, ContentKey::of(buffer), references)); !status)
        return status;
    if (auto status = out.write(payload.prefix); !status)
        return status;
    return out.write(buffer);
}

Status DrawingGroup::write(OutputSink& out) const
{
    auto segments = layout();
    std::uint64_t total = 0;
    for (const auto& segment : segments)
        total += segment.added ? newFbseSize(*added_[*segment.added]) : segment.bytes().size();
    RecordChunkSink records(out, plan(total));
    std::vector<std::uint8_t> buffer;
    for (const auto& segment : segments) {
        Status status = segment.added ? writeAdded(records, *segment.added, buffer) : records.write(segment.bytes());
        if (!status)
            return status;
    }
    return records.finish();
}

} // namespace tavorin::xls
