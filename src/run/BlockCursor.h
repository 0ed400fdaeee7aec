#pragma once

namespace tavorin {

// The layout values that decide where each picture block goes.
struct BlockLayout {
    int startColumn = 1;       // c1
    int endColumn = 1;         // c2
    double startRow = 1;       // r1, the number the start row chooser shows
    double endRow = 1;         // r2
    int startRowIndex = 0;     // the start row chooser's selected index (a new sheet restarts there)
    int endRowIndex = 0;
    int rowSpacing = 0;        // empty rows between blocks
    int picturesPerSheet = 0;  // 0: all on the template sheet
    bool singleColumnForm = true;
    bool twoColumnForm = false;
    int pairGap = 0;           // empty columns between the two blocks of a pair
};

// Where one picture goes: its rows, its column shift, and whether a new sheet copy starts with it.
struct BlockPlace {
    float top = 0;             // T
    float bottom = 0;          // B
    int columnShift = 0;       // S, added to the block's and the captions' columns
    bool startsNewSheet = false;
};

// The block cursor of the picture loop: rows advance by the block height plus the spacing,
// pairs fill left then right in the two-column form, and every N pictures a new sheet copy
// starts again at the first block. Rows are carried in single precision, as the layout has
// always computed them, so that fractional rows from pasted texts round the same way.
class BlockCursor {
public:
    explicit BlockCursor(const BlockLayout& layout);

    // The place of the next picture.
    BlockPlace next();

private:
    BlockLayout layout_;
    float height_;   // h = r2 - r1
    int step_;       // g = spacing + 1
    float top_;      // T
    float bottom_;   // B
    int shift_ = 0;  // S
    int pair_ = 0;   // P
    int onSheet_ = 0;  // n
};

} // namespace tavorin
