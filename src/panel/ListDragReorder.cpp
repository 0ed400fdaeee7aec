#include "panel/ListDragReorder.h"

#include "lists/PictureList.h"
#include "panel/ListPointer.h"
#include "panel/PicturePreview.h"

#include <QCursor>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>

#include <cmath>

namespace tavorin {

namespace {

// Nearest whole number, halves to even.
std::int32_t wholeNumber(float value)
{
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace

ListDragReorder::ListDragReorder(const PictureTableWidgets& widgets, PictureList& list,
                                 PicturePreview& preview, std::int32_t& pointedIndex)
    : widgets_(widgets), list_(list), preview_(preview), pointedIndex_(pointedIndex)
{
}

void ListDragReorder::List2_MouseDown(std::int16_t button, float x, float y, const QPoint& viewportPosition)
{
    if (button != 1 || list_.rowCount() == 0 || dragState_ != Idle)
        return;
    pointedIndex_ = rowAt(widgets_.List2, viewportPosition);
    if (pointedIndex_ == -1)
        return;
    widgets_.List4->setCurrentRow(pointedIndex_);
    pressX_ = wholeNumber(x);
    pressY_ = wholeNumber(y);
    dragState_ = Pressed;
    const PictureRow held = list_.row(pointedIndex_);
    heldName_ = held.name;
    heldPath_ = held.path;
    heldMark_ = held.mark;
}

void ListDragReorder::List2_MouseMove(std::int16_t button, float x, float y, const QPoint& viewportPosition)
{
    if (button != 1)
        return;
    if (dragState_ == Dragging) {
        dropIndex_ = rowAt(widgets_.List2, viewportPosition);
        if (dropIndex_ != -1)
            widgets_.List2->setCurrentRow(dropIndex_);
    }
    const bool moved = static_cast<double>(x) != static_cast<double>(pressX_) ||
                       static_cast<double>(y) != static_cast<double>(pressY_);
    if (moved && dragState_ == Pressed) {
        showDragCursor();
        dragState_ = (pointedIndex_ > list_.rowCount() - 1 || pointedIndex_ < 0) ? Idle : Dragging;
    }
}

void ListDragReorder::List2_MouseUp(const QPoint& viewportPosition)
{
    resetCursor();
    dropIndex_ = rowAt(widgets_.List2, viewportPosition);
    if (!(dropIndex_ > list_.rowCount() || dropIndex_ == pointedIndex_ || dropIndex_ == -1 ||
          dragState_ != Dragging))
        moveHeldRow();
    dragState_ = Idle;
}

void ListDragReorder::moveHeldRow()
{
    const std::int32_t landingRow = dropIndex_;
    // Moving down: the copy goes in below the release row, so that the rows in between move up
    // by one and the picture lands on the release row once the old row is gone.
    if (dropIndex_ >= pointedIndex_)
        ++dropIndex_;
    list_.insertRow(dropIndex_, {heldName_, heldPath_, heldMark_});
    if (dropIndex_ - 1 < pointedIndex_)
        ++pointedIndex_;
    list_.removeRow(pointedIndex_);

    widgets_.Image1->hide();
    dragState_ = Idle;
    preview_.showPreview();
    widgets_.List2->setCurrentRow(landingRow);
    widgets_.List4->setCurrentRow(landingRow);
}

void ListDragReorder::showDragCursor()
{
    const QPixmap picture(dragCursorFile_);
    if (picture.isNull())
        widgets_.List2->viewport()->unsetCursor();
    else
        widgets_.List2->viewport()->setCursor(QCursor(picture));
}

void ListDragReorder::resetCursor()
{
    widgets_.List2->viewport()->unsetCursor();
}

} // namespace tavorin
