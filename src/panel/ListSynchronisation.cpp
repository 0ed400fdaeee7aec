#include "panel/ListSynchronisation.h"

#include "lists/PictureList.h"
#include "panel/PicturePreview.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>

namespace tavorin {

namespace {

// The lists scroll by whole rows, so the scroll value is the top row.
int topRow(const QListWidget* list)
{
    return list->verticalScrollBar()->value();
}

void setTopRow(QListWidget* list, int row)
{
    list->verticalScrollBar()->setValue(row);
}

} // namespace

ListSynchronisation::ListSynchronisation(const PictureTableWidgets& widgets, const PictureList& list,
                                         PicturePreview& preview, QObject* parent)
    : QObject(parent), widgets_(widgets), list_(list), preview_(preview)
{
    connect(widgets_.List2, &QListWidget::currentRowChanged, this, &ListSynchronisation::List2_Click);
    connect(widgets_.List4, &QListWidget::currentRowChanged, this, &ListSynchronisation::List4_Click);
    connect(widgets_.List2->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ListSynchronisation::List2_Scroll);
    connect(widgets_.List4->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ListSynchronisation::List4_Scroll);
}

void ListSynchronisation::List2_Click()
{
    if (list_.isEditing())
        return;
    widgets_.Image1->hide();
    preview_.showPreview();
}

void ListSynchronisation::List4_Click()
{
    if (list_.isEditing())
        return;
    const int row = widgets_.List4->currentRow();
    widgets_.List2->setCurrentRow(row);
    widgets_.List3->setCurrentRow(row);
    widgets_.List5->setCurrentRow(row);
    widgets_.Label7->hide();
    preview_.showPreview();
}

void ListSynchronisation::List5_MouseDown()
{
    followList(widgets_.List5);
    widgets_.Label7->hide();
    preview_.showPreview();
}

void ListSynchronisation::List5_MouseMove(std::int16_t button)
{
    // The change of List2 brings its own preview.
    if (button == 1)
        followList(widgets_.List5);
}

void ListSynchronisation::followList(const QListWidget* leader)
{
    const int row = leader->currentRow();
    widgets_.List2->setCurrentRow(row);
    widgets_.List3->setCurrentRow(row);
    widgets_.List4->setCurrentRow(row);
}

// A top row copied here is no scroll of the list it is copied to: scrolling the names moves the
// marks but not the numbers.
void ListSynchronisation::List2_Scroll()
{
    if (copyingTopRow_)
        return;
    copyingTopRow_ = true;
    setTopRow(widgets_.List4, topRow(widgets_.List2));
    copyingTopRow_ = false;
}

void ListSynchronisation::List4_Scroll()
{
    if (copyingTopRow_)
        return;
    copyingTopRow_ = true;
    setTopRow(widgets_.List2, topRow(widgets_.List4));
    setTopRow(widgets_.List5, topRow(widgets_.List4));
    copyingTopRow_ = false;
}

} // namespace tavorin
