// Blocks at the sheet's last column (IV) and last rows: a picture larger than its block at its
// natural size is still placed when its block lies on the sheet; only a block that reaches beyond
// the sheet is refused, and its picture is named in the final message.

#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/PlacementChecks.h"
#include "support/RunBlock.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

struct EdgeCase {
    const char* name;
    int startColumn, endColumn;
    int startRow, endRow, rowSpacing;
    int pictures; // square.bmp, 150 x 150 pixels, as often as this
    int placed;   // of them; the rest lie in blocks beyond the last row
};

class SheetEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(SheetEdge, APictureIsPlacedWhenItsBlockLiesOnTheSheet)
{
    const EdgeCase& edge = GetParam();
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    setBlock(options, edge.startColumn, edge.endColumn, edge.startRow, edge.endRow, edge.rowSpacing);
    const auto square = pictureFixture("square.bmp");
    options.pictures.assign(static_cast<std::size_t>(edge.pictures), EngineRun::pictureRow(square, "○"));
    EngineRun engine;
    const RunOutcome outcome = engine.run(options);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, edge.placed);
    EXPECT_EQ(static_cast<int>(outcome.unplaced.size()), edge.pictures - edge.placed);
    if (edge.placed < edge.pictures) {
        EXPECT_TRUE(outcome.message.contains("配置できなかった画像：\r\nsquare.bmp … ブロックがシートの範囲外です"))
            << outcome.message.toStdString();
    }

    expectSavedWhole(book);
    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value());
    const QJsonObject sheet = sheetNamed(*report, "Sheet1", "POI");
    const QJsonArray pictures = sheet["pictures"].toArray();
    ASSERT_EQ(pictures.size(), edge.placed);
    const int height = edge.endRow - edge.startRow + 1;
    for (int i = 0; i < edge.placed; ++i) {
        const int top = edge.startRow + i * (height + edge.rowSpacing);
        expectAnchoredInBlock(*report, sheet, pictures[i].toObject(),
                              {square, 0, 112.5, 112.5, "Sheet1", i, top, edge.startColumn, top + height - 1,
                               edge.endColumn}, 1);
    }
}

std::string edgeName(const ::testing::TestParamInfo<EdgeCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(, SheetEdge,
                         ::testing::Values(EdgeCase{"LastColumnOnly", 256, 256, 300, 300, 0, 1, 1},
                                           EdgeCase{"LastColumnsAndRows", 255, 256, 65535, 65536, 0, 1, 1},
                                           EdgeCase{"BlocksRunningDownToTheLastRow", 2, 4, 65521, 65526, 2, 3, 2}),
                         edgeName);

} // namespace
