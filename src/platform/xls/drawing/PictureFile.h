#pragma once

#include "platform/xls/drawing/BlipPayload.h"
#include "platform/xls/drawing/PictureFormat.h"
#include "platform/xls/drawing/PictureHeader.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>
#include <span>

namespace tavorin::xls {

// A picture file ready to go into a workbook: its format (from the content), natural size and
// the blip it becomes. JPEG and PNG files are stored as they are: only their header is read
// here, and their bytes are read once more, when the workbook is written, straight into it (the
// blip's UID is keyed from them then). BMP, DIB, RLE bitmaps, GIF and TIFF are converted to PNG
// losslessly and EMF/WMF (EMZ/WMZ unpacked) compressed; such results are keyed now and wait in a
// temporary file, so that memory holds no picture bytes. HEIF and WebP photos are decoded and
// stored as JPEG (quality 90), or as PNG when they have transparency.
//
// A photo is placed as photo viewers show it unless told otherwise: a JPEG keeps its pixels and
// its bytes, except that its EXIF orientation is stored as "as stored" (the same two bytes,
// patched as the bytes are streamed), and the shape showing it takes the orientation's turn
// instead, which every reader of the workbook applies; a mirrored photo is first transposed
// without loss (see pictures::StoredTurn). Pictures that are decoded anyway (HEIF, TIFF) are
// decoded upright.
struct PictureOpenOptions {
    bool applyOrientation = true; // false: the pixels as stored, as Excel 97-2003 inserts them
};

class PictureFile {
public:
    using Options = PictureOpenOptions;
    // OfficeArt blip types ([MS-ODRAW] MSOBLIPTYPE) that this program writes.
    enum class BlipType : std::uint8_t { Emf = 2, Wmf = 3, Jpeg = 5, Png = 6 };
    using Uid = std::array<std::uint8_t, 16>;
    // Which file a picture came from, as it was then: the same identity means the same bytes.
    struct FileIdentity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint64_t size = 0;
        std::int64_t modifiedNanoseconds = 0;
        friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
    };

    static constexpr std::uint64_t maximumFileSize = 256ull * 1024 * 1024;

    // Reads, checks and describes the picture at path; fails with the reason it cannot be
    // inserted (unreadable, not a picture, an unsupported or damaged format).
    static Result<PictureFile> open(const std::filesystem::path& path, Options options = {});
    // A gzip-packed metafile (.emz, .wmz) of `path` unpacked, bounded like a picture file.
    static Result<std::vector<std::uint8_t>> unpackGzip(const std::filesystem::path& path,
                                                        std::span<const std::uint8_t> packed);

    const std::filesystem::path& path() const { return path_; }
    PictureFormat format() const { return format_; }
    const PictureHeader& header() const { return header_; }
    double widthPoints() const { return header_.widthPoints; }
    double heightPoints() const { return header_.heightPoints; }
    // The turn (degrees clockwise) the shape showing the picture must give it to show it as
    // viewers do: its natural size above is the frame before this turn.
    int turn() const { return turn_; }

    BlipType blipType() const { return blipType_; }
    // The blip's record type (0xF018 + type) and instance ([MS-ODRAW] 2.2.23 - 2.2.29).
    std::uint16_t blipRecordType() const { return static_cast<std::uint16_t>(0xF018 + static_cast<int>(blipType_)); }
    std::uint16_t blipRecordInstance() const { return blipInstance_; }
    // The UID of a converted picture: the MD4 of the stored PNG or of the metafile, as Excel
    // keys them. None for JPEG and PNG files, which are keyed when they are written.
    const std::optional<Uid>& uid() const { return uid_; }
    // The file a JPEG or PNG is streamed from, as it was when opened.
    const std::optional<FileIdentity>& source() const { return source_; }
    // For a JPEG or PNG: the content key of its first leadingBytes bytes (all of a smaller file),
    // a quick way to tell apart two pictures of the same size.
    const std::optional<Uid>& leadingKey() const { return leadingKey_; }
    static constexpr std::size_t leadingBytes = 16 * 1024;
    // Everything after the UID in the blip record.
    const BlipPayload& payload() const { return payload_; }
    // The blip record's data length (UID + payload).
    std::uint64_t blipDataSize() const { return Uid{}.size() + payload_.size(); }

    // The same JPEG or PNG picture stored as other bytes of its kind, with fewer pixels (a
    // reduced copy in a file that keepAlive holds): the same natural size and turn, keyed when
    // it is written.
    PictureFile storedAs(const std::filesystem::path& file, std::uint64_t length, std::shared_ptr<const void> keepAlive,
                         int pixelWidth, int pixelHeight) const;

private:
    std::filesystem::path path_;
    PictureFormat format_ = PictureFormat::Jpeg;
    PictureHeader header_;
    int turn_ = 0;
    BlipType blipType_ = BlipType::Jpeg;
    std::uint16_t blipInstance_ = 0;
    std::optional<Uid> uid_;
    std::optional<FileIdentity> source_;
    std::optional<Uid> leadingKey_;
    BlipPayload payload_;

    friend class PictureFileReader;
};

} // namespace tavorin::xls
