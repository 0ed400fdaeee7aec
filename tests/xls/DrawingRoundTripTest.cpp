#include "DrawingFixture.h"

#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/drawing/SheetDrawing.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::DrawingFixture;
using tavorin::test::workbookFixture;

namespace {

std::vector<std::uint8_t> written(const DrawingGroup& group)
{
    MemoryOutputSink sink;
    EXPECT_TRUE(group.write(sink).ok());
    return sink.take();
}

std::vector<std::uint8_t> written(const SheetDrawing& drawing)
{
    MemoryOutputSink sink;
    EXPECT_TRUE(drawing.write(sink).ok());
    return sink.take();
}

class DrawingRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(DrawingRoundTrip, ReadAndWrittenAgainGivesIdenticalBytes)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture(GetParam()));
    ASSERT_FALSE(fixture.stream.empty());
    if (fixture.hasGroup) {
        auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
        ASSERT_TRUE(group.ok()) << group.error().describe();
        EXPECT_EQ(written(*group), fixture.groupStreamBytes);
        EXPECT_EQ(group->streamSize(), fixture.groupStreamBytes.size());
    }
    for (const auto& run : fixture.sheetDrawings) {
        auto drawing = SheetDrawing::read(run.records);
        ASSERT_TRUE(drawing.ok()) << drawing.error().describe();
        EXPECT_EQ(written(*drawing), run.streamBytes);
        EXPECT_EQ(drawing->streamSize(), run.streamBytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DrawingRoundTrip,
                         ::testing::Values("SimpleWithImages.xls", "SheetWithDrawing.xls", "DrawingContinue.xls",
                                           "picture_in_cell.xls", "unicodeNameRecord.xls", "27364.xls", "50298.xls",
                                           "namesdemo.xls", "ledger.xls"),
                         [](const auto& parameter) {
                             std::string name = parameter.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(DrawingFixtures, TheFixturesHoldTheDrawingsTheTestsRelyOn)
{
    EXPECT_EQ(DrawingFixture::load(workbookFixture("SimpleWithImages.xls")).groupPieces.size(), 5u); // continued
    EXPECT_GT(DrawingFixture::load(workbookFixture("DrawingContinue.xls")).sheetDrawings.at(0).records.size(), 5u);
    EXPECT_EQ(DrawingFixture::load(workbookFixture("picture_in_cell.xls")).sheetDrawings.size(), 1u);
}

TEST(DrawingGroupRead, GivesClustersAndBlipsAsStored)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("SimpleWithImages.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    // Four pictures saved by Excel: JPEG, PNG, WMF, EMF, each used once; one drawing, one cluster.
    ASSERT_EQ(group->blips().size(), 4u);
    EXPECT_EQ(group->blips()[0].blipType, 5);
    EXPECT_EQ(group->blips()[1].blipType, 6);
    EXPECT_EQ(group->blips()[2].blipType, 3);
    EXPECT_EQ(group->blips()[3].blipType, 2);
    for (const auto& blip : group->blips())
        EXPECT_EQ(blip.references, 1u);
    ASSERT_EQ(group->clusters().size(), 1u);
    EXPECT_EQ(group->clusters()[0].drawingId, 1u);
    EXPECT_EQ(group->savedDrawings(), 1u);
}

TEST(SheetDrawingRead, GivesShapeIdsNamesAndBlips)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("SheetWithDrawing.xls"));
    auto drawing = SheetDrawing::read(fixture.sheetDrawings.at(0).records);
    ASSERT_TRUE(drawing.ok());
    EXPECT_EQ(drawing->drawingId(), 1u);
    ASSERT_EQ(drawing->shapes().size(), 2u); // patriarch and one picture
    EXPECT_EQ(drawing->shapes()[0].shapeId, 0x400u);
    EXPECT_EQ(drawing->shapes()[1].shapeId, 0x402u);
    EXPECT_EQ(drawing->shapes()[1].pib, 2u);
}

TEST(DrawingRead, DamagedDrawingsAreRefusedWithAReason)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("SimpleWithImages.xls"));
    auto data = fixture.groupData;
    data[4] = 0xFF; // container length beyond the data
    data[5] = 0xFF;
    data[6] = 0xFF;
    auto group = DrawingGroup::read(data, fixture.groupPieces);
    ASSERT_FALSE(group.ok());
    EXPECT_NE(group.error().message.find("drawing group"), std::string::npos);

    auto records = fixture.sheetDrawings.at(0).records;
    records[0].data.resize(40); // cut inside the shape tree
    EXPECT_FALSE(SheetDrawing::read(records).ok());
    EXPECT_FALSE(SheetDrawing::read({}).ok());
    std::vector<DrawingRecord> objFirst{{0x005D, {0x15, 0, 0x12, 0}}};
    EXPECT_FALSE(SheetDrawing::read(objFirst).ok());
}

} // namespace
