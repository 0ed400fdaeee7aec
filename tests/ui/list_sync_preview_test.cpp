// The visible lists kept on one row and one scroll position, and the preview of the current picture.
#include "app/Twips.h"
#include "support/PictureWindow.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QString makePicture(const TemporaryFolder& folder, const QString& name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    const QString path = QString::fromStdString((folder / name.toStdString()).string());
    if (!image.save(path))
        qFatal("cannot write a test picture");
    return path;
}

// A bitmap header that claims a width of 0.
QString makeZeroWidthBitmap(const TemporaryFolder& folder)
{
    QByteArray bytes(54, '\0');
    auto put32 = [&bytes](int offset, quint32 value) {
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, 0);  // width
    put32(22, 10); // height
    bytes[26] = 1;
    bytes[28] = 24;
    const QString path = QString::fromStdString((folder / "empty.bmp").string());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the zero-width bitmap");
    return path;
}

void clickRow(QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, rowCentre(list, row));
}

void scrollWheel(QListWidget* list, int notches)
{
    const QPoint position = list->viewport()->rect().center();
    QWheelEvent wheel(QPointF(position), QPointF(list->viewport()->mapToGlobal(position)), QPoint(),
                      QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
}

int topRow(const QListWidget* list)
{
    return list->indexAt(QPoint(4, 2)).row();
}

} // namespace

class ListSyncPreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void aClickInAnyVisibleListSelectsTheRowEverywhere();
    void theLeftButtonDraggedOverNumbersMovesTheSelection();
    void aWidePictureFillsTheWidthCentredVertically();
    void aTallPictureFillsTheHeightCentredHorizontally();
    void aPictureInTheBoxRatioFillsTheBox();
    void smallPicturesAreEnlargedAndLargeOnesReduced();
    void thePlaceholderGoesWithTheFirstPreviewAndComesBackWithClear();
    void anUnreadablePictureLeavesThePreviewEmpty();
    void aPictureWithoutAreaOrFileLeavesThePreviewEmpty();
    void scrollingTheMarksCarriesNumbersAndNames();
    void scrollingTheNamesCarriesOnlyTheMarks();
};

void ListSyncPreviewTest::aClickInAnyVisibleListSelectsTheRowEverywhere()
{
    TemporaryFolder folder;
    PictureWindow window;
    dropFiles(window.widgets.List2,
              {makePicture(folder, "a.png", 40, 30), makePicture(folder, "b.png", 30, 40),
               makePicture(folder, "c.png", 50, 50)});
    const auto all = {window.widgets.List2, window.widgets.List3, window.widgets.List4, window.widgets.List5};

    clickRow(window.widgets.List2, 2);
    for (QListWidget* list : all)
        QCOMPARE(list->currentRow(), 2);
    QVERIFY(!window.widgets.Image1->isHidden());
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(1365 + 305, 1140, 1840, 1840));

    clickRow(window.widgets.List4, 0);
    for (QListWidget* list : all)
        QCOMPARE(list->currentRow(), 0);
    // 40 x 30 is the box's width-to-height ratio nearly: 600 x 450 twips, ratio 0.75 < 0.751.
    QCOMPARE(window.widgets.Image1->geometry().width(), twipsToPixels(2450));

    clickRow(window.widgets.List5, 1, Qt::RightButton);
    for (QListWidget* list : all)
        QCOMPARE(list->currentRow(), 1);
    QCOMPARE(window.widgets.Image1->geometry().height(), twipsToPixels(1840));
}

void ListSyncPreviewTest::theLeftButtonDraggedOverNumbersMovesTheSelection()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/gone/a.jpg", "/gone/b.jpg", "/gone/c.jpg"});
    QListWidget* numbers = window.widgets.List5;
    sendMouse(numbers, QEvent::MouseButtonPress, rowCentre(numbers, 0), Qt::LeftButton, Qt::LeftButton);
    for (int row : {1, 2}) {
        sendMouse(numbers, QEvent::MouseMove, rowCentre(numbers, row), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.widgets.List2->currentRow(), row);
        QCOMPARE(window.widgets.List3->currentRow(), row);
        QCOMPARE(window.widgets.List4->currentRow(), row);
    }
    sendMouse(numbers, QEvent::MouseButtonRelease, rowCentre(numbers, 2), Qt::LeftButton, Qt::NoButton);
}

void ListSyncPreviewTest::aWidePictureFillsTheWidthCentredVertically()
{
    TemporaryFolder folder;
    PictureWindow window;
    // 490 x 200 pixels = 7350 x 3000 twips, the ratio of 2450 x 1000: 2450 wide, 1000 high,
    // top 1140 + (1840 - 1000) / 2 = 1560.
    dropFiles(window.widgets.List2, {makePicture(folder, "wide.png", 490, 200)});
    clickRow(window.widgets.List2, 0);
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(1365, 1560, 2450, 1000));
    QVERIFY(window.widgets.Image1->hasScaledContents());
    // Decoded at the size shown, not at its own.
    QCOMPARE(window.widgets.Image1->pixmap().size(), twipsRect(1365, 1560, 2450, 1000).size());
}

void ListSyncPreviewTest::aTallPictureFillsTheHeightCentredHorizontally()
{
    TemporaryFolder folder;
    PictureWindow window;
    // 250 x 460 pixels, the ratio of 1000 x 1840 twips: 1840 high, 1000 wide,
    // left 1365 + (2450 - 1000) / 2 = 2090.
    dropFiles(window.widgets.List2, {makePicture(folder, "tall.png", 250, 460)});
    clickRow(window.widgets.List2, 0);
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(2090, 1140, 1000, 1840));
}

