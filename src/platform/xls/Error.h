#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavorin::xls {

// What kind of failure an error is, for callers that tell people in their own words. Most
// errors are of no particular kind; those a person can act on are named.
enum class ErrorKind : std::uint8_t {
    Unspecified,
    PictureUnreadable,   // the picture file is missing, not a file, or cannot be read
    PictureTooLarge,     // larger than a picture may be
    PictureUnknown,      // not a picture in any format the program knows
    PictureUnsupported,  // a picture format that cannot go into a workbook
    PictureDamaged,      // it is of a known format but does not decode as one
    PictureNotKept,      // its converted copy could not be kept in the temporary folder
    PictureOffSheet,     // it would reach beyond the sheet
    PictureWithoutSize,  // it has no width or height
    WorkbookTooLarge,    // the workbook would pass the 2 GB an Excel 97-2003 workbook may have
};

// What went wrong while reading or writing a workbook, and where: the layer that noticed it,
// the record type (BIFF or OfficeArt) when one was being read, and the byte offset in the
// stream or file. The message is meant for a person, so it says the problem in words.
struct Error {
    std::string message;
    std::string layer;                  // "compound file", "workbook stream", "drawing", ...
    std::optional<std::uint16_t> recordType;
    std::optional<std::uint64_t> offset;
    // The workbook is encrypted (a password to open it, or Excel's protection with its built-in
    // key): it cannot be read until it is saved without that protection.
    bool encrypted = false;
    ErrorKind kind = ErrorKind::Unspecified;
    // A short technical detail worth showing beside a sentence made from the kind (a decoder's
    // own message); empty when the kind says it all.
    std::string detail = {};

    std::string describe() const;
    // The same error, of a kind (and with a detail).
    Error ofKind(ErrorKind errorKind, std::string errorDetail = {}) &&
    {
        kind = errorKind;
        detail = std::move(errorDetail);
        return std::move(*this);
    }
};

// The layer of the error a save gives when the file it would replace is no longer the one the
// workbook was read from (another program wrote or replaced it), so that callers can say so.
inline constexpr const char* changedOnDiskLayer = "changed on disk";

} // namespace tavorin::xls
