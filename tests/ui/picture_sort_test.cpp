// The sort that ends a picture drop while Check3 is on.
#include "support/PictureTableHarness.h"

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
    PictureTableHarness harness;
    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, pathsOf({"b.jpg", "A.jpg", "c.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"A.jpg", "b.jpg", "c.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List3), pathsOf({"A.jpg", "b.jpg", "c.jpg"}));
}

void PictureSortTest::ordersByCharacterCode()
{
    PictureTableHarness harness;
    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, pathsOf({"img2.jpg", "a.png", "img10.jpg", "a.jpg", "9.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"9.jpg", "a.jpg", "a.png", "img10.jpg", "img2.jpg"}));
}

void PictureSortTest::swapsRowsWithEqualKeysAsAnExchangeSortDoes()
{
    PictureTableHarness harness;
    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, pathsOf({"b.jpg", "B.jpg", "a.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"a.jpg", "B.jpg", "b.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List3), pathsOf({"a.jpg", "B.jpg", "b.jpg"}));
}

void PictureSortTest::marksAndPathsTravelAndNumbersStay()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, pathsOf({"d.jpg", "c.jpg", "b.jpg"}));
    // Marks set by double-clicking: d.jpg "→", b.jpg "↓".
    QTest::mouseDClick(harness.widgets.List4->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List4, 0));
    QTest::mouseDClick(harness.widgets.List4->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List4, 2));
    QTest::mouseDClick(harness.widgets.List4->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List4, 2));
    QCOMPARE(itemTexts(harness.widgets.List4), (QStringList{"→", "○", "↓"}));

    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, pathsOf({"a.jpg"}));

    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List3), pathsOf({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    QCOMPARE(itemTexts(harness.widgets.List4), (QStringList{"○", "↓", "○", "→"}));
    QCOMPARE(itemTexts(harness.widgets.List5), numbersUpTo(4));
    QCOMPARE(harness.widgets.DATACount->text(), QStringLiteral(" 004"));
}

void PictureSortTest::leavesNoSelectedRow()
{
    PictureTableHarness harness;
    dropFiles(harness.widgets.List2, pathsOf({"z.jpg", "y.jpg"}));
    QTest::mouseClick(harness.widgets.List2->viewport(), Qt::LeftButton, {}, rowCentre(harness.widgets.List2, 1));
    QCOMPARE(harness.widgets.List2->currentRow(), 1);

    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, pathsOf({"x.jpg"}));

    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"x.jpg", "y.jpg", "z.jpg"}));
    for (QListWidget* list : {harness.widgets.List2, harness.widgets.List3, harness.widgets.List4}) {
        QCOMPARE(list->currentRow(), -1);
        QVERIFY(list->selectedItems().isEmpty());
    }
}

void PictureSortTest::anEmptyListStaysEmpty()
{
    PictureTableHarness harness;
    harness.widgets.Check3->setChecked(true);
    dropFiles(harness.widgets.List2, {"/p/readme.txt"});
    QCOMPARE(harness.widgets.List2->count(), 0);
    QCOMPARE(harness.widgets.DATACount->text(), QStringLiteral(" 000"));
    dropFiles(harness.widgets.List2, pathsOf({"only.png"}));
    QCOMPARE(itemTexts(harness.widgets.List2), displayed({"only.png"}));
}

QTEST_MAIN(PictureSortTest)
#include "picture_sort_test.moc"
