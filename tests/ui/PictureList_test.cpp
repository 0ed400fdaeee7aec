// The picture side of the window: dropping pictures (limit, endings, duplicate names, sort,
// count), Clear, reordering by drag, rotation marks, the lists kept on one row and the preview.
#include "lists/PictureTable.h"
#include "support/Files.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QStringList numbersUpTo(qsizetype n)
{
    QStringList numbers;
    for (qsizetype i = 1; i <= n; ++i)
        numbers.append(QString::number(i));
    return numbers;
}

QString countText(qsizetype rows) { return QStringLiteral(" %1").arg(rows, 3, 10, QLatin1Char('0')); }

// Drops made-up picture files /drop/p0000.jpg … in drops small enough for the limit.
void dropMadeUpPictures(QListWidget* list, int count)
{
    for (int made = 0; made < count;) {
        QStringList drop;
        for (int i = 0; i < 100 && made < count; ++i, ++made)
            drop.append(QStringLiteral("/drop/p%1.jpg").arg(made, 4, 10, QLatin1Char('0')));
        dropFiles(list, drop);
    }
}

// Five rows V … Z, the marks of W "→" and of Y "↓" telling them apart.
struct FiveRows {
    Window window;
    Form1& form = window.start();

    FiveRows()
    {
        dropFiles(form.List2, {"/p/V.jpg", "/p/W.jpg", "/p/X.jpg", "/p/Y.jpg", "/p/Z.jpg"});
        doubleClickRow(form.List4, 1);
        doubleClickRow(form.List4, 3, 2);
    }
    // A row's middle; -1 below the last row, -2 right of the list.
    QPoint at(int row) const
    {
        const QSize size = form.List2->viewport()->size();
        return row == -1 ? QPoint(20, size.height() - 3) : row == -2 ? QPoint(size.width() + 40, 30) : rowCentre(form.List2, row);
    }
    void press(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        sendMouse(form.List2, QEvent::MouseButtonPress, at(row), button, button);
    }
    void move(int row, Qt::MouseButtons held = Qt::LeftButton)
    {
        sendMouse(form.List2, QEvent::MouseMove, at(row), Qt::NoButton, held);
    }
    void release(int row, Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons held = Qt::NoButton)
    {
        sendMouse(form.List2, QEvent::MouseButtonRelease, at(row), button, held);
    }
    bool showsDragCursor() const { return form.List2->viewport()->testAttribute(Qt::WA_SetCursor); }
    // Names, paths and marks in this order of the letters, the numbers still 1 … 5.
    void expectOrder(const QString& letters) const
    {
        QStringList names, paths, marks;
        for (QChar letter : letters) {
            names.append(QStringLiteral(" %1.jpg").arg(letter));
            paths.append(QStringLiteral("/p/%1.jpg").arg(letter));
            marks.append(letter == 'W' ? QStringLiteral("→") : letter == 'Y' ? QStringLiteral("↓") : QStringLiteral("○"));
        }
        QCOMPARE(itemTexts(form.List2), names);
        QCOMPARE(itemTexts(form.List3), paths);
        QCOMPARE(itemTexts(form.List4), marks);
        QCOMPARE(itemTexts(form.List5), numbersUpTo(5));
    }
};

int topRow(const QListWidget* list) { return list->indexAt(QPoint(4, 2)).row(); }

} // namespace

