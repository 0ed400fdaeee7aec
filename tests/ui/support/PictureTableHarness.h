#pragma once

#include "app/MessageSink.h"
#include "lists/PictureTableWidgets.h"

#include <QEvent>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tavorin {
class PictureTable;
}

namespace tavorin::test {

// Messages that a handler would have shown, kept instead of opening a modal box.
class PictureHarnessSink : public MessageSink {
public:
    struct Shown {
        QString text;
        QString title;
    };
    void showMessage(const QString& text, const QString& title) override { shown.push_back({text, title}); }
    std::vector<Shown> shown;
};

// The controls of the picture side at their places in the window, with the picture table on them.
class PictureTableHarness {
public:
    PictureTableHarness();
    ~PictureTableHarness();

    QWidget form;
    QGroupBox* Frame1 = nullptr;
    QFrame* Frame2 = nullptr;
    PictureTableWidgets widgets;
    PictureHarnessSink messages;
    PictureTable* table = nullptr;
};

// Sends a drag-enter and, when it is accepted, a drop carrying the URLs to the list. Returns
// whether the drag was accepted.
bool dropUrls(QListWidget* list, const QList<QUrl>& urls);
bool dropFiles(QListWidget* list, const QStringList& paths);
// Drops count invented picture files /drop/p0001.jpg ... in batches small enough for the limit.
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
