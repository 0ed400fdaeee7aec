// The whole run on .xlsx templates, read back by openpyxl and by LibreOffice. openpyxl reports
// each picture's anchor, which Excel's own geometry (XlsxGrid, from openpyxl's column and row
// report) turns into the rectangle it covers: that is the fit of the picture in its block to half
// a point, turned by its mark. LibreOffice shows each picture inside its block, centred, turned
// the right way; both read the captions with their formats. What the template held already
// (pictures, a chart, a comment) stays on it and on its copies.

#include "support/EngineRun.h"
#include "support/FittedFrame.h"
#include "support/OpenpyxlReport.h"
#include "support/Oracles.h"
#include "support/RunBlock.h"
#include "support/PlacementChecks.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include "run/RotationMark.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

struct Template {
    const char* fixture;
    const char* sheet;
    QStringList sheets;
    const char* normalFont;
    int magnification;
    const char* nameCell; // where the name caption of the first block lands (a merged area's first cell)
    // LibreOffice draws the columns as Excel does only when it has the Normal font or one of its
    // metrics (Carlito for Calibri); for ＭＳ Ｐゴシック it has neither, and rounds no row to whole
    // pixels, so there it is held to the block within 3 % and not to Excel's size.
    bool libreOfficeHasTheFont;
};

void PrintTo(const Template& t, std::ostream* out) { *out << t.fixture; }

struct Source {
    const char* file;
    double width, height; // points at 96 dpi
};

const Source sources[] = {{"land.jpg", 240, 180}, {"portrait.png", 180, 240}, {"square.bmp", 112.5, 112.5},
                          {"wide.gif", 150, 75}, {"tall.tif", 75, 225}};
const int marks[] = {0, 90, 180, 270, 0};
constexpr double sampleDateSerial = 36964.5625; // 2001-03-14 13:30, the clock of EngineRun
const QString dateFormat = QStringLiteral("yyyy\"年\"m\"月\"d\"日\";@");

// Blocks B3:E10, two empty rows between them, four pictures per copy named 写真(n); a "No."
// number in B, the date (format 0) in D and the file name in G, the row above each block.
RunOptions optionsFor(const std::filesystem::path& book, const Template& t)
{
    RunOptions o = EngineRun::optionsFor(book, t.sheets, static_cast<int>(t.sheets.indexOf(t.sheet)));
    setBlock(o, 2, 5, 3, 10, 2);
    o.picturesPerSheet = 4;
    o.sheetNameText = QStringLiteral("写真");
    o.magnificationText = QString::number(t.magnification);
    o.numberCaption = {true, 2, 2};
    o.firstNumberText = QStringLiteral("1");
    o.dateCaption = {true, 2, 4};
    o.dateFormat = 0;
    o.nameCaption = {true, 2, 7};
    for (int k = 0; k < 5; ++k)
        o.pictures.push_back(EngineRun::pictureRow(pictureFixture(sources[k].file), rotationMarkFor(marks[k])));
    return o;
}

ExpectedPicture expected(int k)
{
    const int slot = k % 4, top = 3 + 10 * slot;
    return {pictureFixture(sources[k].file), marks[k], sources[k].width, sources[k].height,
            QStringLiteral("写真(%1)").arg(k / 4 + 1), slot, top, 2, top + 7, 5};
}

