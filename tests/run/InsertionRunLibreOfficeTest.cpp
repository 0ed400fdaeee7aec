// The whole run on the native engine, read back by LibreOffice: every picture lies inside its
// block, centred on it and as wide or as high as the block (times the magnification), turned the
// right way; the sheet copies carry their numbered names in their places and the caption cells
// show their values as LibreOffice formats them. LibreOffice draws columns somewhat wider than
// Excel, so positions are compared relative to the block measured in LibreOffice's own columns
// and rows; LibreOffice counts angles counter-clockwise (Excel's 90 degrees read as 270).

#include "support/EngineRun.h"
#include "EngineRunScenarios.h"
#include "support/Oracles.h"
#include "support/MetafileSamples.h"
#include "support/PlacementChecks.h"

#include "platform/xls/model/DateNumberFormats.h"

#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <optional>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QJsonObject sheetNamed(const QJsonObject& report, const QString& name)
{
    return test::sheetNamed(report, name, "LibreOffice");
}

// LibreOffice decodes what the workbook holds: a JPEG as it was, other bitmaps as the PNG they
// were turned into, with the pixel size Qt reads from the source file; metafiles as a metafile.
void expectContentKind(const QJsonObject& graphic, const std::filesystem::path& source)
{
    const QString ending = QString::fromStdString(source.extension().string()).toLower();
    const QString mime = graphic["mimeType"].toString();
    if (ending == ".wmf" || ending == ".wmz" || ending == ".emf" || ending == ".emz") {
        // LibreOffice names EMF content "image/x-wmf" too once imported; POI and Gnumeric tell
        // the two kinds apart in their own tests.
        EXPECT_TRUE(mime == QStringLiteral("image/x-wmf") || mime == QStringLiteral("image/x-emf")) << mime.toStdString();
        return;
    }
    EXPECT_EQ(mime, ending == ".jpg" || ending == ".jpeg" ? QStringLiteral("image/jpeg") : QStringLiteral("image/png"));
    const QSize pixels = QImageReader(QString::fromStdString(source.string())).size();
    ASSERT_TRUE(pixels.isValid()) << "Qt cannot read " << source;
    EXPECT_EQ(graphic["pixelWidth"].toInt(), pixels.width());
    EXPECT_EQ(graphic["pixelHeight"].toInt(), pixels.height());
}

void expectPicturesInTheirBlocks(const QJsonObject& report, const Scenario& scenario)
{
    for (const auto& expected : scenario.pictures) {
        SCOPED_TRACE(expected.path.filename().string() + " on " + expected.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(report, expected.sheet);
        const QJsonArray graphics = sheet["graphics"].toArray();
        ASSERT_LT(expected.slot, graphics.size());
        const QJsonObject graphic = graphics[expected.slot].toObject();
        expectContentKind(graphic, expected.path);
        expectShownInBlock(sheet, graphic, expected, scenario.magnification);
    }
}

void expectCaptionsShown(const QJsonObject& report, const Scenario& scenario, const QString& dateText)
{
    for (const auto& caption : scenario.captions) {
        SCOPED_TRACE(caption.sheet.toStdString() + "!" + caption.cell.toStdString());
        const QJsonObject cell = cellOf(sheetNamed(report, caption.sheet), caption.cell);
        ASSERT_FALSE(cell.isEmpty()) << "the caption cell is empty";
        switch (caption.kind) {
        case ExpectedCaption::Kind::Text:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("text"));
            EXPECT_EQ(cell["text"].toString(), caption.text);
            break;
        case ExpectedCaption::Kind::Number:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("value"));
            EXPECT_DOUBLE_EQ(cell["value"].toDouble(), caption.number);
            break;
        case ExpectedCaption::Kind::Date:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("value"));
            EXPECT_EQ(cell["text"].toString(), dateText);
            break;
        }
    }
}

using ScenarioMaker = Scenario (*)(const std::filesystem::path&, const MetafileSamples&);

