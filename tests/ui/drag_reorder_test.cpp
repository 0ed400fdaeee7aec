// Reordering the pictures by dragging a row of List2 onto another row.
#include "lists/PictureTable.h"
#include "support/PictureWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const QStringList vwxyz{"V", "W", "X", "Y", "Z"};

QStringList displayed(const QStringList& letters)
{
    QStringList texts;
    for (const QString& letter : letters)
        texts.append(QStringLiteral(" ") + letter + QStringLiteral(".jpg"));
    return texts;
}

QStringList pathsOf(const QStringList& letters)
{
    QStringList paths;
    for (const QString& letter : letters)
        paths.append(QStringLiteral("/p/") + letter + QStringLiteral(".jpg"));
    return paths;
}

struct Rows {
    PictureWindow window;
    QListWidget* names = nullptr;

    Rows()
    {
        dropFiles(window.widgets.List2, pathsOf(vwxyz));
        names = window.widgets.List2;
        // Marks that tell the rows apart: W "→", Y "↓".
        QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                           rowCentre(window.widgets.List4, 1));
        for (int i = 0; i < 2; ++i)
            QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                               rowCentre(window.widgets.List4, 3));
    }

    QString markOf(const QString& letter) const
    {
        return letter == "W"   ? QStringLiteral("→")
               : letter == "Y" ? QStringLiteral("↓")
                               : QStringLiteral("○");
    }

    void press(int row)
    {
        sendMouse(names, QEvent::MouseButtonPress, rowCentre(names, row), Qt::LeftButton, Qt::LeftButton);
    }
    void moveTo(QPoint position, Qt::MouseButtons held = Qt::LeftButton)
    {
        sendMouse(names, QEvent::MouseMove, position, Qt::NoButton, held);
    }
    void release(QPoint position, Qt::MouseButton button = Qt::LeftButton,
                 Qt::MouseButtons stillHeld = Qt::NoButton)
    {
        sendMouse(names, QEvent::MouseButtonRelease, position, button, stillHeld);
    }
    void drag(int from, int to)
    {
        press(from);
        moveTo(rowCentre(names, to));
        moveTo(rowCentre(names, to));
        release(rowCentre(names, to));
    }

    // The order of all three moving lists, with List5 still numbering the positions.
    void expectOrder(const QStringList& letters) const
    {
        QCOMPARE(itemTexts(names), displayed(letters));
        QCOMPARE(itemTexts(window.widgets.List3), pathsOf(letters));
        QStringList marks;
        for (const QString& letter : letters)
            marks.append(markOf(letter));
        QCOMPARE(itemTexts(window.widgets.List4), marks);
        QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(int(letters.size())));
    }
};

bool showsDragCursor(const QListWidget* list)
{
    return list->viewport()->testAttribute(Qt::WA_SetCursor) &&
           list->viewport()->cursor().shape() == Qt::BitmapCursor;
}

} // namespace

class DragReorderTest : public QObject {
    Q_OBJECT
  private slots:
    void draggingDownLandsOnTheReleaseRow();
    void draggingUpLandsOnTheReleaseRow();
    void firstAndLastRowsSwapEnds();
    void theMovedRowIsSelectedEverywhere();
    void pressAndReleaseOnOneRowChangesNothing();
    void movingAwayAndBackChangesNothing();
    void releasingOutsideTheListChangesNothing();
    void aPressBelowTheLastRowStartsNothing();
    void theHighlightFollowsOnlyOnceTheDragHasStarted();
    void bothButtonsHeldDoNotHighlight();
    void releasingTheRightButtonWhileDraggingDrops();
    void showsTheDragCursorOnlyWhileDragging();
    void worksWithoutADragCursor();
    void onlyTheLeftButtonStartsADrag();
};

void DragReorderTest::draggingDownLandsOnTheReleaseRow()
{
    Rows rows;
    rows.drag(1, 3);
    rows.expectOrder({"V", "X", "Y", "W", "Z"});
}

void DragReorderTest::draggingUpLandsOnTheReleaseRow()
{
    Rows rows;
    rows.drag(3, 1);
    rows.expectOrder({"V", "Y", "W", "X", "Z"});
}

void DragReorderTest::firstAndLastRowsSwapEnds()
{
    Rows rows;
    rows.drag(0, 4);
    rows.expectOrder({"W", "X", "Y", "Z", "V"});
    rows.drag(4, 0);
    rows.expectOrder({"V", "W", "X", "Y", "Z"});
}

void DragReorderTest::theMovedRowIsSelectedEverywhere()
{
    Rows rows;
    rows.drag(1, 3);
    for (QListWidget* list : {rows.window.widgets.List2, rows.window.widgets.List3, rows.window.widgets.List4,
                              rows.window.widgets.List5})
        QCOMPARE(list->currentRow(), 3);
    QCOMPARE(rows.window.table->dragState(), 0);
}

void DragReorderTest::pressAndReleaseOnOneRowChangesNothing()
{
    Rows rows;
    rows.press(2);
    QCOMPARE(rows.window.table->dragState(), 1);
    QCOMPARE(rows.window.table->pointedIndex(), 2);
    rows.moveTo(rowCentre(rows.names, 2));
    QCOMPARE(rows.window.table->dragState(), 1);
    QVERIFY(!showsDragCursor(rows.names));
    rows.release(rowCentre(rows.names, 2));
    QCOMPARE(rows.window.table->dragState(), 0);
    rows.expectOrder(vwxyz);
}

void DragReorderTest::movingAwayAndBackChangesNothing()
{
    Rows rows;
    rows.press(2);
    rows.moveTo(rowCentre(rows.names, 4));
    rows.moveTo(rowCentre(rows.names, 4));
    rows.moveTo(rowCentre(rows.names, 2));
    rows.release(rowCentre(rows.names, 2));
    rows.expectOrder(vwxyz);
    QCOMPARE(rows.window.table->dragState(), 0);
}

