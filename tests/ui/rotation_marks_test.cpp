// Rotation marks in List4: the double-click cycle and the pointer tracking.
#include "lists/PictureTable.h"
#include "support/PictureWindow.h"

#include <QListWidget>
#include <QTest>

using namespace tavorin;
using namespace tavorin::test;

class RotationMarksTest : public QObject {
    Q_OBJECT
  private slots:
    void fourDoubleClicksComeBack();
    void changesOnlyTheRowDoubleClicked();
    void aDoubleClickBelowTheLastRowChangesNothing();
    void marksStayWithTheirPictureAfterADragReorder();
    void movingWithoutButtonsOnlyNotesTheRow();
    void movingWithTheLeftButtonSelectsRowByRowInAllLists();
};

void RotationMarksTest::fourDoubleClicksComeBack()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg"});
    QWidget* marks = window.widgets.List4->viewport();
    const QPoint row1 = rowCentre(window.widgets.List4, 1);

    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseDClick(marks, Qt::LeftButton, {}, row1);
        seen.append(window.widgets.List4->item(1)->text());
    }
    QCOMPARE(seen, (QStringList{"→", "↓", "←", "○"}));
}

void RotationMarksTest::changesOnlyTheRowDoubleClicked()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                       rowCentre(window.widgets.List4, 1));
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"○", "→", "○"}));
    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" a.jpg", " b.jpg", " c.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(3));
}

void RotationMarksTest::aDoubleClickBelowTheLastRowChangesNothing()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg"});
    QWidget* marks = window.widgets.List4->viewport();
    const QPoint belowRows(rowCentre(window.widgets.List4, 1).x(), marks->height() - 3);
    QVERIFY(window.widgets.List4->indexAt(belowRows).row() == -1);

    QTest::mouseDClick(marks, Qt::LeftButton, {}, belowRows);
    QCOMPARE(window.table->pointedIndex(), -1);
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"○", "○"}));
}

void RotationMarksTest::marksStayWithTheirPictureAfterADragReorder()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                       rowCentre(window.widgets.List4, 0));

    // Drag a.jpg onto c.jpg.
    QListWidget* names = window.widgets.List2;
    sendMouse(names, QEvent::MouseButtonPress, rowCentre(names, 0), Qt::LeftButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseMove, rowCentre(names, 2), Qt::NoButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseMove, rowCentre(names, 2), Qt::NoButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseButtonRelease, rowCentre(names, 2), Qt::LeftButton, Qt::NoButton);

    QCOMPARE(itemTexts(names), (QStringList{" b.jpg", " c.jpg", " a.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"○", "○", "→"}));
}

void RotationMarksTest::movingWithoutButtonsOnlyNotesTheRow()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QCOMPARE(window.widgets.List2->currentRow(), -1);

    sendMouse(window.widgets.List4, QEvent::MouseMove, rowCentre(window.widgets.List4, 2), Qt::NoButton,
              Qt::NoButton);

    QCOMPARE(window.table->pointedIndex(), 2);
    QCOMPARE(window.widgets.List2->currentRow(), -1);
    QCOMPARE(window.widgets.List4->currentRow(), -1);
}

void RotationMarksTest::movingWithTheLeftButtonSelectsRowByRowInAllLists()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QListWidget* marks = window.widgets.List4;

    sendMouse(marks, QEvent::MouseButtonPress, rowCentre(marks, 0), Qt::LeftButton, Qt::LeftButton);
    for (int row = 0; row < 3; ++row) {
        sendMouse(marks, QEvent::MouseMove, rowCentre(marks, row), Qt::NoButton, Qt::LeftButton);
        for (QListWidget* list :
             {window.widgets.List2, window.widgets.List3, window.widgets.List4, window.widgets.List5})
            QCOMPARE(list->currentRow(), row);
    }
    sendMouse(marks, QEvent::MouseButtonRelease, rowCentre(marks, 2), Qt::LeftButton, Qt::NoButton);
}

QTEST_MAIN(RotationMarksTest)
#include "rotation_marks_test.moc"
