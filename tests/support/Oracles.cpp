#include "support/Oracles.h"

#include "support/Files.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace tavorin::test {
namespace {

std::optional<QJsonObject> jsonReport(const char* reader, const ProcessResult& result)
{
    if (!result.finished) {
        ADD_FAILURE() << reader << " did not run to its end (missing, crashed or timed out); "
                      << "scripts/install-deps.sh installs the readers. " << result.standardError.toStdString();
        return std::nullopt;
    }
    if (result.exitCode != 0) {
        ADD_FAILURE() << reader << " exited with " << result.exitCode << ": " << result.standardError.toStdString();
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    if (!document.isObject()) {
        ADD_FAILURE() << reader << " printed no JSON report";
        return std::nullopt;
    }
    return document.object();
}

} // namespace

ProcessResult runReader(const QString& script, const QStringList& arguments, int timeoutMs)
{
    return runOracle(script, arguments, timeoutMs);
}

ProcessResult runPoiDump(const std::filesystem::path& workbook)
{
    const QStringList classPath{"/usr/share/java/poi.jar", "/usr/share/java/commons-codec.jar",
                                "/usr/share/java/commons-collections4.jar", "/usr/share/java/commons-math3.jar"};
    return runProcess(QStringLiteral("java"),
                      {"-cp", classPath.join(':'), QStringLiteral(TAVORIN_ORACLES_DIR "/PoiDump.java"), pathText(workbook)},
                      180000);
}

std::optional<QJsonObject> poiReport(const std::filesystem::path& workbook)
{
    return jsonReport("Apache POI", runPoiDump(workbook));
}

std::optional<QJsonObject> xlrdReport(const std::filesystem::path& workbook)
{
    return jsonReport("xlrd", runReader(QStringLiteral("xlrd_dump.py"), {pathText(workbook)}));
}

std::optional<QJsonObject> libreOfficeReport(const std::filesystem::path& workbook, const QStringList& extraCells)
{
    QStringList arguments;
    for (const auto& cell : extraCells)
        arguments << QStringLiteral("--cell") << cell;
    arguments << pathText(workbook);
    return jsonReport("LibreOffice", runReader(QStringLiteral("lo_dump.py"), arguments));
}

std::optional<QJsonObject> gnumericReport(const std::filesystem::path& workbook)
{
    return jsonReport("Gnumeric", runReader(QStringLiteral("gnumeric_dump.py"), {pathText(workbook)}));
}

std::optional<QJsonObject> recordWalk(const std::filesystem::path& workbook)
{
    return jsonReport("the record walk", runReader(QStringLiteral("biff_records.py"), {pathText(workbook)}));
}

QStringList streamListing(const std::filesystem::path& workbook)
{
    const ProcessResult result = runReader(QStringLiteral("cfb_dump.py"), {pathText(workbook)});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << "olefile: " << result.standardError.toStdString();
    return result.standardOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QJsonObject sheetNamed(const QJsonObject& report, const QString& name, const char* reader)
{
    for (const auto& value : report["sheets"].toArray())
        if (value.toObject()["name"].toString() == name)
            return value.toObject();
    ADD_FAILURE() << reader << " finds no sheet " << name.toStdString();
    return {};
}

QStringList sheetNames(const QJsonObject& report)
{
    QStringList names;
    for (const auto& value : report["sheets"].toArray())
        names << value.toObject()["name"].toString();
    return names;
}

QJsonObject cellOf(const QJsonObject& sheet, const QString& reference)
{
    for (const auto& value : sheet["cells"].toArray())
        if (value.toObject()["cell"].toString() == reference)
            return value.toObject();
    return {};
}

} // namespace tavorin::test
