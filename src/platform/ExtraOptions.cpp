#include "platform/ExtraOptions.h"

#include <QSettings>
#include <QString>

namespace tavorin {
namespace {

const QString fitForKey = QStringLiteral("pictures/fit-for");

QString fileText(const std::filesystem::path& file) { return QString::fromStdString(file.string()); }

} // namespace

std::filesystem::path ExtraOptions::fileBeside(const std::filesystem::path& settingsFile)
{
    return settingsFile.parent_path() / "options.ini";
}

ExtraOptions ExtraOptions::read(const std::filesystem::path& file)
{
    ExtraOptions options;
    QSettings stored(fileText(file), QSettings::IniFormat);
    if (stored.value(fitForKey).toString() == QStringLiteral("libreoffice"))
        options.fitFor = FitFor::LibreOffice;
    return options;
}

bool ExtraOptions::write(const std::filesystem::path& file) const
{
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    QSettings stored(fileText(file), QSettings::IniFormat);
    stored.setValue(fitForKey, fitFor == FitFor::LibreOffice ? QStringLiteral("libreoffice") : QStringLiteral("excel"));
    stored.sync();
    return stored.status() == QSettings::NoError;
}

} // namespace tavorin
