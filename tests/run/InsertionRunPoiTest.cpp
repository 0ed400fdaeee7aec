// The whole run on the native engine, read back by Apache POI: every picture's anchor, turned
// into points with Excel's own column and row rules, must be the frame the placement rule gives
// for its block (fitted, centred, turned by its mark), and the captions must hold their values
// and formats on the right sheet copies.

#include "support/EngineRun.h"
#include "EngineRunScenarios.h"
#include "support/Oracles.h"
#include "support/MetafileSamples.h"
#include "support/PlacementChecks.h"

#include "support/Oracles.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QJsonObject sheetNamed(const QJsonObject& report, const QString& name)
{
    return test::sheetNamed(report, name, "POI");
}

// Every picture lies where the rule puts it, turned by its mark.
void expectPicturesPlaced(const QJsonObject& report, const Scenario& scenario)
{
    for (const auto& expected : scenario.pictures) {
        SCOPED_TRACE(expected.path.filename().string() + " on " + expected.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(report, expected.sheet);
        const QJsonArray pictures = sheet["pictures"].toArray();
        ASSERT_LT(expected.slot, pictures.size());
        expectAnchoredInBlock(report, sheet, pictures[expected.slot].toObject(), expected, scenario.magnification);
    }
}

void expectCaptions(const QJsonObject& report, const Scenario& scenario)
{
    for (const auto& caption : scenario.captions) {
        SCOPED_TRACE(caption.sheet.toStdString() + "!" + caption.cell.toStdString());
        const QJsonObject cell = cellOf(sheetNamed(report, caption.sheet), caption.cell);
        ASSERT_FALSE(cell.isEmpty()) << "the caption cell is empty";
        switch (caption.kind) {
        case ExpectedCaption::Kind::Text:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("text"));
            EXPECT_EQ(cell["value"].toString(), caption.text);
            break;
        case ExpectedCaption::Kind::Number:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("number"));
            EXPECT_DOUBLE_EQ(cell["value"].toDouble(), caption.number);
            break;
        case ExpectedCaption::Kind::Date:
            EXPECT_EQ(cell["type"].toString(), QStringLiteral("number"));
            EXPECT_NEAR(cell["value"].toDouble(), caption.number, 1e-6);
            EXPECT_EQ(cell["format"].toString(), caption.format);
            break;
        }
    }
}

int pictureCount(const QJsonObject& sheet) { return static_cast<int>(sheet["pictures"].toArray().size()); }

int coldxOf(const QJsonObject& sheet, int column0)
{
    int coldx = -1;
    for (const auto& value : sheet["columns"].toArray()) {
        const QJsonObject c = value.toObject();
        if (c["first"].toInt() <= column0 && column0 <= c["last"].toInt())
            coldx = c["coldx"].toInt();
    }
    return coldx;
}

// xlrd, a third reader, opens the workbook and lists the same sheets in the same order.
void expectXlrdListsSheets(const std::filesystem::path& workbook, const QStringList& sheets)
{
    const ProcessResult result = runOracle(QStringLiteral("xlrd_sheets.py"), {QString::fromStdString(workbook.string())});
    ASSERT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    EXPECT_EQ(result.standardOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts), sheets);
}

struct Finished {
    RunOutcome outcome;
    std::optional<QJsonObject> report;
};

Finished runAndRead(EngineRun& engine, const Scenario& scenario)
{
    Finished finished;
    finished.outcome = engine.run(scenario.options);
    finished.report = poiReport(scenario.options.workbookPath);
    return finished;
}

} // namespace

