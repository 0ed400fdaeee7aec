#include "lists/PictureList.h"

#include "run/PictureCount.h"
#include "run/PictureSort.h"
#include "run/RotationMark.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

#include <vector>

namespace tavorin {

class PictureList::EditScope {
  public:
    explicit EditScope(PictureList& list) : list_(list) { ++list_.editDepth_; }
    ~EditScope() { --list_.editDepth_; }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

  private:
    PictureList& list_;
};

namespace {

QString itemText(const QListWidget* list, int index)
{
    const QListWidgetItem* item = list->item(index);
    return item != nullptr ? item->text() : QString();
}

} // namespace

PictureList::PictureList(const PictureTableWidgets& widgets) : widgets_(widgets) {}

int PictureList::rowCount() const
{
    return widgets_.List2->count();
}

PictureRow PictureList::row(int index) const
{
    return {itemText(widgets_.List2, index), itemText(widgets_.List3, index),
            itemText(widgets_.List4, index)};
}

QStringList PictureList::displayNames() const
{
    QStringList names;
    names.reserve(widgets_.List2->count());
    for (int i = 0; i < widgets_.List2->count(); ++i)
        names.append(widgets_.List2->item(i)->text());
    return names;
}

void PictureList::appendRow(const QString& displayName, const QString& path)
{
    EditScope editing(*this);
    widgets_.List2->addItem(displayName);
    widgets_.List3->addItem(path);
    widgets_.List4->addItem(rotationMark::none);
    ++rowCounter_;
    widgets_.List5->addItem(QString::number(rowCounter_));
}

void PictureList::insertRow(int index, const PictureRow& row)
{
    EditScope editing(*this);
    widgets_.List2->insertItem(index, row.name);
    widgets_.List3->insertItem(index, row.path);
    widgets_.List4->insertItem(index, row.mark);
}

void PictureList::removeRow(int index)
{
    EditScope editing(*this);
    delete widgets_.List2->takeItem(index);
    delete widgets_.List3->takeItem(index);
    delete widgets_.List4->takeItem(index);
}

void PictureList::refreshCount()
{
    if (const auto caption = countDisplayText(rowCount()))
        widgets_.DATACount->setText(*caption);
}

void PictureList::sortByName()
{
    EditScope editing(*this);
    const int rows = rowCount();
    std::vector<PictureRow> sorted;
    sorted.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i)
        sorted.push_back(row(i));
    tavorin::sortByName(sorted);

    QStringList names;
    QStringList paths;
    QStringList marks;
    for (int k = 0; k < rows; ++k) {
        const PictureRow& sortedRow = sorted[static_cast<std::size_t>(k)];
        if (k < workingEntries) {
            dropNames[static_cast<std::size_t>(k)] = sortedRow.name;
            dropPaths[static_cast<std::size_t>(k)] = sortedRow.path;
        }
        names.append(sortedRow.name);
        paths.append(sortedRow.path);
        marks.append(sortedRow.mark);
    }
    widgets_.List2->clear();
    widgets_.List3->clear();
    widgets_.List4->clear();
    widgets_.List3->addItems(paths);
    widgets_.List2->addItems(names);
    widgets_.List4->addItems(marks);
}

void PictureList::clear()
{
    {
        EditScope editing(*this);
        widgets_.List2->clear();
        widgets_.List3->clear();
        widgets_.List4->clear();
        widgets_.List5->clear();
    }
    widgets_.DATACount->setText(QString());
    widgets_.Label7->setVisible(true);
    widgets_.Image1->clear();
    rowCounter_ = 0;
}

} // namespace tavorin
