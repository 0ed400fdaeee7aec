#include "platform/SettingsLocation.h"

#include <QStandardPaths>

namespace tavorin {

std::filesystem::path settingsFilePath()
{
    // GenericConfigLocation follows XDG_CONFIG_HOME and falls back to ~/.config.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::filesystem::path(folder.toStdString()) / "Tavorin" / "settings.dat";
}

} // namespace tavorin