// LibreOffice places an .xlsx picture at its anchor cell plus the anchor's offset in EMU, in its
// own columns, which are wider than Excel's when the Normal font is not installed (Calibri,
// ＭＳ Ｐゴシック); its size comes from the frame. So LibreOffice must show the picture inside its
// block, centred between the block's rows, at the size Excel's fit gives, turned the right way
// (counter-clockwise there); the horizontal centring is judged in Excel's geometry above.
void expectShownInXlsxBlock(const QJsonObject& sheet, const QJsonObject& graphic, const ExpectedPicture& e,
                            const PointRect& excelFit, bool sameMetrics)
{
    EXPECT_EQ(graphic["rotation"].toInt(), ((360 - e.degrees) % 360) * 100);
    const QJsonObject bounds = graphic["bounds"].toObject();
    ASSERT_FALSE(bounds.isEmpty());
    auto sum = [](const QJsonArray& items, const char* size, int from, int to) {
        double total = 0;
        for (int i = from; i < to && i < items.size(); ++i)
            total += items[i].toObject()["visible"].toBool() ? items[i].toObject()[size].toDouble() : 0;
        return total;
    };
    const QJsonArray columns = sheet["columns"].toArray(), rows = sheet["rows"].toArray();
    const PointRect block{sum(columns, "width", 0, e.firstColumn - 1), sum(rows, "height", 0, e.firstRow - 1),
                          sum(columns, "width", e.firstColumn - 1, e.lastColumn), sum(rows, "height", e.firstRow - 1, e.lastRow)};
    const PointRect shown{bounds["x"].toDouble(), bounds["y"].toDouble(), bounds["width"].toDouble(),
                          bounds["height"].toDouble()};
    constexpr double hundredthsPerPoint = 2540.0 / 72;
    // 0.3 mm: LibreOffice's rounding of rows and rectangles; 3 % of the block in other metrics.
    const double slack = sameMetrics ? 30 : 30 + block.width * 0.03;
    SCOPED_TRACE("LibreOffice block " + std::to_string(block.left) + "," + std::to_string(block.top) + " " +
                 std::to_string(block.width) + "x" + std::to_string(block.height) + "; picture " +
                 std::to_string(shown.left) + "," + std::to_string(shown.top) + " " + std::to_string(shown.width) + "x" +
                 std::to_string(shown.height));
    EXPECT_GE(shown.left, block.left - slack);
    EXPECT_LE(shown.left + shown.width, block.left + block.width + slack);
    EXPECT_GE(shown.top, block.top - slack);
    EXPECT_LE(shown.top + shown.height, block.top + block.height + slack);
    EXPECT_NEAR(shown.centreY(), block.centreY(), slack);
    if (!sameMetrics)
        return;
    EXPECT_NEAR(shown.width, excelFit.width * hundredthsPerPoint, slack);
    EXPECT_NEAR(shown.height, excelFit.height * hundredthsPerPoint, slack);
}

QJsonArray imagesOf(const QJsonObject& report, const QString& sheet)
{
    return sheetNamed(report, sheet, "openpyxl")["images"].toArray();
}

class XlsxRunEndToEnd : public ::testing::TestWithParam<Template> {};

