// The independent readers that tests compare workbooks with (Apache POI, xlrd, LibreOffice):
// each must run and report facts that the fixture README states about its files.

#include "support/Oracles.h"
#include "support/ProcessResult.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <gtest/gtest.h>

using namespace tavorin::test;

namespace {

QString path(const std::string& fixture) { return QString::fromStdString(workbookFixture(fixture).string()); }

QJsonObject parsed(const ProcessResult& result)
{
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    const QJsonDocument document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    EXPECT_TRUE(document.isObject()) << result.standardOutput.left(300).toStdString();
    return document.object();
}

QStringList strings(const QJsonValue& array)
{
    QStringList list;
    for (const auto& value : array.toArray())
        list << value.toString();
    return list;
}

QJsonObject sheetNamed(const QJsonObject& report, const QString& name)
{
    for (const auto& sheet : report["sheets"].toArray())
        if (sheet.toObject()["name"].toString() == name)
            return sheet.toObject();
    return {};
}

QJsonObject nameNamed(const QJsonArray& names, const QString& name)
{
    for (const auto& value : names)
        if (value.toObject()["name"].toString() == name)
            return value.toObject();
    return {};
}

// Merged areas of jp_ledger.xls are caption cells spanning columns F and G of one row.
void expectCaptionMergesInFG(const QStringList& merged)
{
    ASSERT_FALSE(merged.isEmpty());
    for (const QString& area : merged) {
        const QStringList corners = area.split(':');
        ASSERT_EQ(corners.size(), 2) << area.toStdString();
        EXPECT_TRUE(corners[0].startsWith('F') && corners[1].startsWith('G')) << area.toStdString();
        EXPECT_EQ(corners[0].mid(1), corners[1].mid(1)) << area.toStdString();
    }
}

const QStringList ledgerMerges{"A1:F1", "G2:H2", "G12:H12"};

} // namespace

TEST(PoiDumpOracle, LedgerSheetsMergesAndNames)
{
    const QJsonObject report = parsed(runPoiDump(workbookFixture("ledger.xls")));
    EXPECT_EQ(sheetNames(report), (QStringList{"Sheet1", "My Sheet"}));
    EXPECT_EQ(strings(sheetNamed(report, "Sheet1")["merged"]), ledgerMerges);
    const QJsonArray names = report["names"].toArray();
    EXPECT_EQ(nameNamed(names, "Data")["sheetIndex"].toInt(), -1);
    EXPECT_EQ(nameNamed(names, "Print_Area")["sheetIndex"].toInt(), 0);
    EXPECT_TRUE(nameNamed(names, "Print_Area")["formula"].toString().startsWith("Sheet1!"));
}

TEST(PoiDumpOracle, JapaneseLedgerSheetFontAndCaptionMerges)
{
    const QJsonObject report = parsed(runPoiDump(workbookFixture("jp_ledger.xls")));
    EXPECT_EQ(sheetNames(report), (QStringList{"台帳"}));
    EXPECT_EQ(report["normalFont"].toObject()["name"].toString(), "ＭＳ Ｐゴシック");
    EXPECT_EQ(report["normalFont"].toObject()["heightTwips"].toInt(), 220);
    expectCaptionMergesInFG(strings(sheetNamed(report, "台帳")["merged"]));
}

TEST(PoiDumpOracle, FourPicturesWithAnchorsAndData)
{
    const QJsonObject report = parsed(runPoiDump(workbookFixture("SimpleWithImages.xls")));
    const QJsonArray pictures = sheetNamed(report, "Sheet1")["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 4);
    for (const auto& value : pictures) {
        const QJsonObject picture = value.toObject();
        EXPECT_EQ(picture["anchor"].toArray().size(), 8);
        EXPECT_GT(picture["bytes"].toInt(), 0);
        EXPECT_EQ(picture["md5"].toString().size(), 32);
    }
}

TEST(PoiDumpOracle, RefusesEncryptedAndMissingFilesWithAnExitCode)
{
    for (const char* name : {"xor-encryption-abc.xls", "no-such-file.xls"}) {
        const ProcessResult result = runPoiDump(workbookFixture(name));
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 2) << name;
        EXPECT_TRUE(result.standardError.contains("cannot read")) << name;
    }
}

TEST(XlrdDumpOracle, LedgerSheetsMergesAndNames)
{
    const QJsonObject report = parsed(runOracle("xlrd_dump.py", {path("ledger.xls")}));
    EXPECT_EQ(sheetNames(report), (QStringList{"Sheet1", "My Sheet"}));
    EXPECT_EQ(strings(sheetNamed(report, "Sheet1")["merged"]), ledgerMerges);
    const QJsonArray names = report["names"].toArray();
    EXPECT_EQ(nameNamed(names, "Data")["scope"].toInt(), -1);
    const QJsonObject printArea = nameNamed(names, "Print_Area");
    EXPECT_EQ(printArea["scope"].toInt(), 0);
    EXPECT_TRUE(printArea["builtin"].toBool());
    // Uneven column widths.
    QSet<int> widths;
    for (const auto& column : sheetNamed(report, "Sheet1")["columns"].toArray())
        widths.insert(column.toObject()["width"].toInt());
    EXPECT_GE(widths.size(), 2);
}

TEST(XlrdDumpOracle, JapaneseLedgerSheetAndCaptionMerges)
{
    const QJsonObject report = parsed(runOracle("xlrd_dump.py", {path("jp_ledger.xls")}));
    EXPECT_EQ(sheetNames(report), (QStringList{"台帳"}));
    expectCaptionMergesInFG(strings(sheetNamed(report, "台帳")["merged"]));
}

