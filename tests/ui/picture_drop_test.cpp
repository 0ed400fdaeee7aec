// Picture files dropped on the name list: limit, picture endings, duplicate names, sort, count.
#include "lists/PictureList.h"
#include "lists/PictureTable.h"
#include "support/PictureWindow.h"
#include "support/TemporaryFolder.h"
#include "support/UserActions.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace tavorin;
using namespace tavorin::test;

namespace {
const QString limitText = QStringLiteral("処理可能ファイル数を超えます。");

QString duplicateText(const QString& path)
{
    return path + QStringLiteral(" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。");
}
} // namespace

class PictureDropTest : public QObject {
    Q_OBJECT
  private slots:
    void refusesADropThatWouldPassTheLimitCountingEveryFile();
    void acceptsTheSameDropUpToExactlyTheLimit();
    void refusesAnyDropAtTheLimit();
    void acceptsEndingsInAnyCaseAndWithoutDot();
    void skipsFoldersUnlessTheirNameEndsLikeAPicture();
    void refusesANameKeyListedEarlierInTheSameDrop();
    void fourLetterAndThreeLetterEndingsDoNotCollide();
    void comparesNameKeysWithRegardToCase();
    void namesDifferingOnlyInLeadingBlanksCollide();
    void withoutCheck1TheSamePictureGivesTwoRows();
    void sortsAfterTheDropWhenCheck3IsOn();
    void keepsDropOrderWhenCheck3IsOff();
    void aDropOfNonPicturesStillShowsTheCount();
    void aDropWithoutFilesOnlyRefreshesTheCount();
    void acceptsOnlyDragsThatCarryUrls();
    void rowsGetAPlainMarkAndTheirNumber();
};

void PictureDropTest::refusesADropThatWouldPassTheLimitCountingEveryFile()
{
    PictureWindow window;
    dropInventedPictures(window.widgets.List2, 997);
    QCOMPARE(window.widgets.List2->count(), 997);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 997"));

    // One picture and two other files: 997 + 3 > 999.
    dropFiles(window.widgets.List2, {"/more/new.jpg", "/more/notes.txt", "/more/table.xls"});

    QCOMPARE(window.widgets.List2->count(), 997);
    QCOMPARE(window.widgets.List3->count(), 997);
    QCOMPARE(window.widgets.List5->count(), 997);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 997"));
    QCOMPARE(window.messages.messages.size(), std::size_t(1));
    QCOMPARE(window.messages.messages[0].text, limitText);
    QCOMPARE(window.messages.messages[0].title, QStringLiteral("確認"));
}

void PictureDropTest::acceptsTheSameDropUpToExactlyTheLimit()
{
    PictureWindow window;
    dropInventedPictures(window.widgets.List2, 996);

    dropFiles(window.widgets.List2, {"/more/new.jpg", "/more/notes.txt", "/more/table.xls"});

    QCOMPARE(window.widgets.List2->count(), 997);
    QCOMPARE(window.widgets.List2->item(996)->text(), QStringLiteral(" new.jpg"));
    QCOMPARE(window.widgets.List3->item(996)->text(), QStringLiteral("/more/new.jpg"));
    QCOMPARE(window.widgets.List5->item(996)->text(), QStringLiteral("997"));
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 997"));
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::refusesAnyDropAtTheLimit()
{
    PictureWindow window;
    dropInventedPictures(window.widgets.List2, 999);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 999"));

    dropFiles(window.widgets.List2, {"/more/readme.txt"});

    QCOMPARE(window.widgets.List2->count(), 999);
    QCOMPARE(window.messages.messages.size(), std::size_t(1));
    QCOMPARE(window.messages.messages[0].text, limitText);
}

void PictureDropTest::acceptsEndingsInAnyCaseAndWithoutDot()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/IMG_1.JPG", "/p/scan.Tiff", "/p/photojpeg", "/p/photojpg",
                                     "/p/clip.webp", "/p/a.jpg.txt"});

    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" IMG_1.JPG", " scan.Tiff", " photojpeg"}));
    QCOMPARE(itemTexts(window.widgets.List3), (QStringList{"/p/IMG_1.JPG", "/p/scan.Tiff", "/p/photojpeg"}));
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::skipsFoldersUnlessTheirNameEndsLikeAPicture()
{
    TemporaryFolder folder;
    const QString root = QString::fromStdString(folder.path().string());
    QVERIFY(QDir(root).mkdir(QStringLiteral("Pictures")));
    QVERIFY(QDir(root).mkdir(QStringLiteral("album.gif")));
    PictureWindow window;

    // File managers hand folders over with or without a closing separator.
    dropUrls(window.widgets.List2,
             {QUrl::fromLocalFile(root + "/Pictures"), QUrl::fromLocalFile(root + "/Pictures/"),
              QUrl::fromLocalFile(root + "/album.gif/")});

    QCOMPARE(itemTexts(window.widgets.List2), QStringList{" album.gif"});
    QCOMPARE(itemTexts(window.widgets.List3), QStringList{root + "/album.gif"});
}

