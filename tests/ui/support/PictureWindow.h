#pragma once

#include "lists/PictureTableWidgets.h"
#include "support/Form1Fixture.h"

#include <QEvent>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>

class QListWidget;

namespace tavorin {
class PictureTable;
}

namespace tavorin::test {

// The main window, shown, with the controls of its picture side at hand.
class PictureWindow {
  public:
    PictureWindow();

    Form1Fixture fixture;
    Form1& form;
    PictureTableWidgets widgets;
    RecordingMessageSink& messages;
    PictureTable* table = nullptr;
};

// Sends a drag-enter and, when it is accepted, a drop carrying the URLs to the list, then lets
// the event loop run. Returns whether the drag was accepted.
bool dropUrls(QListWidget* list, const QList<QUrl>& urls);
bool dropFiles(QListWidget* list, const QStringList& paths);
// Drops count invented picture files /drop/p0000.jpg ... in batches small enough for the limit.
void dropInventedPictures(QListWidget* list, int count, const QString& folder = QStringLiteral("/drop"));

QStringList itemTexts(const QListWidget* list);
// The numbers 1 ... n as texts, what List5 must read.
QStringList numbersUpTo(int n);
// Centre of a row in the list's viewport coordinates.
QPoint rowCentre(const QListWidget* list, int row);
// A mouse event with the given button and held buttons sent straight to the list's viewport.
void sendMouse(QListWidget* list, QEvent::Type type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons held);

} // namespace tavorin::test