// Runs a scenario on a copy of a fixture and checks in LibreOffice what every scenario must show:
// the sheets, each picture in its block, the captions (dates as dateText). Returns the report for
// the test's own checks; nothing when the run or LibreOffice failed (the test has failed then).
std::optional<QJsonObject> runAndShowInLibreOffice(const TemporaryFolder& folder, const char* fixture,
                                                   ScenarioMaker makeScenario, const QString& dateText)
{
    const auto book = folder / fixture;
    std::filesystem::copy_file(workbookFixture(fixture), book);
    const Scenario scenario = makeScenario(book, writeMetafileSamples(folder.path()));
    EngineRun engine;
    RunOutcome outcome = engine.run(scenario.options);
    EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    if (!outcome.saved)
        return std::nullopt;
    auto report = libreOfficeReport(book);
    EXPECT_TRUE(report.has_value()) << "LibreOffice cannot read the saved workbook";
    if (!report)
        return std::nullopt;
    EXPECT_EQ(sheetNames(*report), scenario.sheetsAfter);
    expectPicturesInTheirBlocks(*report, scenario);
    expectCaptionsShown(*report, scenario, dateText);
    return report;
}

} // namespace

TEST(InsertionRunLibreOffice, JapaneseLedgerPicturesSitCentredInTheirBlocksOnNumberedCopies)
{
    TemporaryFolder folder;
    auto report = runAndShowInLibreOffice(folder, "jp_ledger.xls", japaneseLedgerScenario,
                                          QStringLiteral("2001年3月14日"));
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(sheetNamed(*report, "台帳")["graphics"].toArray().isEmpty());
    // The name went into the merged caption field F:G, addressed through its right-hand cell.
    EXPECT_TRUE(sheetNamed(*report, "写真(2)")["merged"].toArray().contains(QStringLiteral("F22:G22")));
}

TEST(InsertionRunLibreOffice, ArialLedgerPairsSitCentredWithTheirCaptions)
{
    TemporaryFolder folder;
    auto report = runAndShowInLibreOffice(folder, "ledger.xls", arialLedgerScenario, QStringLiteral("2001/3/14 13:30"));
    ASSERT_TRUE(report.has_value());
    // The template's own cells travel with each copy.
    EXPECT_EQ(cellOf(sheetNamed(*report, "Photo(2)"), "A1")["text"].toString(), QStringLiteral("写真台帳"));
}

// Eight runs on one workbook, one picture and one date format each: each run names its copy
// after the copies the sheet list already holds, and LibreOffice shows each date caption as the
// sample the option panel offers for its format.
TEST(InsertionRunLibreOffice, RunAfterRunEachDateFormatShowsItsSample)
{
    TemporaryFolder folder;
    const auto book = folder / "jp_ledger.xls";
    std::filesystem::copy_file(workbookFixture("jp_ledger.xls"), book);
    const QStringList samples{"2001年3月14日",  "2001/3/14", "2001/3/14 1:30 PM", "2001/3/14 13:30",
                              "平成13年3月14日", "H13.3.14",  "3月14日",           "3/14"};
    QStringList sheets{QStringLiteral("台帳")};
    for (int format = 0; format < 8; ++format) {
        RunOptions options = EngineRun::optionsFor(book, sheets);
        options.startColumn = 2;
        options.endColumn = 4;
        options.startRow = options.endRow = 3;
        options.startRowIndex = options.endRowIndex = 2;
        options.picturesPerSheet = 1;
        options.sheetNameText = QStringLiteral("日付");
        options.dateCaption = {true, 2, 2};
        options.dateFormat = format;
        options.pictures.push_back(EngineRun::pictureRow(pictureFixture("land.jpg"), QStringLiteral("○")));
        EngineRun engine;
        RunOutcome outcome = engine.run(options);
        ASSERT_TRUE(outcome.saved) << "run " << format << ": " << outcome.saveError.toStdString();
        // The window lists the sheets again after each run.
        sheets << QStringLiteral("日付(%1)").arg(format + 1);
    }

    auto report = libreOfficeReport(book);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(sheetNames(*report), sheets);
    for (int format = 0; format < 8; ++format) {
        const QJsonObject sheet = sheetNamed(*report, QStringLiteral("日付(%1)").arg(format + 1));
        const QJsonObject cell = cellOf(sheet, QStringLiteral("B2"));
        EXPECT_EQ(cell["type"].toString(), QStringLiteral("value")) << "format " << format;
        EXPECT_EQ(cell["text"].toString(), samples[format]) << "format " << format;
        EXPECT_EQ(sheet["graphics"].toArray().size(), 1) << "format " << format;
    }
}
