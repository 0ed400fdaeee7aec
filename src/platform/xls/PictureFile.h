#pragma once

#include "platform/xls/BlipPayload.h"
#include "platform/xls/PictureFormat.h"
#include "platform/xls/PictureHeader.h"
#include "platform/xls/Result.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace tavorin::xls {

// A picture file ready to go into a workbook, described after one read of its bytes: its format
// (from the content), natural size, content key (UID) and the blip it becomes. JPEG and PNG
// files are stored as they are and streamed from their file when the workbook is written; BMP,
// DIB, RLE bitmaps, GIF and TIFF are converted to PNG losslessly and EMF/WMF (EMZ/WMZ unpacked)
// compressed, and such results wait in a temporary file, so that memory holds no picture bytes.
class PictureFile {
public:
    // OfficeArt blip types ([MS-ODRAW] MSOBLIPTYPE) that this program writes.
    enum class BlipType : std::uint8_t { Emf = 2, Wmf = 3, Jpeg = 5, Png = 6 };
    using Uid = std::array<std::uint8_t, 16>;

    static constexpr std::uint64_t maximumFileSize = 256ull * 1024 * 1024;

    // Reads, checks and describes the picture at path; fails with the reason it cannot be
    // inserted (unreadable, not a picture, an unsupported or damaged format).
    static Result<PictureFile> open(const std::filesystem::path& path);

    const std::filesystem::path& path() const { return path_; }
    PictureFormat format() const { return format_; }
    const PictureHeader& header() const { return header_; }
    double widthPoints() const { return header_.widthPoints; }
    double heightPoints() const { return header_.heightPoints; }

    BlipType blipType() const { return blipType_; }
    // The blip's record type (0xF018 + type) and instance ([MS-ODRAW] 2.2.23 - 2.2.29).
    std::uint16_t blipRecordType() const { return static_cast<std::uint16_t>(0xF018 + static_cast<int>(blipType_)); }
    std::uint16_t blipRecordInstance() const { return blipInstance_; }
    // MD4 of the stored picture: equal pictures share one entry of the workbook's blip store.
    const Uid& uid() const { return uid_; }
    // Everything after the UID in the blip record.
    const BlipPayload& payload() const { return payload_; }
    // The blip record's data length (UID + payload).
    std::uint64_t blipDataSize() const { return uid_.size() + payload_.size(); }

private:
    std::filesystem::path path_;
    PictureFormat format_ = PictureFormat::Jpeg;
    PictureHeader header_;
    BlipType blipType_ = BlipType::Jpeg;
    std::uint16_t blipInstance_ = 0;
    Uid uid_{};
    BlipPayload payload_;

    friend class PictureFileReader;
};

} // namespace tavorin::xls
