// Blocks at the sheet's last column (IV) and last rows: a picture larger than its block at its
// natural size is still placed when its block lies on the sheet; only a block that reaches
// beyond the sheet is refused, and it is named in the final message.

#include "support/EngineRun.h"
#include "support/PlacementChecks.h"
#include "support/Oracles.h"

#include "support/Oracles.h"
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
    int pictures;      // square.bmp, 150 x 150 pixels, as often as this
    int placed;        // of them; the rest lie in blocks beyond the last row
};

void PrintTo(const EdgeCase& c, std::ostream* out) { *out << c.name; }

class SheetEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(SheetEdge, APictureIsPlacedWhenItsBlockLiesOnTheSheet)
{
    const EdgeCase& edge = GetParam();
    TemporaryFolder folder;
    const auto book = folder / "ledger.xls";
    std::filesystem::copy_file(workbookFixture("ledger.xls"), book);
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    options.startColumn = edge.startColumn;
    options.endColumn = edge.endColumn;
    options.startRow = edge.startRow;
    options.endRow = edge.endRow;
    options.startRowIndex = edge.startRow - 1;
    options.endRowIndex = edge.endRow - 1;
    options.rowSpacing = edge.rowSpacing;
    const auto square = pictureFixture("square.bmp");
    for (int i = 0; i < edge.pictures; ++i)
        options.pictures.push_back(EngineRun::pictureRow(square, QStringLiteral("○")));
    EngineRun engine;
    RunOutcome outcome = engine.run(options);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, edge.placed);
    EXPECT_EQ(static_cast<int>(outcome.unplaced.size()), edge.pictures - edge.placed);
    for (const auto& unplaced : outcome.unplaced)
        EXPECT_TRUE(outcome.message.contains(QStringLiteral("ブロックがシートの範囲外です"))) << unplaced.index;

    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value());
    const QJsonObject sheet = sheetNamed(*report, "Sheet1", "POI");
    const QJsonArray pictures = sheet["pictures"].toArray();
    ASSERT_EQ(pictures.size(), edge.placed);
    const int height = edge.endRow - edge.startRow + 1;
    for (int i = 0; i < edge.placed; ++i) {
        const int top = edge.startRow + i * (height + edge.rowSpacing);
        ExpectedPicture expected{square, 0, 112.5, 112.5, "Sheet1", i, top, edge.startColumn, top + height - 1,
                                 edge.endColumn};
        expectAnchoredInBlock(*report, sheet, pictures[i].toObject(), expected, 1.0);
    }
}

std::string edgeName(const ::testing::TestParamInfo<EdgeCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , SheetEdge,
    ::testing::Values(EdgeCase{"LastColumnOnly", 256, 256, 300, 300, 0, 1, 1},
                      EdgeCase{"LastColumnsAndRows", 255, 256, 65535, 65536, 0, 1, 1},
                      EdgeCase{"BlocksRunningDownToTheLastRow", 2, 4, 65521, 65526, 2, 3, 2}),
    edgeName);

} // namespace
