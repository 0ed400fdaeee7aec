// Whole runs on the native engine, worked out by hand, judged by Apache POI (each picture's anchor,
// turned into points with Excel's own column and row rules, is the frame the placement rule gives for
// its block: fitted, centred, turned by its mark; the captions hold their values and formats),
// LibreOffice (each picture sits centred in its block in LibreOffice's own columns; the captions show
// as their formats say) and xlrd (every sheet loads whole; every stream position is right).

#include "RunLayout.h"

#include "run/RotationMark.h"

#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/MetafileSamples.h"
#include "support/Oracles.h"
#include "support/PlacementChecks.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// A caption cell the run must have written: a text, a number, or a date (its serial number, with the
// number format of its date format).
struct ExpectedCaption {
    QString sheet, cell;
    QJsonValue value;
    QString format;
};

struct Scenario {
    RunOptions options;
    QStringList sheetsAfter;
    double magnification;
    QString dateShown; // how LibreOffice shows the date captions
    std::vector<ExpectedPicture> pictures{};
    std::vector<ExpectedCaption> captions{};
};

constexpr double sampleDate = 36964.5625; // 2001-03-14 13:30, when EngineRun says every picture was made

struct Source {
    std::filesystem::path path;
    double width, height; // points: pixels at 96 dpi, or the metafile's frame
};

const Source land{pictureFixture("land.jpg"), 240, 180}, portrait{pictureFixture("portrait.png"), 180, 240},
    square{pictureFixture("square.bmp"), 112.5, 112.5}, wide{pictureFixture("wide.gif"), 150, 75},
    tall{pictureFixture("tall.tif"), 75, 225};

void addPicture(Scenario& s, const Source& source, int degrees, const QString& sheet, int slot, int top, int left,
                int height, int width)
{
    s.options.pictures.push_back(EngineRun::pictureRow(source.path, rotationMarkFor(degrees)));
    s.pictures.push_back(
        {source.path, degrees, source.width, source.height, sheet, slot, top, left, top + height - 1, left + width - 1});
}

// jp_ledger.xls (Normal font ＭＳ Ｐゴシック 11): blocks B3:E10 two rows apart, four per copy named 写真(n);
// nine pictures of every kind the engine takes, the marks in turn; magnification and first number left
// blank (the run fills in 100 and 1); "No." numbers, the date in format 0 and the file name in the
// merged F:G caption fields one row above each block.
Scenario japaneseLedger(const std::filesystem::path& workbook, const MetafileSamples& metafiles)
{
    Scenario s{EngineRun::optionsFor(workbook, {"台帳"}), {"台帳", "写真(1)", "写真(2)", "写真(3)"}, 1.0, "2001年3月14日"};
    RunOptions& o = s.options;
    setBlock(o, 2, 5, 3, 10, 2);
    o.picturesPerSheet = 4;
    o.sheetNameText = "写真";
    o.magnificationText = "  ";
    o.firstNumberText = "";
    o.numberCaption = {true, 2, 2}; // B2
    o.dateCaption = {true, 2, 4};   // D2
    o.nameCaption = {true, 2, 7};   // G2, inside the merged F2:G2
    const Source sources[] = {land, portrait, square, wide, tall, {metafiles.wmf, 72, 72}, {metafiles.emf, 144, 72},
                              {metafiles.wmz, 72, 72}, {metafiles.emz, 144, 72}};
    for (int k = 0; k < 9; ++k) {
        const QString sheet = QStringLiteral("写真(%1)").arg(k / 4 + 1), row = QString::number(2 + 10 * (k % 4));
        addPicture(s, sources[k], 90 * (k % 4), sheet, k % 4, 3 + 10 * (k % 4), 2, 8, 4);
        s.captions.push_back({sheet, "B" + row, QStringLiteral("No.%1").arg(k + 1), {}});
        s.captions.push_back({sheet, "D" + row, sampleDate, "yyyy\"年\"m\"月\"d\"日\";@"});
        s.captions.push_back({sheet, "F" + row, s.options.pictures.back().name, {}});
    }
    return s;
}