void PictureDropTest::refusesANameKeyListedEarlierInTheSameDrop()
{
    PictureWindow window;
    click(window.widgets.Check1);

    dropFiles(window.widgets.List2, {"/p/a.jpg", "/q/a.gif", "/p/b.png"});

    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" a.jpg", " b.png"}));
    QCOMPARE(itemTexts(window.widgets.List5), (QStringList{"1", "2"}));
    QCOMPARE(window.messages.messages.size(), std::size_t(1));
    QCOMPARE(window.messages.messages[0].text, duplicateText(QStringLiteral("/q/a.gif")));
    QCOMPARE(window.messages.messages[0].title, QStringLiteral("確認"));
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 002"));

    // Rows from earlier drops take part as well.
    dropFiles(window.widgets.List2, {"/r/b.bmp"});
    QCOMPARE(window.widgets.List2->count(), 2);
    QCOMPARE(window.messages.messages.size(), std::size_t(2));
    QCOMPARE(window.messages.messages[1].text, duplicateText(QStringLiteral("/r/b.bmp")));
}

void PictureDropTest::fourLetterAndThreeLetterEndingsDoNotCollide()
{
    PictureWindow window;
    click(window.widgets.Check1);
    dropFiles(window.widgets.List2, {"/p/a.jpeg", "/p/a.jpg"});
    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" a.jpeg", " a.jpg"}));
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::comparesNameKeysWithRegardToCase()
{
    PictureWindow window;
    click(window.widgets.Check1);
    dropFiles(window.widgets.List2, {"/p/A.jpg", "/p/a.png"});
    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" A.jpg", " a.png"}));
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::namesDifferingOnlyInLeadingBlanksCollide()
{
    PictureWindow window;
    click(window.widgets.Check1);
    dropFiles(window.widgets.List2, {"/p/photo.jpg", "/q/  photo.png"});
    QCOMPARE(itemTexts(window.widgets.List2), QStringList{" photo.jpg"});
    QCOMPARE(window.messages.messages.size(), std::size_t(1));
    QCOMPARE(window.messages.messages[0].text, duplicateText(QStringLiteral("/q/  photo.png")));
}

void PictureDropTest::withoutCheck1TheSamePictureGivesTwoRows()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg"});
    dropFiles(window.widgets.List2, {"/p/a.jpg"});
    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" a.jpg", " a.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List5), (QStringList{"1", "2"}));
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 002"));
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::sortsAfterTheDropWhenCheck3IsOn()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/d.jpg", "/p/b.jpg"});
    click(window.widgets.Check3);

    dropFiles(window.widgets.List2, {"/p/c.jpg", "/p/a.jpg"});

    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" a.jpg", " b.jpg", " c.jpg", " d.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List3), (QStringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"}));
    QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(4));
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 004"));
}

