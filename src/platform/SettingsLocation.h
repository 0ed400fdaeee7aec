#pragma once

#include <filesystem>

namespace tavorin {

// Where the settings record lives: "Tavorin/settings.dat" in the user's configuration folder
// ($XDG_CONFIG_HOME, or ~/.config when that is not set).
std::filesystem::path settingsFilePath();

} // namespace tavorin
