#pragma once

#include "lists/WorkbookWidgets.h"

#include <QObject>
#include <QSet>
#include <QString>

class QDropEvent;
class QMimeData;

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

    // The path of the first local file a drop carries, or nothing.
    static QString firstDroppedFile(const QMimeData* data);

    // The drop on any of the six targets (also the workbook the program was started with).
    void workbookDropped(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installDropTarget(QWidget* target);

    WorkbookWidgets widgets_;
    MessageSink& messages_;
    const RunningApplicationProbe& runningApplications_;
    QSet<const QObject*> targets_; // the six targets (a list's viewport for the list)
};

} // namespace tavorin
