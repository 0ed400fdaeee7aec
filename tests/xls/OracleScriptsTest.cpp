// The independent readers the engine is judged by report what the fixture README states of its files,
// agreeing with each other, and refuse what is no workbook with their documented exit code.

#include "support/Oracles.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QSet>

#include <gtest/gtest.h>

using namespace tavorin::test;

namespace {

QString path(const std::string& fixture)
{
    return QString::fromStdString(workbookFixture(fixture).string());
}

QJsonValue field(const std::optional<QJsonObject>& report, const char* reader, const char* name)
{
    return report ? sheetNamed(*report, "Sheet1", reader)[name] : QJsonValue();
}

TEST(OracleScripts, ReadersAgreeOnWhatTheFixturesHold)
{
    const auto poi = poiReport(workbookFixture("ledger.xls")),
               xlrd = xlrdReport(workbookFixture("ledger.xls"));
    const auto libreOffice = libreOfficeReport(workbookFixture("ledger.xls"), {"Sheet1!B20"});
    const QJsonArray merged{"A1:F1", "G2:H2", "G12:H12"};
    EXPECT_EQ(field(poi, "POI", "merged"), merged);
    EXPECT_EQ(field(xlrd, "xlrd", "merged"), merged);
    EXPECT_EQ(field(libreOffice, "LibreOffice", "merged"), merged);
    ASSERT_TRUE(poi && xlrd && libreOffice);
    EXPECT_EQ((*poi)["names"].toArray()[0].toObject()["formula"].toString(), "Sheet1!$A$1:$H$60");
    EXPECT_EQ(cellOf(sheetNamed(*libreOffice, "Sheet1", "LibreOffice"), "B20")["type"].toString(), "empty")
        << "asked for";

    // POI and Gnumeric list pictures in different orders: matched by kind, bytes and size.
    const auto pictures = poiReport(workbookFixture("SimpleWithImages.xls"));
    const auto gnumeric = gnumericReport(workbookFixture("SimpleWithImages.xls"));
    ASSERT_TRUE(pictures && gnumeric);
    EXPECT_TRUE((*gnumeric)["warnings"].toArray().isEmpty());
    QSet<QString> seenByPoi, seenByGnumeric;
    for (const auto& value : field(pictures, "POI", "pictures").toArray())
        seenByPoi << value.toObject()["type"].toString() + " " + value.toObject()["md5"].toString() + " " +
                         QString::number(value.toObject()["bytes"].toInt());
    for (const auto& value : field(gnumeric, "Gnumeric", "pictures").toArray())
        seenByGnumeric << value.toObject()["imageType"].toString() + " " +
                              value.toObject()["md5"].toString() + " " +
                              QString::number(value.toObject()["size"].toInt());
    EXPECT_EQ(seenByGnumeric.size(), 4);
    EXPECT_EQ(seenByGnumeric, seenByPoi);
    EXPECT_EQ(field(pictures, "POI", "pictures").toArray()[1].toObject()["anchor"].toArray(),
              (QJsonArray{4, 704, 1, 60, 9, 384, 18, 226}));
}

struct Refusal {
    const char* reader;
    ProcessResult (*run)(const std::string& fixture);
    const char* fixture;
    int exitCode;
    const char* says;
};

void PrintTo(const Refusal& r, std::ostream* out)
{
    *out << r.reader << ' ' << r.fixture;
}

const Refusal refusals[] = {
    {"POI", [](const std::string& f) { return runPoiDump(workbookFixture(f)); }, "xor-encryption-abc.xls", 2,
     "cannot read"},
    {"xlrd", [](const std::string& f) { return runReader("xlrd_dump.py", {path(f)}); },
     "xor-encryption-abc.xls", 1, "cannot read"},
    {"xlrd", [](const std::string&) { return runReader("xlrd_dump.py", {}); }, "", 2, "usage"},
    {"LibreOffice",
     [](const std::string& f) {
         return runReader("lo_dump.py", {QString::fromStdString(pictureFixture(f).string())});
     },
     "broken.jpg", 1, "cannot read"},
    {"Gnumeric", [](const std::string& f) { return runReader("gnumeric_dump.py", {path(f)}); },
     "no-such-file.xls", 2, "no such workbook"},
};

class OracleRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(OracleRefusal, ExitsWithItsCodeAndSaysWhy)
{
    const ProcessResult result = GetParam().run(GetParam().fixture);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_TRUE(result.standardError.contains(GetParam().says)) << result.standardError.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Readers, OracleRefusal, testing::ValuesIn(refusals));

} // namespace
