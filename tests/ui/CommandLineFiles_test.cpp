// The program started with files, as a file manager starts it for "Open with Tavorin": the
// workbook's sheets and the pictures are listed as their drops list them, under the drops' own
// rules, and arguments that name no file are left out.
#include "app/CommandLineFiles.h"
#include "support/SettingsBytes.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QDir>

#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// An empty file: the lists never read a picture's contents.
QString touch(const std::filesystem::path& file)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream{file};
    return pathText(file);
}

void startWith(Form1& form, const QStringList& arguments, const std::filesystem::path& workingFolder)
{
    CommandLineFiles(arguments, QDir(pathText(workingFolder))).dropOn(form);
    QCoreApplication::processEvents();
}

} // namespace

class CommandLineFilesTest : public QObject {
    Q_OBJECT

private slots:
    void aWorkbookAndPicturesAreListedAsTheirDropsListThem()
    {
        Window window;
        const auto folder = window.folder().path();
        const auto ledger = copyWorkbook(folder, "ledger.xls", "現場 台帳.xls");
        const QString photo = touch(folder / "IMG_0001.JPG"), plan = touch(folder / "plan.png");
        touch(folder / "notes.txt");
        std::filesystem::create_directory(folder / "Pictures");
        Form1& form = window.start();
        // Relative names are the working folder's, as a shell passes them; options, addresses and
        // missing files are no files at all; a plain file and a folder fall to the endings rule.
        startWith(form, {"IMG_0001.JPG", "--geometry", pathText(ledger), "file:///tmp/x.jpg", "missing.jpg",
                         "notes.txt", "Pictures", "./plan.png"},
                  folder);
        expectStates(&form, {"TextA=" + pathText(ledger), "Label1= 現場 台帳.xls", "List1=Sheet1|My Sheet",
                             "List2= IMG_0001.JPG| plan.png", "List3=" + photo + "|" + plan, "List5=1|2",
                             "DATACount= 002"});
        QVERIFY(window.messages.empty());
    }

    void storedDuplicateTestAndSortApplyAsToADrop()
    {
        Window window;
        const auto folder = window.folder().path();
        const QString second = touch(folder / "b" / "site.jpg");
        window.writeSettings(SettingsBytes().check(1, 1).check(3, 1).bytes());
        Form1& form = window.start();
        startWith(form, {touch(folder / "a" / "site.jpg"), touch(folder / "gate.png"), second}, folder);
        expectStates(&form, {"List2= gate.png| site.jpg"});
        QCOMPARE(form.List3->item(1)->text(), pathText(folder / "a" / "site.jpg"));
        QCOMPARE(window.messages.size(), std::size_t{1});
        QCOMPARE(window.messages[0].text + window.messages[0].title,
                 second + QStringLiteral(" は、 \r\n\r\n同一ファイル名が存在する為に選択できません。確認"));
    }

    // The first workbook is listed; only the picture side counts against the 999 limit.
    void theFirstWorkbookIsListedAndThePicturesCountForTheLimit()
    {
        Window window;
        const auto folder = window.folder().path();
        QStringList arguments{pathText(copyWorkbook(folder, "ledger.xls", "first.xls")),
                              pathText(copyWorkbook(folder, "ledger.xls", "second.XLS"))};
        for (int i = 0; i < 998; ++i)
            arguments << touch(folder / QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0')).toStdString());
        arguments << touch(folder / "readme.txt"); // 999 files for the picture list: just within
        startWith(window.start(), arguments, folder);
        expectStates(&window.form(), {"Label1= first.xls", "List1=Sheet1|My Sheet"});
        QCOMPARE(window.form().List2->count(), 998);
        QVERIFY(window.messages.empty());

        arguments << touch(folder / "extra.jpg"); // one more: refused whole, the workbook listed all the same
        startWith(window.start(), arguments, folder);
        expectStates(&window.form(), {"Label1= first.xls"});
        QCOMPARE(window.form().List2->count(), 0);
        QCOMPARE(window.lastMessage(), QStringLiteral("処理可能ファイル数を超えます。"));
    }
};

QTEST_MAIN(CommandLineFilesTest)
#include "CommandLineFiles_test.moc"
