#include "run/BlockCursor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tavorin;

namespace {

struct Expected {
    float top;
    float bottom;
    int shift;
    bool newSheet;
};

void expectPlaces(BlockLayout layout, const std::vector<Expected>& expected)
{
    BlockCursor cursor(layout);
    for (std::size_t k = 0; k < expected.size(); ++k) {
        BlockPlace place = cursor.next();
        SCOPED_TRACE("picture " + std::to_string(k));
        EXPECT_EQ(place.top, expected[k].top);
        EXPECT_EQ(place.bottom, expected[k].bottom);
        EXPECT_EQ(place.columnShift, expected[k].shift);
        EXPECT_EQ(place.startsNewSheet, expected[k].newSheet);
    }
}

BlockLayout rows3to10(int spacing)
{
    BlockLayout layout;
    layout.startRow = 3;
    layout.endRow = 10;
    layout.startRowIndex = 2;
    layout.endRowIndex = 9;
    layout.rowSpacing = spacing;
    layout.startColumn = 2;
    layout.endColumn = 5;
    return layout;
}

} // namespace

TEST(BlockCursor, SingleColumnBlocksFollowEachOtherWithTheSpacing)
{
    // Rows 3 to 10 with one empty row between blocks.
    expectPlaces(rows3to10(1), {{3, 10, 0, false}, {12, 19, 0, false}, {21, 28, 0, false}});
}

TEST(BlockCursor, TwoColumnFormFillsLeftThenRight)
{
    BlockLayout layout = rows3to10(1);
    layout.singleColumnForm = false;
    layout.twoColumnForm = true;
    layout.pairGap = 1;
    // Columns 2 to 5 and one empty column: the right block starts in column 7 (shift 5).
    expectPlaces(layout, {{3, 10, 0, false}, {3, 10, 5, false}, {12, 19, 0, false}, {12, 19, 5, false},
                          {21, 28, 0, false}});
}

TEST(BlockCursor, ZeroGapPutsTheRightBlockNextToTheLeftOne)
{
    BlockLayout layout = rows3to10(0);
    layout.singleColumnForm = false;
    layout.twoColumnForm = true;
    expectPlaces(layout, {{3, 10, 0, false}, {3, 10, 4, false}, {11, 18, 0, false}});
}

TEST(BlockCursor, EveryNPicturesStartANewSheetAtTheFirstBlock)
{
    BlockLayout layout = rows3to10(1);
    layout.picturesPerSheet = 3;
    expectPlaces(layout, {{3, 10, 0, true},
                          {12, 19, 0, false},
                          {21, 28, 0, false},
                          {3, 10, 0, true},
                          {12, 19, 0, false},
                          {21, 28, 0, false},
                          {3, 10, 0, true}});
}

TEST(BlockCursor, TwoColumnFormWithThreePerSheet)
{
    BlockLayout layout = rows3to10(1);
    layout.singleColumnForm = false;
    layout.twoColumnForm = true;
    layout.pairGap = 1;
    layout.picturesPerSheet = 3;
    // First copy: 0 and 1 side by side, 2 on the left of the next row; 3 starts the second
    // copy on its left and 4 goes to its right.
    expectPlaces(layout, {{3, 10, 0, true}, {3, 10, 5, false}, {12, 19, 0, false}, {3, 10, 0, true},
                          {3, 10, 5, false}, {12, 19, 0, false}, {3, 10, 0, true}});
}

TEST(BlockCursor, OneRowBlocksAreSpacingApart)
{
    BlockLayout layout;
    layout.startRow = layout.endRow = 5;
    layout.startRowIndex = layout.endRowIndex = 4;
    expectPlaces(layout, {{5, 5, 0, false}, {6, 6, 0, false}, {7, 7, 0, false}});
    layout.rowSpacing = 2;
    expectPlaces(layout, {{5, 5, 0, false}, {8, 8, 0, false}});
}

TEST(BlockCursor, NewSheetsRestartAtTheSelectedRowsNotAPastedNumber)
{
    // The start row chooser shows a pasted 4 while its selected item is "3".
    BlockLayout layout = rows3to10(0);
    layout.startRow = 4;
    layout.picturesPerSheet = 2;
    // h = 10 - 4 = 6 and g = 1 throughout; the first sheet starts at the number shown, the next
    // one at the selected item, and blocks go on from there by h + g.
    expectPlaces(layout, {{4, 10, 0, true}, {11, 17, 0, false}, {3, 10, 0, true}, {10, 16, 0, false}});
}