// ledger.xls (Normal font Arial 10, columns of 64 and 32 pixels in turn): pairs of blocks B3:D11 and
// F3:H11 one row apart, three per copy named Photo(n) after "My Sheet", magnification "80%"; plain
// numbers from 5 in A, the date in format 3 in the narrow column B, the name without its extension in
// D (the right block's H2 lies in the merged G2:H2).
Scenario arialLedgerPairs(const std::filesystem::path& workbook, const MetafileSamples& metafiles)
{
    Scenario s{EngineRun::optionsFor(workbook, {"Sheet1", "My Sheet"}), {"Sheet1", "My Sheet", "Photo(1)", "Photo(2)"},
               0.8, "2001/3/14 13:30"};
    RunOptions& o = s.options;
    setBlock(o, 2, 4, 3, 11, 1);
    o.picturesPerSheet = 3;
    o.singleColumnForm = false;
    o.twoColumnForm = true;
    o.pairGap = 1;
    o.sheetNameText = "Photo";
    o.magnificationText = "80%";
    o.dateCaption = {true, 2, 2};
    o.dateFormat = 3;
    o.numberCaption = {true, 2, 1};
    o.firstNumberText = "5";
    o.numberWithPrefix = false;
    o.nameCaption = {true, 2, 4};
    o.nameWithoutExtension = true;
    const Source sources[] = {{metafiles.emz, 144, 72}, tall, land, portrait, wide, square};
    const char* names[] = {" wide", " tall", " land", " portrait", " wide", " square"};
    const int marks[] = {90, 180, 270, 0, 90, 180};
    // Per copy: the left and the right block of the first block row, the left one of the second.
    const struct {
        int top, left;
        const char *date, *number, *name;
    } places[] = {{3, 2, "B2", "A2", "D2"}, {3, 6, "F2", "E2", "G2"}, {13, 2, "B12", "A12", "D12"}};
    for (int k = 0; k < 6; ++k) {
        const QString sheet = QStringLiteral("Photo(%1)").arg(k / 3 + 1);
        const auto& place = places[k % 3];
        addPicture(s, sources[k], marks[k], sheet, k % 3, place.top, place.left, 9, 3);
        s.captions.push_back({sheet, place.date, sampleDate, "yyyy/m/d h:mm;@"});
        s.captions.push_back({sheet, place.number, 5 + k, {}});
        s.captions.push_back({sheet, place.name, names[k], {}});
    }
    return s;
}

// Every sheet holds its pictures and no others; a copy carries the template's cells, merged caption
// fields and column widths (a date entered in a narrow column leaves its width as it was).
void expectSheetsAsPoiReadsThem(const QJsonObject& poi, const Scenario& scenario)
{
    EXPECT_EQ(sheetNames(poi), scenario.sheetsAfter);
    const QJsonObject original = sheetNamed(poi, scenario.options.sheetNames[0], "POI");
    for (const QString& name : scenario.sheetsAfter) {
        const QJsonObject sheet = sheetNamed(poi, name, "POI");
        EXPECT_EQ(sheet["pictures"].toArray().size(), std::count_if(scenario.pictures.begin(), scenario.pictures.end(),
                                                                    [&](const auto& p) { return p.sheet == name; }))
            << name.toStdString();
        if (!scenario.options.sheetNames.contains(name)) {
            EXPECT_EQ(cellOf(sheet, "A1"), cellOf(original, "A1")) << name.toStdString();
            EXPECT_EQ(sheet["merged"], original["merged"]) << name.toStdString();
            EXPECT_EQ(sheet["columns"], original["columns"]) << name.toStdString();
        }
    }
}

void expectCaption(const QJsonObject& poiCell, const QJsonObject& shownCell, const ExpectedCaption& caption,
                   const QString& dateShown)
{
    const bool text = caption.value.isString(), date = !caption.format.isEmpty();
    EXPECT_EQ(poiCell["type"].toString(), text ? "text" : "number");
    EXPECT_EQ(poiCell["value"], caption.value);
    if (date) {
        EXPECT_EQ(poiCell["format"].toString(), caption.format);
    }
    EXPECT_EQ(shownCell["type"].toString(), text ? "text" : "value");
    EXPECT_EQ(shownCell[text || date ? "text" : "value"], date ? QJsonValue(dateShown) : caption.value);
}

struct ScenarioCase {
    const char* name;
    const char* fixture;
    Scenario (*make)(const std::filesystem::path&, const MetafileSamples&);
};

class InsertionRunScenario : public ::testing::TestWithParam<ScenarioCase> {};

