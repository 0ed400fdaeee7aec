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

int topRow(const QListWidget* list) { return list->indexAt(QPoint(4, 2)).row(); }

} // namespace

class PictureListTest : public QObject {
    Q_OBJECT

private slots:
    void dropAddsThePictureRows_data()
    {
        QTest::addColumn<QString>("options"); // "duplicates" for Check1, "sort" for Check3
        QTest::addColumn<QString>("drops");   // drops split by ";", files by ","; in "/t" two folders
        QTest::addColumn<QString>("names");   // the rows as shown: a blank and the file name
        QTest::addColumn<QString>("refused"); // "title: path" of the duplicates refused
        QTest::newRow("picture endings in any case, four letters without a dot")
            << "" << "/p/IMG_1.JPG,/p/scan.Tiff,/p/photojpeg,/p/photojpg,/p/clip.webp,/p/IMG_2.HEIC,/p/a.jpg.txt,/p/a.heics"
            << " IMG_1.JPG, scan.Tiff, photojpeg, clip.webp, IMG_2.HEIC" << "";
        QTest::newRow("only other files") << "" << "/p/notes.txt,/p/book.xls" << "" << "";
        QTest::newRow("folders, one named like a picture")
            << "" << "/t/Pictures,/t/Pictures/,/t/album.gif/" << " album.gif" << "";
        QTest::newRow("name keyed without ending, in the drop and against rows before")
            << "duplicates" << "/p/a.jpg,/q/a.gif,/p/b.png;/r/b.bmp" << " a.jpg, b.png" << "確認: /q/a.gif,確認: /r/b.bmp";
        QTest::newRow("four-letter ending kept") << "duplicates" << "/p/a.jpeg,/p/a.jpg" << " a.jpeg, a.jpg" << "";
        QTest::newRow("keys compare with case") << "duplicates" << "/p/A.jpg,/p/a.png" << " A.jpg, a.png" << "";
        QTest::newRow("leading blanks left out of the key")
            << "duplicates" << "/p/photo.jpg,/q/  photo.png" << " photo.jpg" << "確認: /q/  photo.png";
        QTest::newRow("without Check1 the same picture twice") << "" << "/p/a.jpg;/p/a.jpg" << " a.jpg, a.jpg" << "";
        QTest::newRow("without Check3 drop order") << "" << "/p/b.jpg,/p/C.jpg;/p/a.jpg" << " b.jpg, C.jpg, a.jpg" << "";
        QTest::newRow("sorted, case aside") << "sort" << "/p/b.jpg,/p/C.jpg;/p/a.jpg" << " a.jpg, b.jpg, C.jpg" << "";
        QTest::newRow("sorted by character code") << "sort" << "/p/img2.jpg,/p/a.png,/p/img10.jpg,/p/a.jpg,/p/9.jpg,/p/_x.jpg"
                                                  << " 9.jpg, _x.jpg, a.jpg, a.png, img10.jpg, img2.jpg" << "";
        QTest::newRow("equal keys swapped") << "sort" << "/p/b.jpg,/p/B.jpg,/p/a.jpg" << " a.jpg, B.jpg, b.jpg" << "";
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
        const QString folder = pathText(window.folder().path());
        std::filesystem::create_directories(window.folder() / "Pictures");
        std::filesystem::create_directories(window.folder() / "album.gif");
        for (const QString& drop : drops.split(';'))
            QVERIFY(dropFiles(form.List2, QString(drop).replace("/t/", folder + '/').split(',')));
        QCOMPARE(itemTexts(form.List2).join(','), names);
        const QString duplicate = QStringLiteral(" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。");
        QStringList said;
        for (const auto& [text, title] : window.messages)
            said.append(title + ": " + (text.endsWith(duplicate) ? text.chopped(duplicate.size()) : text));
        QCOMPARE(said.join(','), refused);
        const qsizetype rows = form.List2->count();
        QCOMPARE(itemTexts(form.List4), QStringList(rows, QStringLiteral("○")));
        QCOMPARE(itemTexts(form.List5), numbersUpTo(rows));
        QCOMPARE(form.List3->count(), rows);
        QCOMPARE(form.DATACount->text(), countText(rows));
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
        dropFiles(form.List2, drop);
        const int rows = taken ? present + 1 : present;
        for (QListWidget* list : {form.List2, form.List3, form.List4, form.List5})
            QCOMPARE(list->count(), rows);
        QCOMPARE(form.DATACount->text(), countText(rows));
        QCOMPARE(window.lastMessage(), taken ? QString() : QStringLiteral("処理可能ファイル数を超えます。"));
    }

