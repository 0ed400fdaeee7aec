#include "run/BlockCursor.h"

namespace tavorin {

BlockCursor::BlockCursor(const BlockLayout& layout)
    : layout_(layout),
      height_(static_cast<float>(layout.endRow) - static_cast<float>(layout.startRow)),
      step_(layout.rowSpacing + 1),
      top_(static_cast<float>(layout.startRow) - height_ - static_cast<float>(step_)),
      bottom_(static_cast<float>(layout.endRow))
{
}

BlockPlace BlockCursor::next()
{
    if (pair_ == 0 || layout_.singleColumnForm) {
        top_ = top_ + height_ + static_cast<float>(step_);
        bottom_ = top_ + height_;
        shift_ = 0;
    }
    if (layout_.twoColumnForm) {
        if (pair_ != 1) {
            shift_ = 0;
            pair_ += 1;
        } else {
            shift_ = (layout_.endColumn - layout_.startColumn) + layout_.pairGap + 1;
            pair_ = 0;
        }
    }
    bool newSheet = false;
    if (layout_.picturesPerSheet > 0) {
        onSheet_ += 1;
        if (onSheet_ > layout_.picturesPerSheet) {
            onSheet_ = 1;
            top_ = static_cast<float>(layout_.startRowIndex + 1);
            bottom_ = static_cast<float>(layout_.endRowIndex + 1);
            pair_ = 1;
            shift_ = 0;
        }
        newSheet = onSheet_ == 1;
    }
    return BlockPlace{top_, bottom_, shift_, newSheet};
}

} // namespace tavorin
