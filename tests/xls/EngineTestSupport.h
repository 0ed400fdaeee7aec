#pragma once

// Helpers shared by the workbook engine tests: open and save fixtures, and what the independent
// readers (Apache POI, olefile, LibreOffice) see in a file.

#include "platform/xls/model/WorkbookDocument.h"

#include "support/Oracles.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tavorin::test {

inline std::unique_ptr<xls::WorkbookDocument> openDocument(const std::filesystem::path& path)
{
    auto document = xls::WorkbookDocument::open(path);
    EXPECT_TRUE(document.ok()) << (document.ok() ? "" : document.error().describe());
    return document.ok() ? std::move(*document) : nullptr;
}

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// POI's report without the file name, which differs between an original and its copy.
inline QJsonObject poiContent(const std::filesystem::path& path)
{
    auto report = poiReport(path);
    EXPECT_TRUE(report.has_value()) << "POI cannot read " << path;
    if (!report)
        return {};
    report->remove("file");
    return *report;
}

// olefile's listing of the compound file: the root CLSID, then one line per stream.
inline QStringList streamListing(const std::filesystem::path& path)
{
    auto result = runOracle("cfb_dump.py", {QString::fromStdString(path.string())});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    return result.standardOutput.split('\n', Qt::SkipEmptyParts);
}

// What an oracle script (xlrd_dump.py, lo_dump.py) prints as JSON, without the file name.
inline QJsonObject oracleContent(const QString& script, const std::filesystem::path& path)
{
    auto result = runOracle(script, {QString::fromStdString(path.string())}, 300000);
    EXPECT_TRUE(result.finished && result.exitCode == 0)
        << script.toStdString() << ": " << result.standardError.toStdString();
    auto document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    EXPECT_TRUE(document.isObject()) << script.toStdString() << " printed no JSON object";
    auto object = document.object();
    object.remove("file");
    return object;
}

// The text LibreOffice shows in each cell of a sheet (its own rendering of number formats).
inline std::map<QString, QString> libreOfficeShownCells(const std::filesystem::path& path, const QString& sheetName)
{
    std::map<QString, QString> shown;
    auto report = oracleContent("lo_dump.py", path);
    for (const auto& sheet : report["sheets"].toArray()) {
        if (sheet.toObject()["name"].toString() != sheetName)
            continue;
        for (const auto& cell : sheet.toObject()["cells"].toArray())
            shown[cell.toObject()["cell"].toString()] = cell.toObject()["text"].toString();
    }
    return shown;
}

inline QJsonObject poiSheet(const QJsonObject& report, const QString& name)
{
    for (const auto& sheet : report["sheets"].toArray())
        if (sheet.toObject()["name"].toString() == name)
            return sheet.toObject();
    ADD_FAILURE() << "POI finds no sheet " << name.toStdString();
    return {};
}

} // namespace tavorin::test