TEST_P(InsertionRunScenario, EveryPictureAndCaptionLandsWhereTheRulesPutIt)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), GetParam().fixture);
    const Scenario scenario = GetParam().make(book, writeMetafileSamples(folder.path()));
    EngineRun engine;
    const RunOutcome outcome = engine.run(scenario.options);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, static_cast<int>(scenario.pictures.size()));
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].text, "  処理終了！");
    EXPECT_EQ(engine.messages[0].title, "確認");
    if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), scenario.sheetsAfter);
    }
    auto poi = poiReport(book), shown = libreOfficeReport(book);
    ASSERT_TRUE(poi && shown);
    expectSheetsAsPoiReadsThem(*poi, scenario);
    EXPECT_EQ(sheetNames(*shown), scenario.sheetsAfter);
    for (const auto& expected : scenario.pictures) {
        SCOPED_TRACE(expected.path.filename().string() + " on " + expected.sheet.toStdString());
        const QJsonObject poiSheet = sheetNamed(*poi, expected.sheet, "POI");
        const QJsonObject shownSheet = sheetNamed(*shown, expected.sheet, "LibreOffice");
        expectAnchoredInBlock(*poi, poiSheet, poiSheet["pictures"][expected.slot].toObject(), expected,
                              scenario.magnification);
        expectShownInBlock(shownSheet, shownSheet["graphics"][expected.slot].toObject(), expected,
                           scenario.magnification);
    }
    for (const auto& caption : scenario.captions) {
        SCOPED_TRACE(caption.sheet.toStdString() + "!" + caption.cell.toStdString());
        expectCaption(cellOf(sheetNamed(*poi, caption.sheet, "POI"), caption.cell),
                      cellOf(sheetNamed(*shown, caption.sheet, "LibreOffice"), caption.cell), caption,
                      scenario.dateShown);
    }
}

std::string scenarioName(const ::testing::TestParamInfo<ScenarioCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(, InsertionRunScenario,
                         ::testing::Values(ScenarioCase{"JapaneseLedger", "jp_ledger.xls", japaneseLedger},
                                           ScenarioCase{"ArialLedgerPairs", "ledger.xls", arialLedgerPairs}),
                         scenarioName);

bool runOnePicture(const std::filesystem::path& book, const QStringList& listed, int dateFormat)
{
    RunOptions options = EngineRun::optionsFor(book, listed);
    setBlock(options, 2, 4, 3, 3);
    options.picturesPerSheet = 1;
    options.sheetNameText = "日付";
    options.dateCaption = {true, 2, 2};
    options.dateFormat = dateFormat;
    options.pictures.push_back(EngineRun::pictureRow(land.path, "○"));
    EngineRun engine;
    return engine.run(options).saved;
}

// Runs one after another, as the window makes them: it lists the sheets again after each, so each run
// names its copy after the copies listed and puts it after the last of them. A list read before the
// last runs offers a name the workbook holds: that copy keeps the name it was given, Excel's
// "台帳 (2)", and still takes its picture. LibreOffice shows each date caption as the sample the
// option panel offers for its format (the last copy's is format 0).
TEST(InsertionRunAfterRun, EachCopyTakesTheNextFreeNameAndShowsItsDateFormat)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "jp_ledger.xls");
    const QStringList samples{"2001年3月14日",   "2001/3/14", "2001/3/14 1:30 PM", "2001/3/14 13:30",
                              "平成13年3月14日", "H13.3.14",  "3月14日",           "3/14"};
    QStringList sheets{"台帳"};
    for (int format = 0; format < 8; ++format) {
        ASSERT_TRUE(runOnePicture(book, sheets, format)) << "format " << format;
        sheets << QStringLiteral("日付(%1)").arg(format + 1);
    }
    ASSERT_TRUE(runOnePicture(book, {"台帳"}, 0));
    sheets.insert(1, "台帳 (2)");
    if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), sheets);
    }
    auto shown = libreOfficeReport(book);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(sheetNames(*shown), sheets);
    for (qsizetype copy = 1; copy < sheets.size(); ++copy) {
        const QJsonObject sheet = sheetNamed(*shown, sheets[copy], "LibreOffice");
        EXPECT_EQ(cellOf(sheet, "B2")["text"].toString(), samples[std::max<qsizetype>(copy - 2, 0)])
            << sheets[copy].toStdString();
        EXPECT_EQ(sheet["graphics"].toArray().size(), 1) << sheets[copy].toStdString();
    }
}

} // namespace