void DragReorderTest::releasingOutsideTheListChangesNothing()
{
    Rows rows;
    rows.press(1);
    rows.moveTo(rowCentre(rows.names, 3));
    QVERIFY(showsDragCursor(rows.names));
    // The list keeps the pointer while the button is held, so the release comes to it from outside.
    const QPoint outside(rows.names->viewport()->width() + 40, rowCentre(rows.names, 3).y());
    rows.moveTo(outside);
    rows.release(outside);
    rows.expectOrder(vwxyz);
    QVERIFY(!rows.names->viewport()->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(rows.window.table->dragState(), 0);
}

void DragReorderTest::aPressBelowTheLastRowStartsNothing()
{
    Rows rows;
    const QPoint below(rowCentre(rows.names, 0).x(), rows.names->viewport()->height() - 3);
    QCOMPARE(rows.names->indexAt(below).row(), -1);
    rows.moveTo(below, Qt::NoButton);
    sendMouse(rows.names, QEvent::MouseButtonPress, below, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(rows.window.table->pointedIndex(), -1);
    QCOMPARE(rows.window.table->dragState(), 0);
    rows.moveTo(rowCentre(rows.names, 1));
    rows.moveTo(rowCentre(rows.names, 2));
    QCOMPARE(rows.window.table->dragState(), 0);
    QVERIFY(!showsDragCursor(rows.names));
    rows.release(rowCentre(rows.names, 2));
    rows.expectOrder(vwxyz);
}

void DragReorderTest::theHighlightFollowsOnlyOnceTheDragHasStarted()
{
    Rows rows;
    rows.press(1);
    QCOMPARE(rows.names->currentRow(), 1);
    rows.moveTo(rowCentre(rows.names, 3));
    // This move started the drag; it highlights nothing yet.
    QCOMPARE(rows.window.table->dragState(), 2);
    QCOMPARE(rows.names->currentRow(), 1);
    rows.moveTo(rowCentre(rows.names, 4));
    QCOMPARE(rows.names->currentRow(), 4);
    rows.moveTo(rowCentre(rows.names, 3));
    QCOMPARE(rows.names->currentRow(), 3);
    rows.release(rowCentre(rows.names, 3));
    rows.expectOrder({"V", "X", "Y", "W", "Z"});
}

void DragReorderTest::bothButtonsHeldDoNotHighlight()
{
    Rows rows;
    rows.press(1);
    rows.moveTo(rowCentre(rows.names, 3), Qt::LeftButton | Qt::RightButton);
    QCOMPARE(rows.window.table->dragState(), 1);
    QCOMPARE(rows.names->currentRow(), 1);

    // Nor does it continue a drag already under way.
    rows.moveTo(rowCentre(rows.names, 2));
    rows.moveTo(rowCentre(rows.names, 2));
    QCOMPARE(rows.names->currentRow(), 2);
    rows.moveTo(rowCentre(rows.names, 4), Qt::LeftButton | Qt::RightButton);
    QCOMPARE(rows.names->currentRow(), 2);
    rows.release(rowCentre(rows.names, 2));
    rows.expectOrder({"V", "X", "W", "Y", "Z"});
}

void DragReorderTest::releasingTheRightButtonWhileDraggingDrops()
{
    Rows rows;
    rows.press(3);
    rows.moveTo(rowCentre(rows.names, 0));
    rows.moveTo(rowCentre(rows.names, 0));
    rows.release(rowCentre(rows.names, 0), Qt::RightButton, Qt::LeftButton);
    rows.expectOrder({"Y", "V", "W", "X", "Z"});
    QCOMPARE(rows.window.table->dragState(), 0);
    // The later release of the left button changes nothing more.
    rows.release(rowCentre(rows.names, 2));
    rows.expectOrder({"Y", "V", "W", "X", "Z"});
}

void DragReorderTest::showsTheDragCursorOnlyWhileDragging()
{
    Rows rows;
    rows.press(0);
    QVERIFY(!showsDragCursor(rows.names));
    rows.moveTo(rowCentre(rows.names, 1));
    QVERIFY(showsDragCursor(rows.names));
    rows.release(rowCentre(rows.names, 1));
    QVERIFY(!rows.names->viewport()->testAttribute(Qt::WA_SetCursor));
    rows.expectOrder({"W", "V", "X", "Y", "Z"});
}

void DragReorderTest::worksWithoutADragCursor()
{
    Rows rows;
    rows.window.table->setDragCursorFile(QStringLiteral("/nonexistent/fhnwse.png"));
    rows.press(0);
    rows.moveTo(rowCentre(rows.names, 2));
    QVERIFY(!rows.names->viewport()->testAttribute(Qt::WA_SetCursor));
    rows.moveTo(rowCentre(rows.names, 2));
    rows.release(rowCentre(rows.names, 2));
    rows.expectOrder({"W", "X", "V", "Y", "Z"});
}

void DragReorderTest::onlyTheLeftButtonStartsADrag()
{
    Rows rows;
    sendMouse(rows.names, QEvent::MouseButtonPress, rowCentre(rows.names, 1), Qt::RightButton,
              Qt::RightButton);
    QCOMPARE(rows.window.table->dragState(), 0);
    rows.moveTo(rowCentre(rows.names, 3), Qt::RightButton);
    rows.release(rowCentre(rows.names, 3), Qt::RightButton);
    rows.expectOrder(vwxyz);
}

QTEST_MAIN(DragReorderTest)
#include "drag_reorder_test.moc"
