#pragma once

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/records/RecordChunkSink.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <set>
#include <span>
#include <vector>

namespace tavorin::xls {

// The workbook's drawing group: the OfficeArtDggContainer of the MSODRAWINGGROUP record with
// its shape-id clusters (FDGG) and its blip store (one FBSE per stored picture). What is read is
// kept byte for byte; the changes this program makes (new blips, reference counts, clusters for
// new drawings and shapes) are applied when it is written, new blips streamed from their files.
class DrawingGroup {
public:
    using Piece = RecordChunkSink::Piece;

    struct Cluster {           // OfficeArtIDCL
        std::uint32_t drawingId = 0;
        std::uint32_t used = 0; // cspidCur: shape ids taken in the cluster
    };
    struct BlipEntry {         // one FBSE, read or added
        std::uint8_t blipType = 0;
        std::optional<PictureFile::Uid> uid; // none for an added JPEG or PNG until it is written
        std::uint32_t references = 0;
    };

    static constexpr std::uint32_t shapeIdsPerCluster = 1024;

    // A drawing group for a workbook that has none: default options, no blips, no clusters.
    static DrawingGroup makeNew();
    // From the joined data of MSODRAWINGGROUP and its continuations, and how it was cut into
    // records (kept when nothing changes). The group takes the data; on failure it is left with
    // the caller as it was.
    static Result<DrawingGroup> read(std::vector<std::uint8_t>& data, std::vector<Piece> pieces);

    const std::vector<Cluster>& clusters() const { return clusters_; }
    const std::vector<BlipEntry>& blips() const { return blips_; }
    std::uint32_t maximumShapeId() const { return spidMax_; }
    std::uint32_t savedShapes() const { return cspSaved_; }
    std::uint32_t savedDrawings() const { return cdgSaved_; }

    // Stores a picture, or finds the stored one with the same content; raises its reference
    // count and returns its 1-based index in the blip store (the shapes' pib). Contents are
    // compared only between blips of the same type and size, so that a photo is read here only
    // when another one of its exact size is stored (and not even then when it is the same file).
    // Fails when a picture that must be compared can no longer be read.
    Result<std::uint32_t> addPicture(std::shared_ptr<const PictureFile> picture);
    // The pictures added since the group was read, in the store after the stored ones: the
    // added picture i is blip stored + i + 1 (the shapes' pib).
    const std::vector<std::shared_ptr<const PictureFile>>& addedPictures() const { return added_; }
    std::size_t storedBlipCount() const { return stored_.size(); }
    // Stores added picture i as other bytes (its reduced copy); its shapes stay as they are.
    void replaceAdded(std::size_t index, std::shared_ptr<const PictureFile> picture)
    {
        added_[index] = std::move(picture);
        addedKeys_[index].reset();
    }
    // One more shape uses the blip at pib (a copied picture).
    void addReference(std::uint32_t pib);

    // A sheet drawing read from the workbook: its id is taken.
    void registerDrawing(std::uint32_t drawingId) { registered_.insert(drawingId); }
    // The smallest drawing id not in use (1 to 0xFFE), now taken and counted; 0 when none is left.
    std::uint32_t newDrawingId();
    // A fresh shape id for a drawing: the next one in its last cluster, or the first of a new
    // cluster appended for it when that is full (or when it has none).
    std::uint32_t newShapeId(std::uint32_t drawingId);
    // A whole new cluster for a drawing (a sheet copy takes one per cluster of its template),
    // with used shape ids taken; returns its first shape id.
    std::uint32_t newCluster(std::uint32_t drawingId, std::uint32_t used);
    // Counts shapes written by this program (FDGG cspSaved).
    void countShapes(std::uint32_t count);

    // Bytes of the MSODRAWINGGROUP record and its CONTINUE records in the workbook stream.
    std::uint64_t streamSize() const;
    // Writes those records; new blips are read from their files now, each once: a JPEG or PNG
    // is read into memory, keyed and written (one that is larger than keyInMemoryLimit is read
    // twice instead, to key it and to write it, so that memory never holds a huge picture).
    Status write(OutputSink& out) const;

    static constexpr std::uint64_t keyInMemoryLimit = 64ull * 1024 * 1024;

private:
    struct StoredBlip {
        std::size_t fbseOffset = 0; // of the FBSE header in bytes_
        // A stored bitmap's picture bytes (after its UIDs and tag) in bytes_: begin, end.
        std::optional<std::pair<std::size_t, std::size_t>> bitmap;
    };
    // A piece of the group as written: bytes made for this write, a range of the group as read
    // (the stored pictures are never copied), or a new blip, head and all.
    struct Segment {
        std::vector<std::uint8_t> made;
        std::span<const std::uint8_t> kept;
        std::optional<std::size_t> added; // the index in added_
        std::span<const std::uint8_t> bytes() const { return made.empty() ? kept : std::span<const std::uint8_t>(made); }
    };

    Result<bool> sameAsStored(std::size_t stored, const PictureFile& picture, std::optional<std::vector<std::uint8_t>>& bytes) const;
    Result<bool> sameAsAdded(std::size_t added, const PictureFile& picture, std::optional<PictureFile::Uid>& key);
    Status writeAdded(OutputSink& out, std::size_t added, std::vector<std::uint8_t>& buffer) const;

    std::vector<Segment> layout() const;
    std::vector<std::uint8_t> encodeFdgg() const;
    std::vector<Piece> plan(std::uint64_t total) const;

    std::vector<std::uint8_t> bytes_; // the DggContainer as read (or made)
    std::vector<Piece> pieces_;
    std::size_t fdggOffset_ = 0;
    std::size_t fdggEnd_ = 0;
    std::optional<std::size_t> bstoreOffset_;
    std::size_t bstoreEnd_ = 0;
    bool fdggChanged_ = false;

    std::uint32_t spidMax_ = 0;
    std::uint32_t cspSaved_ = 0;
    std::uint32_t cdgSaved_ = 0;
    std::vector<Cluster> clusters_;
    std::set<std::uint32_t> registered_;

    std::vector<BlipEntry> blips_;        // stored ones first, then added ones
    std::vector<StoredBlip> stored_;      // the first stored_.size() entries of blips_
    std::vector<std::uint32_t> readReferences_;
    std::vector<std::shared_ptr<const PictureFile>> added_;
    std::vector<std::optional<PictureFile::Uid>> addedKeys_; // content keys taken while comparing
};

} // namespace tavorin::xls