TEST(InsertionRunPoi, JapaneseLedgerEveryPictureKindFittedCentredAndTurnedOnItsCopy)
{
    TemporaryFolder folder;
    const auto book = folder / "jp_ledger.xls";
    std::filesystem::copy_file(workbookFixture("jp_ledger.xls"), book);
    const Scenario scenario = japaneseLedgerScenario(book, writeMetafileSamples(folder.path()));
    EngineRun engine;
    Finished finished = runAndRead(engine, scenario);
    EXPECT_TRUE(finished.outcome.saved) << finished.outcome.saveError.toStdString();
    EXPECT_EQ(finished.outcome.placed, 9);
    EXPECT_TRUE(finished.outcome.unplaced.empty());
    ASSERT_FALSE(engine.messages.empty());
    EXPECT_EQ(engine.messages.back().text, QStringLiteral("  処理終了！"));
    ASSERT_TRUE(finished.report.has_value()) << "POI cannot read the saved workbook";
    const QJsonObject& report = *finished.report;

    EXPECT_EQ(sheetNames(report), scenario.sheetsAfter);
    EXPECT_EQ(pictureCount(sheetNamed(report, "台帳")), 0) << "the template itself receives nothing";
    EXPECT_EQ(pictureCount(sheetNamed(report, "写真(1)")), 4);
    EXPECT_EQ(pictureCount(sheetNamed(report, "写真(2)")), 4);
    EXPECT_EQ(pictureCount(sheetNamed(report, "写真(3)")), 1);
    expectPicturesPlaced(report, scenario);
    expectCaptions(report, scenario);
    // Copies keep the template's contents and its merged caption cells.
    for (const QString copy : {"写真(1)", "写真(3)"}) {
        const QJsonObject sheet = sheetNamed(report, copy);
        EXPECT_EQ(cellOf(sheet, "A1")["value"].toString(), QStringLiteral("工事写真台帳")) << copy.toStdString();
        EXPECT_TRUE(sheet["merged"].toArray().contains(QStringLiteral("F12:G12"))) << copy.toStdString();
    }
    // The picture kinds as stored.
    const QJsonArray first = sheetNamed(report, "写真(1)")["pictures"].toArray();
    const QJsonArray second = sheetNamed(report, "写真(2)")["pictures"].toArray();
    EXPECT_EQ(first[0].toObject()["type"].toString(), QStringLiteral("jpeg"));
    EXPECT_EQ(first[1].toObject()["type"].toString(), QStringLiteral("png"));
    EXPECT_EQ(second[1].toObject()["type"].toString(), QStringLiteral("wmf"));
    EXPECT_EQ(second[2].toObject()["type"].toString(), QStringLiteral("emf"));
    EXPECT_EQ(second[3].toObject()["type"].toString(), QStringLiteral("wmf")) << "a .wmz is stored unpacked";
    expectXlrdListsSheets(book, scenario.sheetsAfter);
}

TEST(InsertionRunPoi, ArialLedgerPairsAtEightyPercentWithCaptionsShiftedWithTheBlock)
{
    TemporaryFolder folder;
    const auto book = folder / "ledger.xls";
    std::filesystem::copy_file(workbookFixture("ledger.xls"), book);
    const Scenario scenario = arialLedgerScenario(book, writeMetafileSamples(folder.path()));
    EngineRun engine;
    Finished finished = runAndRead(engine, scenario);
    EXPECT_TRUE(finished.outcome.saved) << finished.outcome.saveError.toStdString();
    EXPECT_EQ(finished.outcome.placed, 6);
    ASSERT_TRUE(finished.report.has_value()) << "POI cannot read the saved workbook";
    const QJsonObject& report = *finished.report;

    EXPECT_EQ(sheetNames(report), scenario.sheetsAfter);
    EXPECT_EQ(pictureCount(sheetNamed(report, "Sheet1")), 0);
    EXPECT_EQ(pictureCount(sheetNamed(report, "My Sheet")), 0);
    EXPECT_EQ(pictureCount(sheetNamed(report, "Photo(1)")), 3);
    EXPECT_EQ(pictureCount(sheetNamed(report, "Photo(2)")), 3);
    expectPicturesPlaced(report, scenario);
    expectCaptions(report, scenario);
    // Entering a date in the narrow column B leaves its record as the template wrote it.
    const int templateWidth = coldxOf(sheetNamed(report, "Sheet1"), 1);
    EXPECT_EQ(templateWidth, 1177);
    for (const QString copy : {"Photo(1)", "Photo(2)"})
        EXPECT_EQ(coldxOf(sheetNamed(report, copy), 1), templateWidth) << copy.toStdString();
    expectXlrdListsSheets(book, scenario.sheetsAfter);
}
