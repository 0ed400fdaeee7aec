#include "lists/PictureTable.h"

namespace tavorin {

PictureTable::PictureTable(const PictureTableWidgets& widgets, MessageSink& messages, QObject* parent)
    : QObject(parent), widgets_(widgets), messages_(messages)
{
}

} // namespace tavorin
