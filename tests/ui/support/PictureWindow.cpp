#include "support/PictureWindow.h"

#include "app/Form1.h"

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>

namespace tavorin::test {

PictureWindow::PictureWindow() : form(fixture.start()), messages(fixture.messages), table(form.pictureTable())
{
    widgets.List2 = form.List2;
    widgets.List3 = form.List3;
    widgets.List4 = form.List4;
    widgets.List5 = form.List5;
    widgets.DATACount = form.DATACount;
    widgets.Check1 = form.Check1;
    widgets.Check3 = form.Check3;
    widgets.LISTClear = form.LISTClear;
    widgets.Image1 = form.Image1;
    widgets.Label7 = form.Label7;
}

bool dropUrls(QListWidget* list, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint position = list->viewport()->rect().center();
    QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);
    // Back in the event loop the lists lay out their new rows.
    QCoreApplication::processEvents();
    return true;
}

bool dropFiles(QListWidget* list, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return dropUrls(list, urls);
}

void dropInventedPictures(QListWidget* list, int count, const QString& folder)
{
    int made = 0;
    while (made < count) {
        QStringList batch;
        for (int i = 0; i < 100 && made < count; ++i, ++made)
            batch.append(QStringLiteral("%1/p%2.jpg").arg(folder).arg(made, 4, 10, QLatin1Char('0')));
        dropFiles(list, batch);
    }
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList numbersUpTo(int n)
{
    QStringList numbers;
    for (int i = 1; i <= n; ++i)
        numbers.append(QString::number(i));
    return numbers;
}

QPoint rowCentre(const QListWidget* list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

void sendMouse(QListWidget* list, QEvent::Type type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QWidget* viewport = list->viewport();
    QMouseEvent event(type, QPointF(position), QPointF(viewport->mapTo(viewport->window(), position)),
                      QPointF(viewport->mapToGlobal(position)), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace tavorin::test
