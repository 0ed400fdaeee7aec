// The sort that ends a picture drop while Check3 is on.
#include "support/PictureWindow.h"
#include "support/UserActions.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QStringList displayed(const QStringList& names)
{
    QStringList texts;
    for (const QString& name : names)
        texts.append(QStringLiteral(" ") + name);
    return texts;
}

QStringList pathsOf(const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names)
        paths.append(QStringLiteral("/p/") + name);
    return paths;
}

} // namespace

class PictureSortTest : public QObject {
    Q_OBJECT
  private slots:
    void ordersWithoutRegardToCase();
    void ordersByCharacterCode();
    void swapsRowsWithEqualKeysAsAnExchangeSortDoes();
    void marksAndPathsTravelAndNumbersStay();
    void leavesNoSelectedRow();
    void anEmptyListStaysEmpty();
};

void PictureSortTest::ordersWithoutRegardToCase()
{
    PictureWindow window;
    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, pathsOf({"b.jpg", "A.jpg", "c.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List2), displayed({"A.jpg", "b.jpg", "c.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List3), pathsOf({"A.jpg", "b.jpg", "c.jpg"}));
}

void PictureSortTest::ordersByCharacterCode()
{
    PictureWindow window;
    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, pathsOf({"img2.jpg", "a.png", "img10.jpg", "a.jpg", "9.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List2),
             displayed({"9.jpg", "a.jpg", "a.png", "img10.jpg", "img2.jpg"}));
}

void PictureSortTest::swapsRowsWithEqualKeysAsAnExchangeSortDoes()
{
    PictureWindow window;
    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, pathsOf({"b.jpg", "B.jpg", "a.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List2), displayed({"a.jpg", "B.jpg", "b.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List3), pathsOf({"a.jpg", "B.jpg", "b.jpg"}));
}

void PictureSortTest::marksAndPathsTravelAndNumbersStay()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, pathsOf({"d.jpg", "c.jpg", "b.jpg"}));
    // Marks set by double-clicking: d.jpg "→", b.jpg "↓".
    QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                       rowCentre(window.widgets.List4, 0));
    QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                       rowCentre(window.widgets.List4, 2));
    QTest::mouseDClick(window.widgets.List4->viewport(), Qt::LeftButton, {},
                       rowCentre(window.widgets.List4, 2));
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"→", "○", "↓"}));

    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, pathsOf({"a.jpg"}));

    QCOMPARE(itemTexts(window.widgets.List2), displayed({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List3), pathsOf({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"○", "↓", "○", "→"}));
    QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(4));
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 004"));
}

void PictureSortTest::leavesNoSelectedRow()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, pathsOf({"z.jpg", "y.jpg"}));
    QTest::mouseClick(window.widgets.List2->viewport(), Qt::LeftButton, {},
                      rowCentre(window.widgets.List2, 1));
    QCOMPARE(window.widgets.List2->currentRow(), 1);

    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, pathsOf({"x.jpg"}));

    QCOMPARE(itemTexts(window.widgets.List2), displayed({"x.jpg", "y.jpg", "z.jpg"}));
    for (QListWidget* list : {window.widgets.List2, window.widgets.List3, window.widgets.List4}) {
        QCOMPARE(list->currentRow(), -1);
        QVERIFY(list->selectedItems().isEmpty());
    }
}

void PictureSortTest::anEmptyListStaysEmpty()
{
    PictureWindow window;
    click(window.widgets.Check3);
    dropFiles(window.widgets.List2, {"/p/readme.txt"});
    QCOMPARE(window.widgets.List2->count(), 0);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 000"));
    dropFiles(window.widgets.List2, pathsOf({"only.png"}));
    QCOMPARE(itemTexts(window.widgets.List2), displayed({"only.png"}));
}

QTEST_MAIN(PictureSortTest)
#include "picture_sort_test.moc"