class PictureListTest : public QObject {
    Q_OBJECT

private slots:
    void dropAddsThePictureRows_data()
    {
        QTest::addColumn<QString>("options"); // "duplicates" for Check1, "sort" for Check3
        QTest::addColumn<QString>("drops");   // drops split by ";", files by ","
        QTest::addColumn<QString>("names");   // the rows' file names
        QTest::addColumn<QString>("refused"); // paths refused as duplicates
        QTest::newRow("picture endings in any case, four letters without a dot") << ""
            << "/p/IMG_1.JPG,/p/scan.Tiff,/p/photojpeg,/p/photojpg,/p/clip.webp,/p/a.jpg.txt"
            << "IMG_1.JPG,scan.Tiff,photojpeg" << "";
        QTest::newRow("only other files") << "" << "/p/notes.txt,/p/book.xls" << "" << "";
        QTest::newRow("name keyed without ending, in the drop and against rows before")
            << "duplicates" << "/p/a.jpg,/q/a.gif,/p/b.png;/r/b.bmp" << "a.jpg,b.png" << "/q/a.gif,/r/b.bmp";
        QTest::newRow("four-letter ending kept in the key") << "duplicates" << "/p/a.jpeg,/p/a.jpg" << "a.jpeg,a.jpg" << "";
        QTest::newRow("keys compare with case") << "duplicates" << "/p/A.jpg,/p/a.png" << "A.jpg,a.png" << "";
        QTest::newRow("leading blanks left out of the key")
            << "duplicates" << "/p/photo.jpg,/q/  photo.png" << "photo.jpg" << "/q/  photo.png";
        QTest::newRow("without Check1 the same picture twice") << "" << "/p/a.jpg;/p/a.jpg" << "a.jpg,a.jpg" << "";
        QTest::newRow("without Check3 in drop order") << "" << "/p/b.jpg,/p/C.jpg;/p/a.jpg" << "b.jpg,C.jpg,a.jpg" << "";
        QTest::newRow("sorted without regard to case") << "sort" << "/p/b.jpg,/p/C.jpg;/p/a.jpg" << "a.jpg,b.jpg,C.jpg" << "";
        QTest::newRow("sorted by character code") << "sort" << "/p/img2.jpg,/p/a.png,/p/img10.jpg,/p/a.jpg,/p/9.jpg"
                                                  << "9.jpg,a.jpg,a.png,img10.jpg,img2.jpg" << "";
        QTest::newRow("equal keys change places") << "sort" << "/p/b.jpg,/p/B.jpg,/p/a.jpg" << "a.jpg,B.jpg,b.jpg" << "";
    }

    void dropAddsThePictureRows()
    {
        QFETCH(QString, options);
        QFETCH(QString, drops);
        QFETCH(QString, names);
        QFETCH(QString, refused);
        Window window;
        Form1& form = window.start();
        form.Check1->setChecked(options == QLatin1String("duplicates"));
        form.Check3->setChecked(options == QLatin1String("sort"));
        for (const QString& drop : drops.split(';'))
            QVERIFY(dropFiles(form.List2, drop.split(',')));
        const QStringList rows = names.split(',', Qt::SkipEmptyParts);
        QStringList shown, messages;
        for (const QString& name : rows)
            shown.append(' ' + name);
        for (const QString& path : refused.split(',', Qt::SkipEmptyParts))
            messages.append("確認: " + path + QStringLiteral(" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。"));
        QCOMPARE(itemTexts(form.List2), shown);
        QCOMPARE(itemTexts(form.List4), QStringList(rows.size(), QStringLiteral("○")));
        QCOMPARE(itemTexts(form.List5), numbersUpTo(rows.size()));
        QCOMPARE(form.List3->count(), rows.size());
        QCOMPARE(form.DATACount->text(), countText(rows.size()));
        QStringList said;
        for (const auto& message : window.messages)
            said.append(message.title + ": " + message.text);
        QCOMPARE(said, messages);
    }

    void theLimitCountsEveryDroppedFile_data()
    {
        QTest::addColumn<int>("present");
        QTest::addColumn<QStringList>("drop");
        QTest::addColumn<bool>("taken");
        const QStringList threeFiles{"/more/new.jpg", "/more/notes.txt", "/more/table.xls"};
        QTest::newRow("997 and three files, one a picture") << 997 << threeFiles << false;
        QTest::newRow("996 and the same three") << 996 << threeFiles << true;
        QTest::newRow("999 and one file") << 999 << QStringList{"/more/readme.txt"} << false;
    }

