#include "panel/RotationMarks.h"

#include "panel/ListPointer.h"
#include "run/RotationMark.h"

#include <QListWidget>

namespace tavorin {

RotationMarks::RotationMarks(const PictureTableWidgets& widgets, std::int32_t& pointedIndex)
    : widgets_(widgets), pointedIndex_(pointedIndex)
{
}

void RotationMarks::trackPointer(std::int16_t button, const QPoint& viewportPosition)
{
    pointedIndex_ = rowAt(widgets_.List4, viewportPosition);
    if (button == 1 && widgets_.List2->count() > 0 && pointedIndex_ != -1)
        widgets_.List2->setCurrentRow(pointedIndex_);
}

void RotationMarks::List4_DblClick()
{
    QListWidgetItem* item = pointedIndex_ >= 0 ? widgets_.List4->item(pointedIndex_) : nullptr;
    if (item == nullptr)
        return;
    const QString next = nextRotationMark(item->text());
    if (next != item->text())
        item->setText(next);
}

} // namespace tavorin