void PictureDropTest::keepsDropOrderWhenCheck3IsOff()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/d.jpg", "/p/b.jpg"});
    dropFiles(window.widgets.List2, {"/p/c.jpg", "/p/a.jpg"});
    QCOMPARE(itemTexts(window.widgets.List2), (QStringList{" d.jpg", " b.jpg", " c.jpg", " a.jpg"}));
}

void PictureDropTest::aDropOfNonPicturesStillShowsTheCount()
{
    PictureWindow window;
    QCOMPARE(window.widgets.DATACount->text(), QString());
    dropFiles(window.widgets.List2, {"/p/notes.txt", "/p/book.xls"});
    QCOMPARE(window.widgets.List2->count(), 0);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 000"));
}

void PictureDropTest::aDropWithoutFilesOnlyRefreshesTheCount()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/a.jpg", "/p/b.jpg"});
    click(window.widgets.LISTClear);
    dropFiles(window.widgets.List2, {"/p/c.jpg"});
    // Only the drop writes the count; make it stale to see the refresh.
    window.widgets.DATACount->setText(QStringLiteral("stale"));

    // A link dragged from a browser: text and a web address, but no file.
    QMimeData link;
    link.setText(QStringLiteral("https://example.org/d.jpg"));
    link.setUrls({QUrl(QStringLiteral("https://example.org/d.jpg"))});
    const QPoint position(10, 10);
    QDragEnterEvent enter(position, Qt::CopyAction, &link, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(position), Qt::CopyAction, &link, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &drop);
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral(" 001"));

    // Plain text is not taken at all: the drag is refused before any drop.
    window.widgets.DATACount->setText(QStringLiteral("stale"));
    QMimeData text;
    text.setText(QStringLiteral("/p/e.jpg"));
    QDragEnterEvent textEnter(position, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &textEnter);
    QVERIFY(!textEnter.isAccepted());
    QCOMPARE(window.widgets.DATACount->text(), QStringLiteral("stale"));
    QCOMPARE(itemTexts(window.widgets.List2), QStringList{" c.jpg"});
    QVERIFY(window.messages.messages.empty());
}

void PictureDropTest::acceptsOnlyDragsThatCarryUrls()
{
    PictureWindow window;
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent textEnter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &textEnter);
    QVERIFY(!textEnter.isAccepted());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/p/a.jpg"))});
    QDragEnterEvent fileEnter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &fileEnter);
    QVERIFY(fileEnter.isAccepted());
    QDragMoveEvent fileMove(QPoint(12, 12), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List2->viewport(), &fileMove);
    QVERIFY(fileMove.isAccepted());

    // The other lists take no pictures.
    QDragEnterEvent otherEnter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.widgets.List4->viewport(), &otherEnter);
    QVERIFY(!otherEnter.isAccepted());
}

void PictureDropTest::rowsGetAPlainMarkAndTheirNumber()
{
    PictureWindow window;
    dropFiles(window.widgets.List2, {"/p/x.png", "/p/y.png", "/p/z.png"});
    QCOMPARE(itemTexts(window.widgets.List4), (QStringList{"○", "○", "○"}));
    QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(3));

    // After Clear the numbering starts again at 1 and the count display is empty.
    click(window.widgets.LISTClear);
    QCOMPARE(window.widgets.List2->count() + window.widgets.List3->count() + window.widgets.List4->count() +
                 window.widgets.List5->count(),
             0);
    QCOMPARE(window.widgets.DATACount->text(), QString());
    dropFiles(window.widgets.List2, {"/p/a.png", "/p/b.png", "/p/c.png"});
    QCOMPARE(itemTexts(window.widgets.List5), numbersUpTo(3));
    QCOMPARE(window.table->pictureList().rowCounter(), 3);
}

QTEST_MAIN(PictureDropTest)
#include "picture_drop_test.moc"