    void theLimitCountsEveryDroppedFile()
    {
        QFETCH(int, present);
        QFETCH(QStringList, drop);
        QFETCH(bool, taken);
        Window window;
        Form1& form = window.start();
        dropMadeUpPictures(form.List2, present);
        QCOMPARE(form.List2->count(), present);
        dropFiles(form.List2, drop);
        const int rows = taken ? present + 1 : present;
        for (QListWidget* list : {form.List2, form.List3, form.List4, form.List5})
            QCOMPARE(list->count(), rows);
        QCOMPARE(form.DATACount->text(), countText(rows));
        QCOMPARE(window.lastMessage(), taken ? QString() : QStringLiteral("処理可能ファイル数を超えます。"));
        QCOMPARE(form.List2->item(rows - 1)->text(), taken ? QStringLiteral(" new.jpg") : QStringLiteral(" p%1.jpg").arg(rows - 1, 4, 10, QLatin1Char('0')));
    }

    void foldersAndDragsWithoutFilesAddNothing()
    {
        Window window;
        Form1& form = window.start();
        const QString root = pathText(window.folder().path());
        std::filesystem::create_directories(window.folder() / "Pictures");
        std::filesystem::create_directories(window.folder() / "album.gif");
        dropFiles(form.List2, {root + "/Pictures", root + "/Pictures/", root + "/album.gif/"});
        QCOMPARE(itemTexts(form.List3), QStringList{root + "/album.gif"}); // a folder named like a picture
        form.DATACount->setText(QStringLiteral("stale"));
        QMimeData text;
        text.setText(QStringLiteral("/p/e.jpg"));
        QVERIFY(!dropData(form.List2, text));
        QCOMPARE(form.DATACount->text(), QStringLiteral("stale"));
        QMimeData link; // a browser's link: an address but no file; only the count is written
        link.setUrls({QUrl(QStringLiteral("https://example.org/d.jpg"))});
        QVERIFY(dropData(form.List2, link));
        QCOMPARE(form.DATACount->text(), QStringLiteral(" 001"));
        QVERIFY(!dropFiles(form.List4, {"/p/f.jpg"}));
        QCOMPARE(form.List2->count(), 1);
    }