TEST(XlrdDumpOracle, NamesDemoHasItsSheetAndManyNames)
{
    const QJsonObject report = parsed(runOracle("xlrd_dump.py", {path("namesdemo.xls")}));
    EXPECT_TRUE(sheetNames(report).contains("Seamus O'Reilly"));
    EXPECT_GE(report["names"].toArray().size(), 5);
}

TEST(XlrdDumpOracle, RefusesEncryptedFilesAndBadUsage)
{
    const ProcessResult encrypted = runOracle("xlrd_dump.py", {path("xor-encryption-abc.xls")});
    EXPECT_TRUE(encrypted.finished);
    EXPECT_EQ(encrypted.exitCode, 1);
    EXPECT_TRUE(encrypted.standardError.contains("cannot read"));
    const ProcessResult usage = runOracle("xlrd_dump.py", {});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.standardError.contains("usage"));
}

TEST(LibreOfficeDumpOracle, LedgerSheetsMergesPrintAreaAndNames)
{
    const QJsonObject report = parsed(runOracle("lo_dump.py", {"--cell", "Sheet1!B20", path("ledger.xls")}));
    EXPECT_EQ(sheetNames(report), (QStringList{"Sheet1", "My Sheet"}));
    const QJsonObject sheet1 = sheetNamed(report, "Sheet1");
    EXPECT_EQ(strings(sheet1["merged"]), ledgerMerges);
    EXPECT_EQ(sheet1["printAreas"].toArray().size(), 1);
    EXPECT_EQ(nameNamed(report["names"].toArray(), "Data")["content"].toString(), "$Sheet1.$B$2:$C$4");
    // A cell asked for by --cell is reported even when empty, with its number format.
    bool found = false;
    for (const auto& value : sheet1["cells"].toArray()) {
        const QJsonObject cell = value.toObject();
        if (cell["cell"].toString() == "B20") {
            found = true;
            EXPECT_EQ(cell["type"].toString(), "empty");
            EXPECT_FALSE(cell["format"].toString().isEmpty());
        }
    }
    EXPECT_TRUE(found);
    // Uneven column widths, in 1/100 mm.
    QSet<int> widths;
    for (const auto& column : sheet1["columns"].toArray())
        widths.insert(column.toObject()["width"].toInt());
    EXPECT_GE(widths.size(), 2);
}

TEST(LibreOfficeDumpOracle, PicturesAgreeWithPoiOnCountAndPixelSize)
{
    const QJsonObject report = parsed(runOracle("lo_dump.py", {path("SimpleWithImages.xls")}));
    const QJsonArray graphics = sheetNamed(report, "Sheet1")["graphics"].toArray();
    ASSERT_EQ(graphics.size(), 4);
    const auto poi = poiReport(workbookFixture("SimpleWithImages.xls"));
    ASSERT_TRUE(poi.has_value());
    const QJsonArray pictures = sheetNamed(*poi, "Sheet1")["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject graphic = graphics[i].toObject();
        const QJsonObject picture = pictures[i].toObject();
        EXPECT_GT(graphic["width"].toInt(), 0);
        EXPECT_EQ(graphic["rotation"].toInt(), 0);
        EXPECT_FALSE(graphic["anchorCell"].toString().isEmpty());
        if (picture["width"].isDouble()) { // bitmaps: both readers decode the same pixels
            EXPECT_EQ(graphic["pixelWidth"].toInt(), picture["width"].toInt()) << i;
            EXPECT_EQ(graphic["pixelHeight"].toInt(), picture["height"].toInt()) << i;
        }
    }
}

TEST(LibreOfficeDumpOracle, RefusesWhatIsNotAWorkbook)
{
    const ProcessResult result = runOracle(
        "lo_dump.py", {QString::fromStdString(pictureFixture("broken.jpg").string())});
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.standardError.contains("cannot read"));
}

namespace {

TEST(GnumericDumpOracle, PicturesAgreeWithPoiOnCountKindAndBytes)
{
    const QJsonObject report = parsed(runOracle("gnumeric_dump.py", {path("SimpleWithImages.xls")}));
    EXPECT_TRUE(report["warnings"].toArray().isEmpty());
    const QJsonArray gnumeric = sheetNamed(report, "Sheet1")["pictures"].toArray();
    const auto poi = poiReport(workbookFixture("SimpleWithImages.xls"));
    ASSERT_TRUE(poi.has_value());
    const QJsonArray pictures = sheetNamed(*poi, "Sheet1")["pictures"].toArray();
    ASSERT_EQ(gnumeric.size(), 4);
    ASSERT_EQ(pictures.size(), 4);
    // The two readers list the pictures in different orders: match them by their bytes.
    QSet<QString> poiPictures, gnumericPictures;
    for (const auto& value : pictures)
        poiPictures << value.toObject()["type"].toString() + " " + value.toObject()["md5"].toString() + " " +
                           QString::number(value.toObject()["bytes"].toInt());
    for (const auto& value : gnumeric) {
        const QJsonObject picture = value.toObject();
        gnumericPictures << picture["imageType"].toString() + " " + picture["md5"].toString() + " " +
                                QString::number(picture["size"].toInt());
        EXPECT_FALSE(picture["from"].toString().isEmpty());
        EXPECT_EQ(picture["offsets"].toArray().size(), 4);
    }
    EXPECT_EQ(gnumericPictures, poiPictures);
}

TEST(GnumericDumpOracle, RefusesAMissingWorkbook)
{
    const ProcessResult result = runOracle("gnumeric_dump.py", {path("no-such-file.xls")});
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.standardError.contains("no such workbook"));
}

} // namespace
