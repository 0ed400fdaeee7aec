#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavorin::xls {

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

    std::string describe() const;
};

// The layer of the error a save gives when the file it would replace is no longer the one the
// workbook was read from (another program wrote or replaced it), so that callers can say so.
inline constexpr const char* changedOnDiskLayer = "changed on disk";

} // namespace tavorin::xls
