// Placing a shape that a sheet's drawing already held: its anchor and rotation are rewritten in
// its own records, a rotation property added when it had none, and every other shape, its OBJ and
// the record cut around it stay as they were.

#include "DrawingFixture.h"

#include "platform/xls/drawing/OfficeArtRecord.h"
#include "platform/xls/drawing/PictureShape.h"
#include "platform/xls/drawing/SheetDrawing.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

struct Seen {
    std::uint32_t shapeId;
    std::u16string name;
    std::optional<std::uint16_t> objectId;
    std::optional<ClientAnchor> anchor;
    double rotation;
};

std::vector<Seen> shapesOf(const SheetDrawing& drawing)
{
    std::vector<Seen> seen;
    for (std::size_t i = 0; i < drawing.shapes().size(); ++i) {
        const auto& shape = drawing.shapes()[i];
        seen.push_back(
            {shape.shapeId, shape.name, shape.objectId, drawing.anchorOf(i), drawing.rotationOf(i)});
    }
    return seen;
}

std::vector<DrawingRecord> nonDrawingRecords(const std::vector<DrawingRecord>& records)
{
    std::vector<DrawingRecord> others;
    for (const auto& record : records)
        if (record.type != 0x00EC && record.type != 0x003C)
            others.push_back(record);
    return others;
}

// Every shape of every fixture drawing with an anchor of its own: turned by 30° and moved, then
// written and read again, only that shape changed.
TEST(ReadShapePlacement, OnlyThePlacedShapeChangesAndItsRecordsReadBack)
{
    int placed = 0;
    for (const char* fixture :
         {"DrawingContinue.xls", "SimpleWithImages.xls", "picture_in_cell.xls", "27364.xls"}) {
        DrawingFixture file = DrawingFixture::load(workbookFixture(fixture));
        for (const auto& run : file.sheetDrawings) {
            auto original = SheetDrawing::read(run.records);
            ASSERT_TRUE(original.ok()) << fixture << ": " << original.error().describe();
            const auto before = shapesOf(*original);
            for (std::size_t i = 0; i < before.size(); ++i) {
                if (!before[i].anchor)
                    continue;
                ++placed;
                SheetDrawing drawing = *original;
                ClientAnchor moved = *before[i].anchor;
                moved.firstRow = static_cast<std::uint16_t>(moved.firstRow + 3);
                moved.lastRow = static_cast<std::uint16_t>(moved.lastRow + 3);
                ASSERT_TRUE(drawing.place(i, moved, {1, 2, 3, 4, 30}).ok()) << fixture;

                auto reread = SheetDrawing::read(drawing.records());
                ASSERT_TRUE(reread.ok()) << fixture << ": " << reread.error().describe();
                const auto after = shapesOf(*reread);
                ASSERT_EQ(after.size(), before.size()) << fixture;
                for (std::size_t j = 0; j < after.size(); ++j) {
                    EXPECT_EQ(after[j].shapeId, before[j].shapeId) << fixture << " shape " << j;
                    EXPECT_EQ(after[j].name, before[j].name) << fixture << " shape " << j;
                    EXPECT_EQ(after[j].objectId, before[j].objectId) << fixture << " shape " << j;
                    EXPECT_EQ(after[j].anchor, j == i ? std::optional(moved) : before[j].anchor)
                        << fixture << " shape " << j;
                    EXPECT_DOUBLE_EQ(after[j].rotation, j == i ? 30.0 : before[j].rotation)
                        << fixture << " shape " << j;
                }
                // The records between the drawing pieces (OBJ, TXO, ...) are the same, in the same order.
                EXPECT_EQ(nonDrawingRecords(drawing.records()), nonDrawingRecords(run.records)) << fixture;
                // No record grows past what a BIFF record may hold.
                for (const auto& record : drawing.records())
                    EXPECT_LE(record.data.size(), 8224u) << fixture;
            }
        }
    }
    EXPECT_GE(placed, 5); // four pictures of SimpleWithImages, one of picture_in_cell, and more
}

TEST(ReadShapePlacement, RotationBackToZeroKeepsTheAddedPropertyAtZero)
{
    DrawingFixture file = DrawingFixture::load(workbookFixture("SheetWithDrawing.xls"));
    auto drawing = SheetDrawing::read(file.sheetDrawings.at(0).records);
    ASSERT_TRUE(drawing.ok());
    ASSERT_FALSE(drawing->shapes().empty());
    std::size_t picture = drawing->shapes().size() - 1;
    ClientAnchor anchor = *drawing->anchorOf(picture);
    ASSERT_TRUE(drawing->place(picture, anchor, {0, 0, 1, 1, -90}).ok());
    EXPECT_DOUBLE_EQ(drawing->rotationOf(picture), 270.0); // kept within one turn
    ASSERT_TRUE(drawing->place(picture, anchor, {0, 0, 1, 1, 0}).ok());
    EXPECT_DOUBLE_EQ(drawing->rotationOf(picture), 0.0);
    auto reread = SheetDrawing::read(drawing->records());
    ASSERT_TRUE(reread.ok());
    EXPECT_DOUBLE_EQ(reread->rotationOf(picture), 0.0);
}

TEST(ReadShapePlacement, NamesFindOnlyShapesPlacedOnTheSheet)
{
    DrawingFixture file = DrawingFixture::load(workbookFixture("SimpleWithImages.xls"));
    auto drawing = SheetDrawing::read(file.sheetDrawings.at(0).records);
    ASSERT_TRUE(drawing.ok());
    // OBJ ids 1, 2, 5 and 6, no names stored.
    for (std::u16string name : {u"Picture 1", u"図 2", u"Picture 5", u"図 6"}) {
        auto found = drawing->findReadShape(name);
        ASSERT_TRUE(found.has_value());
        EXPECT_TRUE(drawing->anchorOf(*found).has_value());
        EXPECT_TRUE(drawing->hasShapeNamed(name));
    }
    for (std::u16string name : {u"Picture 3", u"図 4", u"Picture", u"図 1 ", u"Picture 0"})
        EXPECT_FALSE(drawing->findReadShape(name).has_value());
    // The patriarch has no anchor: place refuses it and changes nothing.
    const auto before = drawing->records();
    EXPECT_FALSE(drawing->place(0, ClientAnchor{}, {}).ok());
    EXPECT_EQ(drawing->records(), before);
}

} // namespace
