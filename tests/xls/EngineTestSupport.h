#pragma once

// Helpers shared by the workbook engine tests: open and save fixtures, and what the independent
// readers (Apache POI, olefile, LibreOffice) see in a file.

#include "platform/xls/WorkbookDocument.h"

#include "support/PoiOracle.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

// The cells of one sheet as LibreOffice shows them (formatted text), one line per row, cells
// separated by tabs; LibreOffice's own rendering of number formats.
inline QStringList libreOfficeShownCells(const std::filesystem::path& path, int sheetNumber)
{
    TemporaryFolder out;
    QString profile = QString::fromStdString("file://" + (out.path() / "profile").string());
    QString filter = QStringLiteral("csv:Text - txt - csv (StarCalc):9,34,76,1,,0,false,false,true,false,false,%1")
                         .arg(sheetNumber);
    auto result = runProcess("soffice", {"-env:UserInstallation=" + profile, "--headless", "--convert-to", filter,
                                         "--outdir", QString::fromStdString(out.path().string()),
                                         QString::fromStdString(path.string())},
                             240000);
    EXPECT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
        if (entry.path().extension() != ".csv")
            continue;
        auto bytes = fileBytes(entry.path());
        return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
            .split('\n');
    }
    ADD_FAILURE() << "LibreOffice wrote no CSV for " << path;
    return {};
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
