#include "support/PoiReport.h"

#include "support/Oracles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace tavorin::test {

std::optional<QJsonObject> poiReportFor(const std::filesystem::path& workbook)
{
    const ProcessResult result = runPoiDump(workbook);
    const QJsonDocument report = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    if (result.finished && result.exitCode == 0 && report.isObject())
        return report.object();
    QTest::qFail(qPrintable(QStringLiteral("Apache POI (scripts/install-deps.sh installs it) gave no report: ") +
                            (result.finished ? QStringLiteral("exit %1, ").arg(result.exitCode) : QString()) +
                            result.standardError),
                 __FILE__, __LINE__);
    return std::nullopt;
}

QJsonObject poiSheet(const QJsonObject& report, const QString& name)
{
    for (const auto& sheet : report[QStringLiteral("sheets")].toArray())
        if (sheet.toObject()[QStringLiteral("name")].toString() == name)
            return sheet.toObject();
    QTest::qFail(qPrintable(QStringLiteral("Apache POI finds no sheet ") + name), __FILE__, __LINE__);
    return {};
}

} // namespace tavorin::test
