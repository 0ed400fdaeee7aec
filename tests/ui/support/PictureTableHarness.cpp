#include "support/PictureTableHarness.h"

#include "app/Twips.h"
#include "lists/PictureTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace tavorin::test {

namespace {

QListWidget* listAt(QWidget* parent, QRect place, bool shown = true)
{
    auto* list = new QListWidget(parent);
    list->setGeometry(place);
    list->setVisible(shown);
    return list;
}

} // namespace

PictureTableHarness::PictureTableHarness()
{
    form.resize(twipsToPixels(8895), twipsToPixels(8130));
    Frame1 = new QGroupBox(QStringLiteral("挿入画像指定"), &form);
    Frame1->setGeometry(twipsRect(80, 120, 4170, 4530));
    Frame2 = new QFrame(&form);
    Frame2->setGeometry(twipsRect(4320, 120, 4530, 7965));

    widgets.List5 = listAt(Frame1, twipsRect(90, 600, 915, 2535));
    widgets.List2 = listAt(Frame1, twipsRect(615, 600, 3240, 2535));
    widgets.List4 = listAt(Frame1, twipsRect(3480, 600, 555, 2535));
    widgets.List3 = listAt(Frame1, twipsRect(120, 7080, 3315, 1320), false);
    widgets.Check1 = new QCheckBox(QStringLiteral("同一ファイル名挿入除外"), Frame1);
    widgets.Check1->setGeometry(twipsRect(120, 3200, 2820, 255));
    widgets.LISTClear = new QPushButton(QStringLiteral("Clear"), Frame1);
    widgets.LISTClear->setGeometry(twipsRect(130, 3600, 1180, 420));
    widgets.DATACount = new QLabel(Frame1);
    widgets.DATACount->setGeometry(twipsRect(1440, 3645, 735, 360));
    widgets.Check3 = new QCheckBox(QStringLiteral("ソート"), Frame1);
    widgets.Check3->setGeometry(twipsRect(600, 4110, 975, 350));
    widgets.Image1 = new QLabel(Frame2);
    widgets.Image1->setGeometry(twipsRect(1365, 1140, 2450, 1840));
    widgets.Label7 = new QLabel(QStringLiteral("画 像"), Frame2);
    widgets.Label7->setGeometry(twipsRect(1965, 1755, 1455, 540));

    table = new PictureTable(widgets, messages, &form);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qWarning("the test window was not exposed");
}

PictureTableHarness::~PictureTableHarness() = default;

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
