// What users see when they open the saved workbook: fitted for LibreOffice, a picture keeps its
// shape there (and fitted for Excel, its anchor is Excel's frame as before); date captions in
// merged cells show as dates; the workbook opens on the sheet the work ended on; copies named
// from the date have valid names in every locale.

#include "run/SheetNaming.h"

#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/RunBlock.h"
#include "support/PlacementChecks.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <cmath>

using namespace tavorin;
using namespace tavorin::test;

namespace {

struct Template {
    const char* fixture;
    QStringList sheets;
    bool columnsDiffer = true; // LibreOffice draws the block B:D wider than Excel
};

void PrintTo(const Template& t, std::ostream* out) { *out << t.fixture; }

class PictureFit : public ::testing::TestWithParam<Template> {};

// One 4:3 photo in the block B3:D10, as wide or as high as the block allows.
RunOptions oneLandscapeIn(const std::filesystem::path& book, const QStringList& sheets, tavorin::FitFor fitFor)
{
    RunOptions options = EngineRun::optionsFor(book, sheets);
    setBlock(options, 2, 4, 3, 10);
    options.fitFor = fitFor;
    options.pictures = {EngineRun::pictureRow(pictureFixture("land.jpg"), QStringLiteral("○"))};
    return options;
}

// In .xlsx LibreOffice stretches a picture to the cells its anchor names, so there the Excel fit
// shows stretched sideways instead (POI reads no .xlsx, so LibreOffice judges both).
TEST_P(PictureFit, LibreOfficeKeepsThePicturesShapeAndExcelsFitStaysAsItWas)
{
    TemporaryFolder folder;
    const std::string kind = std::filesystem::path(GetParam().fixture).extension().string();
    const ExpectedPicture land{pictureFixture("land.jpg"), 0, 240, 180, GetParam().sheets[0], 0, 3, 2, 10, 4};
    const auto forLibreOffice = copyWorkbook(folder.path(), GetParam().fixture, "libreoffice" + kind);
    const auto forExcel = copyWorkbook(folder.path(), GetParam().fixture, "excel" + kind);
    EngineRun engine;
    ASSERT_TRUE(engine.run(oneLandscapeIn(forLibreOffice, GetParam().sheets, tavorin::FitFor::LibreOffice)).saved);
    ASSERT_TRUE(engine.run(oneLandscapeIn(forExcel, GetParam().sheets, tavorin::FitFor::Excel)).saved);

    const auto shownShape = [&](const std::filesystem::path& book, QJsonObject& sheet, QJsonObject& picture) {
        auto shown = libreOfficeReport(book, {land.sheet + "!D10"}); // rows reported through the block
        ASSERT_TRUE(shown);
        sheet = sheetNamed(*shown, land.sheet, "LibreOffice");
        ASSERT_FALSE(sheet["graphics"].toArray().isEmpty());
        picture = sheet["graphics"].toArray().last().toObject();
    };
    QJsonObject sheet, picture;
    shownShape(forLibreOffice, sheet, picture);
    EXPECT_NEAR(picture["width"].toDouble() / picture["height"].toDouble(), 4.0 / 3.0, 4.0 / 3.0 / 100);
    expectShownInBlock(sheet, picture, land, 1.0);
    if (kind == ".xls") {
        auto excel = poiReport(forExcel);
        ASSERT_TRUE(excel);
        const QJsonObject poiSheet = sheetNamed(*excel, land.sheet, "POI");
        ASSERT_EQ(poiSheet["pictures"].toArray().size(), 1);
        expectAnchoredInBlock(*excel, poiSheet, poiSheet["pictures"].toArray()[0].toObject(), land, 1.0);
    } else if (GetParam().columnsDiffer) {
        shownShape(forExcel, sheet, picture);
        EXPECT_GT(std::abs(picture["width"].toDouble() / picture["height"].toDouble() - 4.0 / 3.0), 4.0 / 3.0 / 50)
            << "the template cannot tell the two fits apart";
    }
}

std::string templateName(const ::testing::TestParamInfo<Template>& info)
{
    std::string name = info.param.fixture;
    return name.replace(name.find('.'), 1, "_");
}

INSTANTIATE_TEST_SUITE_P(, PictureFit,
                         ::testing::Values(Template{"ledger.xls", {"Sheet1", "My Sheet"}},
                                           Template{"jp_ledger.xls", {"台帳"}},
                                           Template{"27364.xls", {"Sheet1", "Sheet2", "Sheet3"}},
                                           Template{"ledger.xlsx", {"Sheet1", "My Sheet"}},
                                           Template{"jp_ledger.xlsx", {"台帳"}},
                                           Template{"StockPortfolio.xlsx", {"Sheet1", "Sheet2"}, false}),
                         templateName);

// jp_ledger.xls merges F:G in its caption rows; the captions are set to column G. Two copies:
// the workbook opens on the second, the last one written.
TEST(SavedWorkbook, CaptionsInMergedCellsShowAndTheLastCopyIsInFront)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "jp_ledger.xls");
    RunOptions options = oneLandscapeIn(book, {"台帳"}, tavorin::FitFor::Excel);
    options.pictures.push_back(EngineRun::pictureRow(pictureFixture("wide.gif"), QStringLiteral("○")));
    options.picturesPerSheet = 1;
    options.sheetNameText = QStringLiteral("写真");
    options.dateCaption = {true, 12, 7};
    options.nameCaption = {true, 2, 7};
    EngineRun engine;
    ASSERT_TRUE(engine.run(options).saved);

    auto xlrd = xlrdReport(book);
    auto shown = libreOfficeReport(book, {"写真(1)!F12", "写真(2)!F12"});
    ASSERT_TRUE(xlrd && shown);
    for (const QString copy : {"写真(1)", "写真(2)"}) {
        SCOPED_TRACE(copy.toStdString());
        const QJsonObject date = cellOf(sheetNamed(*xlrd, copy, "xlrd"), "F12");
        EXPECT_EQ(date["type"].toString(), QStringLiteral("date"));
        EXPECT_EQ(date["format"].toString(), QStringLiteral("yyyy\"年\"m\"月\"d\"日\";@"));
        EXPECT_EQ(cellOf(sheetNamed(*shown, copy, "LibreOffice"), "F12")["text"].toString(), QStringLiteral("2001年3月14日"));
        EXPECT_TRUE(cellOf(sheetNamed(*xlrd, copy, "xlrd"), "G12").isEmpty()) << "the hidden half of the merge stays empty";
    }
    EXPECT_EQ(cellOf(sheetNamed(*xlrd, "写真(2)", "xlrd"), "F2")["value"].toString(), QStringLiteral(" wide.gif"));
    for (const QString sheet : {"台帳", "写真(1)", "写真(2)"}) {
        const bool front = sheet == QStringLiteral("写真(2)");
        EXPECT_EQ(sheetNamed(*xlrd, sheet, "xlrd")["selected"].toBool(), front) << sheet.toStdString();
        EXPECT_EQ(sheetNamed(*xlrd, sheet, "xlrd")["shown"].toBool(), front) << sheet.toStdString();
    }
}

