#include "platform/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tavorin {

namespace {

QString qtPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

} // namespace

std::optional<SettingsRecord> readOrCreateSettingsFile(const std::filesystem::path& file)
{
    const QString path = qtPath(file);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return std::nullopt;
    QFile settings(path);
    // A missing file is created empty; an existing one is only read (it may be read-only).
    const auto mode = settings.exists() ? QIODevice::ReadOnly : QIODevice::ReadWrite;
    if (!settings.open(mode))
        return std::nullopt;
    const QByteArray bytes = settings.read(qint64(SettingsRecord::size));
    settings.close();
    return SettingsRecord::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
}

bool writeSettingsFile(const std::filesystem::path& file, const SettingsRecord& record)
{
    const QString path = qtPath(file);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile settings(path);
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    const auto bytes = record.toBytes();
    const auto written = settings.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    if (written != qint64(bytes.size())) {
        settings.cancelWriting();
        return false;
    }
    return settings.commit();
}

} // namespace tavorin