void ListSyncPreviewTest::aPictureInTheBoxRatioFillsTheBox()
{
    TemporaryFolder folder;
    PictureWindow window;
    // 490 x 368 is 2450 : 1840.
    dropFiles(window.widgets.List2, {makePicture(folder, "box.png", 490, 368)});
    clickRow(window.widgets.List2, 0);
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(1365, 1140, 2450, 1840));
}

void ListSyncPreviewTest::smallPicturesAreEnlargedAndLargeOnesReduced()
{
    TemporaryFolder folder;
    PictureWindow window;
    dropFiles(window.widgets.List2,
              {makePicture(folder, "small.png", 49, 20), makePicture(folder, "large.png", 1960, 800)});
    clickRow(window.widgets.List2, 0);
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(1365, 1560, 2450, 1000));
    clickRow(window.widgets.List2, 1);
    QCOMPARE(window.widgets.Image1->geometry(), twipsRect(1365, 1560, 2450, 1000));
    QCOMPARE(window.widgets.Image1->pixmap().size(), twipsRect(1365, 1560, 2450, 1000).size());
}

void ListSyncPreviewTest::thePlaceholderGoesWithTheFirstPreviewAndComesBackWithClear()
{
    TemporaryFolder folder;
    PictureWindow window;
    QVERIFY(!window.widgets.Label7->isHidden());
    dropFiles(window.widgets.List2,
              {makePicture(folder, "a.png", 60, 40), makePicture(folder, "b.png", 40, 60)});
    QVERIFY(!window.widgets.Label7->isHidden());

    clickRow(window.widgets.List2, 0);
    QVERIFY(window.widgets.Label7->isHidden());
    clickRow(window.widgets.List2, 1);
    QVERIFY(window.widgets.Label7->isHidden());
    QVERIFY(!window.widgets.Image1->pixmap().isNull());

    click(window.widgets.LISTClear);
    QVERIFY(!window.widgets.Label7->isHidden());
    QVERIFY(window.widgets.Image1->pixmap().isNull());
}

void ListSyncPreviewTest::anUnreadablePictureLeavesThePreviewEmpty()
{
    PictureWindow window;
    const QString broken = QString::fromStdString(pictureFixture("broken.jpg").string());
    const QString land = QString::fromStdString(pictureFixture("land.jpg").string());
    dropFiles(window.widgets.List2, {land, broken});

    clickRow(window.widgets.List2, 0);
    QVERIFY(!window.widgets.Image1->isHidden());
    clickRow(window.widgets.List2, 1);
    QVERIFY(window.widgets.Image1->isHidden());
    QVERIFY(window.widgets.Image1->pixmap().isNull());
    QCOMPARE(window.widgets.List4->currentRow(), 1);

    // The window goes on working.
    clickRow(window.widgets.List2, 0);
    QVERIFY(!window.widgets.Image1->isHidden());
    QVERIFY(!window.widgets.Image1->pixmap().isNull());
}

void ListSyncPreviewTest::aPictureWithoutAreaOrFileLeavesThePreviewEmpty()
{
    TemporaryFolder folder;
    PictureWindow window;
    dropFiles(window.widgets.List2, {makeZeroWidthBitmap(folder), QStringLiteral("/no/such/folder/gone.png"),
                                     makePicture(folder, "ok.png", 8, 8)});
    clickRow(window.widgets.List2, 2);
    QVERIFY(!window.widgets.Image1->isHidden());
    for (int row : {0, 1}) {
        clickRow(window.widgets.List2, row);
        QVERIFY(window.widgets.Image1->isHidden());
        QVERIFY(window.widgets.Image1->pixmap().isNull());
    }
}

void ListSyncPreviewTest::scrollingTheMarksCarriesNumbersAndNames()
{
    PictureWindow window;
    dropInventedPictures(window.widgets.List2, 60);
    QCOMPARE(topRow(window.widgets.List4), 0);

    scrollWheel(window.widgets.List4, 2);
    const int top = topRow(window.widgets.List4);
    QVERIFY(top > 0);
    QCOMPARE(topRow(window.widgets.List2), top);
    QCOMPARE(topRow(window.widgets.List5), top);

    window.widgets.List4->verticalScrollBar()->setValue(window.widgets.List4->verticalScrollBar()->maximum());
    const int last = topRow(window.widgets.List4);
    QVERIFY(last > top);
    QCOMPARE(topRow(window.widgets.List2), last);
    QCOMPARE(topRow(window.widgets.List5), last);
    // Row by row: the number beside each name is its position.
    QCOMPARE(window.widgets.List5->item(last)->text(), QString::number(last + 1));
}

void ListSyncPreviewTest::scrollingTheNamesCarriesOnlyTheMarks()
{
    PictureWindow window;
    dropInventedPictures(window.widgets.List2, 60);
    scrollWheel(window.widgets.List2, 3);
    const int top = topRow(window.widgets.List2);
    QVERIFY(top > 0);
    QCOMPARE(topRow(window.widgets.List4), top);
    QCOMPARE(topRow(window.widgets.List5), 0);
}

QTEST_MAIN(ListSyncPreviewTest)
#include "list_sync_preview_test.moc"