    void marksStepByDoubleClickAndTravelWithTheirPictureInASort()
    {
        Window window;
        Form1& form = window.start();
        dropFiles(form.List2, {"/p/d.jpg", "/p/c.jpg", "/p/b.jpg"});
        QStringList seen;
        for (int i = 0; i < 4; ++i) {
            doubleClickRow(form.List4, 1);
            seen.append(itemTexts(form.List4).join(QString()));
        }
        QCOMPARE(seen, (QStringList{"○→○", "○↓○", "○←○", "○○○"}));
        QTest::mouseDClick(form.List4->viewport(), Qt::LeftButton, {}, QPoint(5, form.List4->viewport()->height() - 3));
        QCOMPARE(itemTexts(form.List4).join(QString()), QStringLiteral("○○○")); // below the rows: nothing
        doubleClickRow(form.List4, 0);
        doubleClickRow(form.List4, 2, 2);
        click(form.Check3);
        dropFiles(form.List2, {"/p/a.jpg"});
        QCOMPARE(itemTexts(form.List3), (QStringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"}));
        QCOMPARE(itemTexts(form.List4), (QStringList{"○", "↓", "○", "→"}));
        QCOMPARE(itemTexts(form.List5), numbersUpTo(4));
        for (QListWidget* list : {form.List2, form.List3, form.List4}) // the sort leaves no row selected
            QVERIFY(list->selectedItems().isEmpty());
    }

    void dragMovesTheRowToTheReleaseRow_data()
    {
        QTest::addColumn<int>("pressed"); // -1: below the last row, -2: right of the list
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
        QTest::newRow("without its cursor file") << 3 << QList<int>{0, 0} << 0 << "YVWXZ";
    }

    void dragMovesTheRowToTheReleaseRow()
    {
        QFETCH(int, pressed);
        QFETCH(QList<int>, moves);
        QFETCH(int, released);
        QFETCH(QString, order);
        Window window;
        Form1& form = window.start();
        dropFiles(form.List2, {"/p/V.jpg", "/p/W.jpg", "/p/X.jpg", "/p/Y.jpg", "/p/Z.jpg"});
        doubleClickRow(form.List4, 1);    // W "→"
        doubleClickRow(form.List4, 3, 2); // Y "↓"
        if (QTest::currentDataTag() == QLatin1String("without its cursor file"))
            form.pictureTable()->setDragCursorFile(QStringLiteral("/nonexistent/fhnwse.png"));
        const QSize size = form.List2->viewport()->size();
        auto at = [&](int row) {
            return row == -1   ? QPoint(20, size.height() - 3)
                   : row == -2 ? QPoint(size.width() + 40, 30)
                               : rowCentre(form.List2, row);
        };
        sendMouse(form.List2, QEvent::MouseButtonPress, at(pressed), Qt::LeftButton, Qt::LeftButton);
        for (int row : moves)
            sendMouse(form.List2, QEvent::MouseMove, at(row), Qt::NoButton, Qt::LeftButton);
        sendMouse(form.List2, QEvent::MouseButtonRelease, at(released), Qt::LeftButton, Qt::NoButton);
        QStringList names, paths, marks;
        for (QChar letter : order) {
            names.append(QStringLiteral(" %1.jpg").arg(letter));
            paths.append(QStringLiteral("/p/%1.jpg").arg(letter));
            marks.append(QString(letter == 'W' ? "→" : letter == 'Y' ? "↓" : "○"));
        }
        QCOMPARE(itemTexts(form.List2), names);
        QCOMPARE(itemTexts(form.List3), paths);
        QCOMPARE(itemTexts(form.List4), marks);
        QCOMPARE(itemTexts(form.List5), numbersUpTo(5));
        QVERIFY(!form.List2->viewport()->testAttribute(Qt::WA_SetCursor)); // the normal pointer again
        if (order != QLatin1String("VWXYZ")) // the moved row is selected everywhere
            for (QListWidget* list : {form.List2, form.List3, form.List4, form.List5})
                QCOMPARE(list->currentRow(), released);
    }

    void everyVisibleListSelectsTheRowAndPreviewsItFittedAndCentred()
    {
        Window window;
        Form1& form = window.start();
        // Fitted into the box: left 1365, top 1140, 2450 x 1840 twips in the option frame, 15 twips a pixel.
        const std::pair<QSize, QRect> pictures[] = {{{490, 200}, {91, 104, 163, 67}},  // wide: 2450 x 1000 at top 1560
                                                    {{250, 460}, {139, 76, 67, 123}},  // tall: 1000 x 1840 at left 2090
                                                    {{490, 368}, {91, 76, 163, 123}},  // the box's own shape
                                                    {{49, 20}, {91, 104, 163, 67}},    // small, enlarged
                                                    {{1960, 800}, {91, 104, 163, 67}}}; // large, reduced
        QStringList files;
        for (const auto& [size, shown] : pictures) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::blue);
            files.append(pathText(window.folder() / (std::to_string(files.size()) + ".png")));
            QVERIFY(image.save(files.back()));
        }
        Bytes zeroWide(54, 0); // a bitmap header of width 0: info header of 40 bytes, height 10, 24 bits
        for (auto [at, value] : {std::pair{0, 'B'}, {1, 'M'}, {14, 40}, {22, 10}, {26, 1}, {28, 24}})
            zeroWide[std::size_t(at)] = std::uint8_t(value);
        writeFile(window.folder() / "empty.bmp", zeroWide);
        dropFiles(form.List2, files + QStringList{pathText(pictureFixture("broken.jpg")),
                                                  pathText(window.folder() / "empty.bmp"), "/no/such/gone.png"});
        QVERIFY(form.Label7->isVisible());
        for (int row = 0; row < 8; ++row) {
            QListWidget* list = std::array{form.List2, form.List4, form.List5}[row % 3];
            clickRow(list, row, list == form.List5 ? Qt::RightButton : Qt::LeftButton);
            for (QListWidget* other : {form.List2, form.List3, form.List4, form.List5})
                QCOMPARE(other->currentRow(), row);
            const QRect shown = row < 5 ? pictures[row].second : QRect(); // the last three cannot be shown
            QCOMPARE(form.Image1->isVisible() ? form.Image1->geometry() : QRect(), shown);
            QCOMPARE(form.Image1->pixmap().size(), shown.size());
            QVERIFY(!form.Label7->isVisible());
        }
        click(form.LISTClear); // back to the start: placeholder, no preview, no count, numbers from 1
        QVERIFY(form.Label7->isVisible() && form.Image1->pixmap().isNull());
        QCOMPARE(form.DATACount->text(), QString());
        dropMadeUpPictures(form.List2, 60);
        QCOMPARE(form.List5->item(59)->text(), QStringLiteral("60"));
        form.List4->verticalScrollBar()->setValue(form.List4->verticalScrollBar()->maximum());
        const int top = topRow(form.List4);
        QVERIFY(top > 0 && topRow(form.List2) == top && topRow(form.List5) == top);
        form.List2->verticalScrollBar()->setValue(0); // the names carry the marks only
        QVERIFY(topRow(form.List4) == 0 && topRow(form.List5) == top);
    }
};

QTEST_MAIN(PictureListTest)
#include "PictureList_test.moc"
