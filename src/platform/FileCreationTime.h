#pragma once

#include "platform/CalendarDateTime.h"

#include <filesystem>
#include <optional>

namespace tavorin {

// When a file was created, on the desktop's local clock: the file system's birth time, or the
// last modification time where the file system keeps no birth time. Nothing when the file
// cannot be looked at.
std::optional<CalendarDateTime> fileCreationTime(const std::filesystem::path& path);

} // namespace tavorin
