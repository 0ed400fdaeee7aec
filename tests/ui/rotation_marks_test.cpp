// Rotation marks in List4: the double-click cycle and the pointer tracking.
#include "lists/PictureTable.h"
#include "support/PictureTableHarness.h"

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
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg"});
    QWidget* marks = harness.widgets.List4->viewport();
    const QPoint row1 = rowCentre(harness.widgets.List4, 1);

    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        QTest::mouseDClick(marks, Qt::LeftButton, {}, row1);
        seen.append(harness.widgets.List4->item(1)->text());
    }
    QCOMPARE(seen, (QStringList{"→", "↓", "←", "○"}));
}

void RotationMarksTest::changesOnlyTheRowDoubleClicked()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QTest::mouseDClick(harness.widgets.List4->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List4, 1));
    QCOMPARE(itemTexts(harness.widgets.List4), (QStringList{"○", "→", "○"}));
    QCOMPARE(itemTexts(harness.widgets.List2), (QStringList{" a.jpg", " b.jpg", " c.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List5), numbersUpTo(3));
}

void RotationMarksTest::aDoubleClickBelowTheLastRowChangesNothing()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg"});
    QWidget* marks = harness.widgets.List4->viewport();
    const QPoint belowRows(rowCentre(harness.widgets.List4, 1).x(), marks->height() - 3);
    QVERIFY(harness.widgets.List4->indexAt(belowRows).row() == -1);

    QTest::mouseDClick(marks, Qt::LeftButton, {}, belowRows);
    QCOMPARE(harness.table->pointedIndex(), -1);
    QCOMPARE(itemTexts(harness.widgets.List4), (QStringList{"○", "○"}));
}

void RotationMarksTest::marksStayWithTheirPictureAfterADragReorder()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QTest::mouseDClick(harness.widgets.List4->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List4, 0));

    // Drag a.jpg onto c.jpg.
    QListWidget* names = harness.widgets.List2;
    sendMouse(names, QEvent::MouseButtonPress, rowCentre(names, 0), Qt::LeftButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseMove, rowCentre(names, 2), Qt::NoButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseMove, rowCentre(names, 2), Qt::NoButton, Qt::LeftButton);
    sendMouse(names, QEvent::MouseButtonRelease, rowCentre(names, 2), Qt::LeftButton, Qt::NoButton);

    QCOMPARE(itemTexts(names), (QStringList{" b.jpg", " c.jpg", " a.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List4), (QStringList{"○", "○", "→"}));
}

void RotationMarksTest::movingWithoutButtonsOnlyNotesTheRow()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QCOMPARE(harness.widgets.List2->currentRow(), -1);

    sendMouse(harness.widgets.List4, QEvent::MouseMove, rowCentre(harness.widgets.List4, 2), Qt::NoButton,
              Qt::NoButton);

    QCOMPARE(harness.table->pointedIndex(), 2);
    QCOMPARE(harness.widgets.List2->currentRow(), -1);
    QCOMPARE(harness.widgets.List4->currentRow(), -1);
}

void RotationMarksTest::movingWithTheLeftButtonSelectsRowByRowInAllLists()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
    QListWidget* marks = harness.widgets.List4;

    sendMouse(marks, QEvent::MouseButtonPress, rowCentre(marks, 0), Qt::LeftButton, Qt::LeftButton);
    for (int row = 0; row < 3; ++row) {
        sendMouse(marks, QEvent::MouseMove, rowCentre(marks, row), Qt::NoButton, Qt::LeftButton);
        for (QListWidget* list : {harness.widgets.List2, harness.widgets.List3, harness.widgets.List4,
                                  harness.widgets.List5})
            QCOMPARE(list->currentRow(), row);
    }
    sendMouse(marks, QEvent::MouseButtonRelease, rowCentre(marks, 2), Qt::LeftButton, Qt::NoButton);
}

QTEST_MAIN(RotationMarksTest)
#include "rotation_marks_test.moc"
