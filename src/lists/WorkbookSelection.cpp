#include "lists/WorkbookSelection.h"

namespace tavorin {

WorkbookSelection::WorkbookSelection(const WorkbookWidgets& widgets, MessageSink& messages,
                                     const RunningApplicationProbe& runningApplications, QObject* parent)
    : QObject(parent), widgets_(widgets), messages_(messages), runningApplications_(runningApplications)
{
}

void WorkbookSelection::listSheets() {}

} // namespace tavorin
