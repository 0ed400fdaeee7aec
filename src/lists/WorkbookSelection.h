#pragma once

#include "lists/WorkbookWidgets.h"

#include <QObject>

namespace tavorin {

class MessageSink;
class RunningApplicationProbe;

// The workbook side of the window: the workbook drop on its six targets and the sheet listing.
// Form1 creates the controls and hands them over here.
class WorkbookSelection : public QObject {
    Q_OBJECT
public:
    WorkbookSelection(const WorkbookWidgets& widgets, MessageSink& messages,
                      const RunningApplicationProbe& runningApplications, QObject* parent = nullptr);

    // Lists the sheets of the workbook whose path TextA holds (also called after a run).
    void listSheets();

private:
    WorkbookWidgets widgets_;
    MessageSink& messages_;
    const RunningApplicationProbe& runningApplications_;
};

} // namespace tavorin
