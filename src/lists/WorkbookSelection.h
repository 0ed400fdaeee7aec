#pragma once

#include "lists/WorkbookWidgets.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <string>
#include <vector>

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

    // Lists again the sheets of the workbook whose path TextA holds (after a run).
    void listSheets();
    // A workbook dropped (or given at start): it replaces the listed one only when it is free and
    // can be listed; a refused or failed drop leaves the workbook, its name, its sheets and the
    // chosen sheet as they were, and says why when there is something to say.
    void takeWorkbook(const QString& path);

    // The path of the first local file a drop carries, or nothing.
    static QString firstDroppedFile(const QMimeData* data);

    // The drop on any of the six targets (also the workbook the program was started with).
    void workbookDropped(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installDropTarget(QWidget* target);
    void showSheets(const QString& name, const std::vector<std::string>& sheets);

    WorkbookWidgets widgets_;
    MessageSink& messages_;
    const RunningApplicationProbe& runningApplications_;
    QSet<const QObject*> targets_; // the six targets (a list's viewport for the list)
};

} // namespace tavorin