    void marksTravelWithTheirPictureInASortThatLeavesNoRowSelected()
    {
        Window window;
        Form1& form = window.start();
        dropFiles(form.List2, {"/p/d.jpg", "/p/c.jpg", "/p/b.jpg"});
        doubleClickRow(form.List4, 0);
        doubleClickRow(form.List4, 2, 2);
        clickRow(form.List2, 1);
        click(form.Check3);
        dropFiles(form.List2, {"/p/a.jpg"});
        QCOMPARE(itemTexts(form.List3), (QStringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"}));
        QCOMPARE(itemTexts(form.List4), (QStringList{"○", "↓", "○", "→"}));
        QCOMPARE(itemTexts(form.List5), numbersUpTo(4));
        for (QListWidget* list : {form.List2, form.List3, form.List4})
            QVERIFY(list->selectedItems().isEmpty());
    }

    void dragMovesTheRowToTheReleaseRow_data()
    {
        QTest::addColumn<int>("pressed");
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<int>("released");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 1 << QList<int>{3, 3} << 3 << "VXYWZ";
        QTest::newRow("up") << 3 << QList<int>{1, 1} << 1 << "VYWXZ";
        QTest::newRow("one row down") << 0 << QList<int>{1} << 1 << "WVXYZ";
        QTest::newRow("first to last") << 0 << QList<int>{4, 4} << 4 << "WXYZV";
        QTest::newRow("last to first") << 4 << QList<int>{0, 0} << 0 << "ZVWXY";
        QTest::newRow("released where pressed") << 2 << QList<int>{} << 2 << "VWXYZ";
        QTest::newRow("away and back") << 2 << QList<int>{4, 4, 2} << 2 << "VWXYZ";
        QTest::newRow("released outside the list") << 1 << QList<int>{3, -2} << -2 << "VWXYZ";
        QTest::newRow("pressed below the rows") << -1 << QList<int>{1, 2} << 2 << "VWXYZ";
    }

    void dragMovesTheRowToTheReleaseRow()
    {
        QFETCH(int, pressed);
        QFETCH(QList<int>, moves);
        QFETCH(int, released);
        QFETCH(QString, order);
        FiveRows rows;
        rows.press(pressed);
        for (int row : moves)
            rows.move(row);
        rows.release(released);
        rows.expectOrder(order);
        QVERIFY(!rows.showsDragCursor());
        if (order != QLatin1String("VWXYZ")) // the moved row is selected everywhere
            for (QListWidget* list : {rows.form.List2, rows.form.List3, rows.form.List4, rows.form.List5})
                QCOMPARE(list->currentRow(), released);
    }

    void dragFollowsTheLeftButtonOnly()
    {
        FiveRows rows;
        rows.press(1, Qt::RightButton);
        rows.move(3, Qt::RightButton);
        rows.release(3, Qt::RightButton);
        rows.expectOrder("VWXYZ");
        rows.press(1);
        QVERIFY(!rows.showsDragCursor());
        rows.move(3); // starts the drag, highlights nothing yet
        QVERIFY(rows.showsDragCursor());
        rows.move(4, Qt::LeftButton | Qt::RightButton);
        QCOMPARE(rows.form.List2->currentRow(), 1);
        rows.move(4);
        QCOMPARE(rows.form.List2->currentRow(), 4);
        rows.release(4, Qt::RightButton, Qt::LeftButton); // letting go of the right button drops too
        rows.expectOrder("VXYZW");
        rows.release(2);
        rows.expectOrder("VXYZW");
        // Without its cursor file the drag still works.
        rows.form.pictureTable()->setDragCursorFile(QStringLiteral("/nonexistent/fhnwse.png"));
        rows.press(4);
        rows.move(0);
        rows.move(0);
        rows.release(0);
        rows.expectOrder("WVXYZ");
    }

    void marksStepByDoubleClickAndTheLeftButtonSelectsOverThem()
    {
        Window window;
        Form1& form = window.start();
        dropFiles(form.List2, {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"});
        QStringList seen;
        for (int i = 0; i < 4; ++i) {
            doubleClickRow(form.List4, 1);
            seen.append(itemTexts(form.List4).join(QString()));
        }
        QCOMPARE(seen, (QStringList{"○→○", "○↓○", "○←○", "○○○"}));
        QTest::mouseDClick(form.List4->viewport(), Qt::LeftButton, {}, QPoint(5, form.List4->viewport()->height() - 3));
        QCOMPARE(itemTexts(form.List4).join(QString()), QStringLiteral("○○○"));
        QCOMPARE(form.List2->currentRow(), 1); // the row double-clicked
        sendMouse(form.List4, QEvent::MouseMove, rowCentre(form.List4, 2), Qt::NoButton, Qt::NoButton);
        QCOMPARE(form.List2->currentRow(), 1);
        sendMouse(form.List4, QEvent::MouseButtonPress, rowCentre(form.List4, 0), Qt::LeftButton, Qt::LeftButton);
        for (int row : {1, 2}) {
            sendMouse(form.List4, QEvent::MouseMove, rowCentre(form.List4, row), Qt::NoButton, Qt::LeftButton);
            for (QListWidget* list : {form.List2, form.List3, form.List5})
                QCOMPARE(list->currentRow(), row);
        }
        sendMouse(form.List4, QEvent::MouseButtonRelease, rowCentre(form.List4, 2), Qt::LeftButton, Qt::NoButton);
    }

    void previewFitsThePictureCentredInTheBox_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("shown");
        // The box: left 1365, top 1140, 2450 x 1840 twips in the option frame, 15 twips a pixel.
        QTest::newRow("wide: 2450 x 1000 at top 1560") << QSize(490, 200) << QRect(91, 104, 163, 67);
        QTest::newRow("tall: 1000 x 1840 at left 2090") << QSize(250, 460) << QRect(139, 76, 67, 123);
        QTest::newRow("the box's own shape") << QSize(490, 368) << QRect(91, 76, 163, 123);
        QTest::newRow("small, enlarged") << QSize(49, 20) << QRect(91, 104, 163, 67);
        QTest::newRow("large, reduced") << QSize(1960, 800) << QRect(91, 104, 163, 67);
    }

    void previewFitsThePictureCentredInTheBox()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, shown);
        Window window;
        Form1& form = window.start();
        QImage image(picture, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(pathText(window.folder() / "picture.png")));
        dropFiles(form.List2, {pathText(window.folder() / "picture.png")});
        QVERIFY(form.Label7->isVisible());
        clickRow(form.List2, 0);
        QCOMPARE(form.Image1->geometry(), shown);
        QCOMPARE(form.Image1->pixmap().size(), shown.size());
        QVERIFY(form.Image1->isVisible() && !form.Label7->isVisible());
    }

    void aClickInAnyVisibleListSelectsThatRowEverywhereUntilClear()
    {
        Window window;
        Form1& form = window.start();
        const QStringList pictures{"land.jpg", "portrait.png", "square.bmp"};
        for (const QString& picture : pictures)
            dropFiles(form.List2, {pathText(pictureFixture(picture.toStdString()))});
        const int widths[] = {163, 92, 123}; // fitted to 2450 x 1840 twips: landscape full width, others full height
        const std::pair<QListWidget*, int> clicks[] = {{form.List2, 2}, {form.List4, 0}, {form.List5, 1}};
        for (auto [list, row] : clicks) {
            clickRow(list, row, list == form.List5 ? Qt::RightButton : Qt::LeftButton);
            for (QListWidget* other : {form.List2, form.List3, form.List4, form.List5})
                QCOMPARE(other->currentRow(), row);
            QCOMPARE(form.Image1->width(), widths[row]);
        }
        click(form.LISTClear); // back to the start: placeholder, no preview, no count, numbers from 1
        QVERIFY(form.Label7->isVisible() && form.Image1->pixmap().isNull());
        QCOMPARE(form.DATACount->text(), QString());
        dropFiles(form.List2, {"/p/x.png", "/p/y.png"});
        QCOMPARE(itemTexts(form.List5), numbersUpTo(2));
    }

    void aPictureThatCannotBeShownLeavesThePreviewEmpty()
    {
        Window window;
        Form1& form = window.start();
        Bytes zeroWide(54, 0); // a bitmap header of width 0: info header of 40 bytes, height 10, 24 bits
        zeroWide[0] = 'B';
        zeroWide[1] = 'M';
        zeroWide[14] = 40;
        zeroWide[22] = 10;
        zeroWide[26] = 1;
        zeroWide[28] = 24;
        writeFile(window.folder() / "empty.bmp", zeroWide);
        dropFiles(form.List2, {pathText(pictureFixture("land.jpg")),
                               pathText(pictureFixture("broken.jpg")),
                               pathText(window.folder() / "empty.bmp"), "/no/such/gone.png"});
        for (int row : {1, 2, 3, 0}) {
            clickRow(form.List2, row);
            QCOMPARE(form.Image1->isVisible(), row == 0);
            QCOMPARE(form.Image1->pixmap().isNull(), row != 0);
        }
    }

    void scrollingKeepsTheVisibleListsAligned()
    {
        Window window;
        Form1& form = window.start();
        dropMadeUpPictures(form.List2, 60);
        form.List4->verticalScrollBar()->setValue(form.List4->verticalScrollBar()->maximum());
        const int top = topRow(form.List4);
        QVERIFY(top > 0);
        QCOMPARE(topRow(form.List2), top);
        QCOMPARE(topRow(form.List5), top);
        form.List2->verticalScrollBar()->setValue(0); // the names carry the marks only
        QCOMPARE(topRow(form.List4), 0);
        QCOMPARE(topRow(form.List5), top);
    }
};

QTEST_MAIN(PictureListTest)
#include "PictureList_test.moc"
