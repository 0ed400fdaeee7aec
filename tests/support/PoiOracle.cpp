#include "support/PoiOracle.h"

#include <QJsonDocument>
#include <QStringList>

namespace tavorin::test {

ProcessResult runPoiDump(const std::filesystem::path& workbook)
{
    const QStringList classPath{
        "/usr/share/java/poi.jar", "/usr/share/java/commons-codec.jar",
        "/usr/share/java/commons-collections4.jar", "/usr/share/java/commons-math3.jar"};
    return runProcess(QStringLiteral("java"),
                      {"-cp", classPath.join(':'), QStringLiteral(TAVORIN_ORACLES_DIR "/PoiDump.java"),
                       QString::fromStdString(workbook.string())});
}

std::optional<QJsonObject> poiReport(const std::filesystem::path& workbook)
{
    const ProcessResult result = runPoiDump(workbook);
    if (!result.finished || result.exitCode != 0)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace tavorin::test
