#pragma once

#include "platform/CalendarDateTime.h"

#include <filesystem>
#include <optional>

namespace tavorin::pictures {

// When a photo was taken, on the camera's clock: EXIF DateTimeOriginal of a JPEG (APP1), a HEIF
// (its Exif item), a WebP (its EXIF chunk) or a TIFF (its own IFDs). Nothing for a file without
// one, or one that cannot be read or is damaged.
std::optional<CalendarDateTime> photoTakenTime(const std::filesystem::path& path);

} // namespace tavorin::pictures
