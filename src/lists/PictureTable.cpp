#include "lists/PictureTable.h"

#include "lists/PictureDrop.h"
#include "lists/PictureList.h"
#include "panel/ListDragReorder.h"
#include "panel/ListPointer.h"
#include "panel/ListSynchronisation.h"
#include "panel/PicturePreview.h"
#include "panel/RotationMarks.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace tavorin {

PictureTable::PictureTable(const PictureTableWidgets& widgets, MessageSink& messages, QObject* parent)
    : QObject(parent), widgets_(widgets), list_(std::make_unique<PictureList>(widgets))
{
    preview_ = new PicturePreview(widgets_, this);
    drop_ = std::make_unique<PictureDrop>(widgets_, *list_, messages);
    synchronisation_ = new ListSynchronisation(widgets_, *list_, *preview_, this);
    dragReorder_ = std::make_unique<ListDragReorder>(widgets_, *list_, *preview_, pointedIndex_);
    rotationMarks_ = std::make_unique<RotationMarks>(widgets_, pointedIndex_);

    configureLists();
    list2Viewport_ = widgets_.List2->viewport();
    list4Viewport_ = widgets_.List4->viewport();
    list5Viewport_ = widgets_.List5->viewport();
    widgets_.List2->installEventFilter(this);
    list2Viewport_->installEventFilter(this);
    list4Viewport_->installEventFilter(this);
    list5Viewport_->installEventFilter(this);
    connect(widgets_.LISTClear, &QPushButton::clicked, this, &PictureTable::LISTClear_Click);
    // The preview shows the picture as the run will place it: turned upright or as stored.
    if (widgets_.Check10 != nullptr)
        connect(widgets_.Check10, &QCheckBox::toggled, this, [this] {
            if (widgets_.List2->currentRow() >= 0)
                preview_->showPreview();
        });
}

PictureTable::~PictureTable() = default;

std::int16_t PictureTable::dragState() const
{
    return dragReorder_->dragState();
}

void PictureTable::setDragCursorFile(const QString& file)
{
    dragReorder_->setDragCursorFile(file);
}

void PictureTable::List2_OLEDragDrop(const QMimeData* data)
{
    drop_->List2_OLEDragDrop(data);
}

void PictureTable::configureLists()
{
    for (QListWidget* list : {widgets_.List2, widgets_.List3, widgets_.List4, widgets_.List5}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Whole-row scrolling makes the scroll value the top row; equal rows keep the columns level.
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        list->setUniformItemSizes(true);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    // No item drag: the reorder is done by hand. Files from outside may still be dropped.
    widgets_.List2->setDragEnabled(false);
    widgets_.List2->setDragDropMode(QAbstractItemView::NoDragDrop);
    widgets_.List2->setAcceptDrops(true);
    widgets_.List2->viewport()->setAcceptDrops(true);
    // The rotation column follows the pointer also with no button held.
    widgets_.List4->setMouseTracking(true);
    widgets_.List4->viewport()->setMouseTracking(true);
}

bool PictureTable::eventFilter(QObject* watched, QEvent* event)
{
    // Compared by address only: a list being destroyed still sends events from its viewport.
    if (watched == widgets_.List2 || watched == list2Viewport_) {
        if (filterList2Drop(event))
            return true;
    }
    if (watched == list2Viewport_)
        return filterList2Mouse(event);
    if (watched == list4Viewport_)
        return filterList4Mouse(event);
    if (watched == list5Viewport_)
        return filterList5Mouse(event);
    return QObject::eventFilter(watched, event);
}

bool PictureTable::filterList2Drop(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (PictureDrop::acceptsDrag(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        drop->acceptProposedAction();
        List2_OLEDragDrop(drop->mimeData());
        return true;
    }
    default:
        return false;
    }
}

bool PictureTable::filterList2Mouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint position = mouse->position().toPoint();
        // The list's own press makes the row under the pointer current (and previews it); do
        // that first, as the handler copies the current row.
        const int row = rowAt(widgets_.List2, position);
        if (row != -1)
            widgets_.List2->setCurrentRow(row);
        dragReorder_->List2_MouseDown(buttonBits(mouse->button()), twipsCoordinate(mouse->position().x()),
                                      twipsCoordinate(mouse->position().y()), position);
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() == Qt::NoButton)
            return false;
        // The list's own tracking of a held button would move the selection under the pointer
        // before the drag has started; the drag handler alone decides the highlighted row.
        dragReorder_->List2_MouseMove(buttonBits(mouse->buttons()), twipsCoordinate(mouse->position().x()),
                                      twipsCoordinate(mouse->position().y()), mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        dragReorder_->List2_MouseUp(mouse->position().toPoint());
        return true;
    }
    default:
        return false;
    }
}

bool PictureTable::filterList4Mouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        rotationMarks_->trackPointer(buttonBits(mouse->button()), mouse->position().toPoint());
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        rotationMarks_->trackPointer(buttonBits(mouse->buttons()), mouse->position().toPoint());
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        rotationMarks_->trackPointer(buttonBits(mouse->button()), mouse->position().toPoint());
        rotationMarks_->List4_DblClick();
        return false;
    }
    default:
        return false;
    }
}

bool PictureTable::filterList5Mouse(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // As on List2: the list's own press moves its current row first.
        const int row = rowAt(widgets_.List5, mouse->position().toPoint());
        if (row != -1)
            widgets_.List5->setCurrentRow(row);
        synchronisation_->List5_MouseDown();
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const std::int16_t button = buttonBits(mouse->buttons());
        if (mouse->buttons().testFlag(Qt::LeftButton)) {
            const int row = rowAt(widgets_.List5, mouse->position().toPoint());
            if (row != -1)
                widgets_.List5->setCurrentRow(row);
        }
        synchronisation_->List5_MouseMove(button);
        return false;
    }
    default:
        return false;
    }
}

void PictureTable::LISTClear_Click()
{
    list_->clear();
}

} // namespace tavorin