// Copy names are compared whole and with regard to case. Whatever a locale writes as its long date,
// the copies' names made from it are sheet names, without the weekday.
TEST(SheetNaming, CopyNamesMatchExactlyAndDateNamesAreSheetNamesInEveryLocale)
{
    EXPECT_EQ(initialCopyCounter("Photo", {"photo(1)", "Photo(1) ", "Photo (1)"}), 0);
    const QDate date(2026, 12, 7);
    EXPECT_EQ(sheetNameBaseFromDate(date, QLocale(QLocale::Japanese, QLocale::Japan)), QStringLiteral("2026年12月7日"));
    const QString english = sheetNameBaseFromDate(date, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(english.contains("December 7") && english.contains("2026")) << english.toStdString();
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyCountry)) {
        const QString base = sheetNameBaseFromDate(date, locale);
        const QString name = sheetCopyName(base, 300);
        SCOPED_TRACE(locale.name().toStdString() + ": " + name.toStdString());
        EXPECT_FALSE(base.trimmed().isEmpty());
        EXPECT_FALSE(base.contains(locale.dayName(date.dayOfWeek()))) << "the weekday";
        EXPECT_LE(name.size(), 31);
        EXPECT_TRUE(name.endsWith(QStringLiteral("(300)")));
        for (QChar forbidden : QStringLiteral(":\\/?*[]"))
            EXPECT_FALSE(name.contains(forbidden));
        EXPECT_FALSE(name.startsWith('\'') || name.endsWith('\''));
    }
}

} // namespace