TEST_P(XlsxRunEndToEnd, PicturesFitTheirBlocksAndCaptionsCarryTheirFormatsInOpenpyxlAndLibreOffice)
{
    const Template& t = GetParam();
    TemporaryFolder folder;
    const auto book = folder / t.fixture;
    std::filesystem::copy_file(workbookFixture(t.fixture), book);
    std::filesystem::permissions(book, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    auto before = openpyxlReport(book);
    ASSERT_TRUE(before.has_value());
    const int templateImages = static_cast<int>(imagesOf(*before, t.sheet).size());

    EngineRun engine;
    const RunOutcome outcome = engine.run(optionsFor(book, t));
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 5);
    EXPECT_TRUE(outcome.unplaced.empty());

    auto report = openpyxlReport(book);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->value("normalFont").toObject()["name"].toString(), QString::fromUtf8(t.normalFont));
    EXPECT_EQ(sheetNames(*report), t.sheets + QStringList({"写真(1)", "写真(2)"}));
    EXPECT_EQ(imagesOf(*report, t.sheet).size(), templateImages) << "the template itself receives nothing";
    std::vector<PointRect> excelFits;
    for (int k = 0; k < 5; ++k) {
        const ExpectedPicture e = expected(k);
        SCOPED_TRACE(e.path.filename().string() + " on " + e.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(*report, e.sheet, "openpyxl");
        const QJsonArray images = sheet["images"].toArray();
        ASSERT_EQ(images.size(), templateImages + (k < 4 ? 4 : 1)) << "template pictures and new ones";
        const QJsonObject image = images[templateImages + e.slot].toObject();
        excelFits.push_back(fittedFrame(XlsxGrid::fromOpenpyxl(*report, sheet)
                                            .value_or(XlsxGrid{})
                                            .block(e.firstRow, e.firstColumn, e.lastRow, e.lastColumn),
                                        e.naturalWidth, e.naturalHeight, e.degrees, t.magnification / 100.0));
        EXPECT_EQ(image["anchorType"].toString(), QStringLiteral("TwoCellAnchor"));
        auto grid = XlsxGrid::fromOpenpyxl(*report, sheet);
        ASSERT_TRUE(grid.has_value());
        const PointRect block = grid->block(e.firstRow, e.firstColumn, e.lastRow, e.lastColumn);
        const PointRect want = fittedFrame(block, e.naturalWidth, e.naturalHeight, e.degrees, t.magnification / 100.0);
        const PointRect got = grid->anchorRect(image);
        EXPECT_NEAR(got.left, want.left, 0.5);
        EXPECT_NEAR(got.top, want.top, 0.5);
        EXPECT_NEAR(got.width, want.width, 0.5);
        EXPECT_NEAR(got.height, want.height, 0.5);
        EXPECT_DOUBLE_EQ(image["rotation"].toDouble(), e.degrees);

        const QString row = QString::number(e.firstRow - 1);
        const QJsonObject number = cellOf(sheet, "B" + row), date = cellOf(sheet, "D" + row);
        EXPECT_EQ(number["value"].toString(), QStringLiteral("No.%1").arg(k + 1));
        EXPECT_DOUBLE_EQ(date["serial"].toDouble(), sampleDateSerial);
        EXPECT_EQ(date["format"].toString(), dateFormat);
        const QString nameCell = QString(t.nameCell).left(1) + row;
        EXPECT_EQ(cellOf(sheet, nameCell)["value"].toString(), QStringLiteral(" ") + sources[k].file);
    }

    auto shown = libreOfficeReport(book);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(sheetNames(*shown), t.sheets + QStringList({"写真(1)", "写真(2)"}));
    for (int k = 0; k < 5; ++k) {
        const ExpectedPicture e = expected(k);
        SCOPED_TRACE(e.path.filename().string() + " in LibreOffice on " + e.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(*shown, e.sheet, "LibreOffice");
        QJsonArray pictures;
        for (const auto& graphic : sheet["graphics"].toArray())
            if (graphic.toObject()["type"].toString().endsWith("GraphicObjectShape"))
                pictures.append(graphic);
        ASSERT_EQ(pictures.size(), templateImages + (k < 4 ? 4 : 1));
        expectShownInXlsxBlock(sheet, pictures[templateImages + e.slot].toObject(), e, excelFits[static_cast<std::size_t>(k)],
                               t.libreOfficeHasTheFont);
        const QJsonObject date = cellOf(sheet, "D" + QString::number(e.firstRow - 1));
        EXPECT_EQ(date["text"].toString(), QStringLiteral("2001年3月14日"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, XlsxRunEndToEnd,
    ::testing::Values(Template{"StockPortfolio.xlsx", "Sheet1", {"Sheet1", "Sheet2"}, "Calibri", 100, "G2", true},
                      Template{"jp_ledger.xlsx", "台帳", {QStringLiteral("台帳")}, "ＭＳ Ｐゴシック", 80, "F2", false},
                      Template{"chart_pictures_comment.xlsx", "Charts", {"Data", "Charts"}, "Calibri", 100, "G2", true}));

// The chart, the template's pictures and its comment are on the template and on every copy.
TEST(XlsxRunTemplateShapes, ChartPicturesAndCommentStayOnTheTemplateAndTravelWithItsCopies)
{
    TemporaryFolder folder;
    const auto book = folder / "book.xlsx";
    std::filesystem::copy_file(workbookFixture("chart_pictures_comment.xlsx"), book);
    std::filesystem::permissions(book, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const Template t{"chart_pictures_comment.xlsx", "Charts", {"Data", "Charts"}, "Calibri", 100, "G2", true};
    EngineRun engine;
    ASSERT_TRUE(engine.run(optionsFor(book, t)).saved);
    auto report = openpyxlReport(book);
    ASSERT_TRUE(report.has_value());
    for (const QString sheet : {"Charts", "写真(1)", "写真(2)"}) {
        SCOPED_TRACE(sheet.toStdString());
        const QJsonObject s = sheetNamed(*report, sheet, "openpyxl");
        EXPECT_EQ(s["charts"].toInt(), 1);
        EXPECT_EQ(s["comments"].toInt(), 1);
    }
    EXPECT_EQ(sheetNamed(*report, "Data", "openpyxl")["images"].toArray().size(), 2);
}

} // namespace
