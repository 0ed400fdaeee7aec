#include "platform/ExtraOptions.h"

#include <QSettings>
#include <QString>

namespace tavorin {
namespace {

const QString fitForKey = QStringLiteral("pictures/fit-for");
const QString orientationKey = QStringLiteral("pictures/orientation");
const QString dateSourceKey = QStringLiteral("captions/date");
const QString dpiKey = QStringLiteral("pictures/resolution");
const QString reduceKey = QStringLiteral("pictures/reduce");

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
    if (stored.value(orientationKey).toString() == QStringLiteral("as-stored"))
        options.photoOrientation = false;
    if (stored.value(dateSourceKey).toString() == QStringLiteral("taken"))
        options.dateSource = DateSource::PhotoTaken;
    bool number = false;
    const int dpi = stored.value(dpiKey).toString().toInt(&number);
    const bool resolutionValid = number && dpi >= 50 && dpi <= 600;
    if (resolutionValid)
        options.pictureResolution = dpi;
    // Files written before the switch existed say "off" or a resolution, which meant on.
    const QString reduce = stored.value(reduceKey).toString();
    options.reducePictures = reduce.isEmpty() ? resolutionValid : reduce == QStringLiteral("on");
    return options;
}

bool ExtraOptions::write(const std::filesystem::path& file) const
{
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    QSettings stored(fileText(file), QSettings::IniFormat);
    stored.setValue(fitForKey, fitFor == FitFor::LibreOffice ? QStringLiteral("libreoffice") : QStringLiteral("excel"));
    stored.setValue(orientationKey, photoOrientation ? QStringLiteral("as-viewers-show") : QStringLiteral("as-stored"));
    stored.setValue(dateSourceKey, dateSource == DateSource::PhotoTaken ? QStringLiteral("taken") : QStringLiteral("created"));
    stored.setValue(reduceKey, reducePictures ? QStringLiteral("on") : QStringLiteral("off"));
    stored.setValue(dpiKey, pictureResolution);
    stored.sync();
    return stored.status() == QSettings::NoError;
}

} // namespace tavorin
