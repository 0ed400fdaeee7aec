// The program started with files, as a file manager starts it for "Open with Tavorin": the
// workbook's sheets and the pictures are listed as their drops list them, under the drops' own
// rules, and arguments that name no file are left out.
#include "app/CommandLineFiles.h"
#include "app/Form1.h"
#include "support/Form1Fixture.h"
#include "support/SettingsBytes.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"
#include "support/WorkbookDrops.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const QStringList ledgerSheets{"Sheet1", "My Sheet"};

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

// An empty file: the lists never read a picture's contents.
QString touch(const std::filesystem::path& file)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream{file};
    return pathText(file);
}

QString copyLedger(const std::filesystem::path& target)
{
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(workbookFixture("ledger.xls"), target);
    return pathText(target);
}

void startWith(Form1& form, const QStringList& arguments, const TemporaryFolder& workingFolder)
{
    CommandLineFiles(arguments, QDir(pathText(workingFolder.path()))).dropOn(form);
    QCoreApplication::processEvents();
}

} // namespace

class CommandLineFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void aWorkbookAndPicturesAreListedAsTheirDropsListThem();
    void storedDuplicateTestAndSortApplyAsToADrop();
    void theFirstWorkbookIsListedAndOnlyThePictureSideCountsForTheLimit();
};

void CommandLineFilesTest::aWorkbookAndPicturesAreListedAsTheirDropsListThem()
{
    TemporaryFolder folder;
    const QString ledger = copyLedger(folder / u8"現場 台帳.xls");
    const QString photo = touch(folder / "IMG_0001.JPG");
    const QString plan = touch(folder / "plan.png");
    touch(folder / "notes.txt");
    std::filesystem::create_directory(folder / "Pictures");

    Form1Fixture fixture;
    Form1& form = fixture.start();
    // Relative names are the working folder's, as a shell passes them; options, addresses and
    // missing files are no files at all; a plain file and a folder are skipped by the picture
    // drop's own endings rule.
    startWith(form,
              {"IMG_0001.JPG", "--geometry", ledger, "file:///tmp/x.jpg", "missing.jpg", "notes.txt",
               "Pictures", "./plan.png"},
              folder);

    QCOMPARE(form.TextA->text(), ledger);
    QCOMPARE(form.Label1->text(), QStringLiteral(" 現場 台帳.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(form.List1->currentRow(), 0);
    QCOMPARE(fixture.runningApplications.asked.size(), std::size_t{1});

    QCOMPARE(itemsOf(form.List2), (QStringList{" IMG_0001.JPG", " plan.png"}));
    QCOMPARE(itemsOf(form.List3), (QStringList{photo, plan}));
    QCOMPARE(itemsOf(form.List5), (QStringList{"1", "2"}));
    QCOMPARE(form.DATACount->text(), QStringLiteral(" 002"));
    QVERIFY(fixture.messages.messages.empty());
}

void CommandLineFilesTest::storedDuplicateTestAndSortApplyAsToADrop()
{
    TemporaryFolder folder;
    const QString second = touch(folder / "b" / "site.jpg");
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().check(1, 1).check(3, 1).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Check1->checkState(), Qt::Checked);

    startWith(form, {touch(folder / "a" / "site.jpg"), touch(folder / "gate.png"), second}, folder);

    QCOMPARE(itemsOf(form.List2), (QStringList{" gate.png", " site.jpg"}));
    QCOMPARE(form.List3->item(1)->text(), pathText(folder / "a" / "site.jpg"));
    QCOMPARE(fixture.messages.messages.size(), std::size_t{1});
    QCOMPARE(fixture.messages.messages[0].text,
             second + QStringLiteral(" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。"));
    QCOMPARE(fixture.messages.messages[0].title, QStringLiteral("確認"));
}

void CommandLineFilesTest::theFirstWorkbookIsListedAndOnlyThePictureSideCountsForTheLimit()
{
    TemporaryFolder folder;
    QStringList arguments{copyLedger(folder / "first.xls"), copyLedger(folder / "other" / "second.XLS")};
    for (int i = 0; i < 998; ++i)
        arguments << touch(folder / QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0')).toStdString());
    arguments << touch(folder / "readme.txt"); // 999 files for the picture list: just within

    Form1Fixture fixture;
    Form1& form = fixture.start();
    startWith(form, arguments, folder);
    QCOMPARE(form.Label1->text(), QStringLiteral(" first.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(form.List2->count(), 998);
    QVERIFY(fixture.messages.messages.empty());

    // One file more is refused whole, with the drop's message; the workbook is listed all the same.
    arguments << touch(folder / "extra.jpg");
    Form1& again = fixture.start();
    startWith(again, arguments, folder);
    QCOMPARE(again.Label1->text(), QStringLiteral(" first.xls"));
    QCOMPARE(again.List2->count(), 0);
    QCOMPARE(fixture.messages.messages.size(), std::size_t{1});
    QCOMPARE(fixture.messages.messages[0].text, QStringLiteral("処理可能ファイル数を超えます。"));
}

QTEST_MAIN(CommandLineFilesTest)
#include "CommandLineFiles_test.moc"
