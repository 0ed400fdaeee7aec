#pragma once

#include "platform/SettingsRecord.h"

#include <filesystem>
#include <optional>

namespace tavorin {

// Reads the settings record, creating the file (and its folder) empty when it does not exist.
// An empty, short or damaged file reads as zero bytes where the record is missing. Returns
// nothing when the file can neither be read nor created.
std::optional<SettingsRecord> readOrCreateSettingsFile(const std::filesystem::path& file);

// Replaces the file with the record's 49 bytes. The new content is written beside the file
// and renamed over it, so the file holds either the old record or the whole new one.
bool writeSettingsFile(const std::filesystem::path& file, const SettingsRecord& record);

} // namespace tavorin
