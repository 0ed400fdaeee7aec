#include "app/RunController.h"
#include "platform/xls/XlsApplication.h"
#include "support/Form1Fixture.h"
#include "support/PictureWindow.h"
#include "support/ProcessResult.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/WorkbookDrops.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::test;

// "START" in the window and `tavorin-batch insert` are two faces of one run: with the same
// workbook, pictures, marks and options they must write the same file. The engine writes a
// workbook deterministically (no clock, no random ids), so the two files are compared byte for
// byte; any difference means the window and the command line read an option differently.
class StartMatchesBatchTest : public QObject {
    Q_OBJECT

private:
    static std::string bytesOf(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static void setChecked(QAbstractButton* box, bool on)
    {
        if (box->isChecked() != on)
            click(box);
        QCOMPARE(box->isChecked(), on);
    }

    static void choose(QComboBox* combo, int index)
    {
        QVERIFY2(chooseItem(combo, index), qPrintable(combo->objectName()));
        QCOMPARE(combo->currentIndex(), index);
    }

    static void enter(QLineEdit* field, const QString& text)
    {
        eraseWithKeys(field);
        typeText(field, text);
        QCOMPARE(field->text(), text);
    }

    // Double-clicks a row's rotation mark `times` times (○ → ↓ ← in turn).
    static void turn(QListWidget* marks, int row, int times)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseDClick(marks->viewport(), Qt::LeftButton, {}, rowCentre(marks, row));
    }

private slots:
    void startWritesWhatTheCommandLineWrites()
    {
        TemporaryFolder folder;
        std::filesystem::create_directories(folder / "window");
        std::filesystem::create_directories(folder / "batch");
        const auto windowBook = folder / "window" / "jp_ledger.xls";
        const auto batchBook = folder / "batch" / "jp_ledger.xls";
        std::filesystem::copy_file(workbookFixture("jp_ledger.xls"), windowBook);
        std::filesystem::copy_file(workbookFixture("jp_ledger.xls"), batchBook);
        // In name order, so that sorting on a drop changes nothing.
        const std::vector<std::filesystem::path> pictures{pictureFixture("land.jpg"), pictureFixture("portrait.png"),
                                                          pictureFixture("square.bmp"), pictureFixture("tall.tif"),
                                                          pictureFixture("wide.gif")};

        Form1Fixture fixture;
        fixture.createSpreadsheet = [](FitFor fitFor) { return std::make_unique<xls::XlsApplication>(fitFor); };
        Form1& form = fixture.start();
        QVERIFY(dropFiles(form.Label20, {windowBook}));
        QCOMPARE(form.List1->count(), 1);
        QVERIFY(dropFiles(static_cast<QWidget*>(form.List2), pictures));
        QCOMPARE(form.List2->count(), 5);
        turn(form.List4, 1, 1);
        turn(form.List4, 2, 2);
        turn(form.List4, 3, 3);
        QCOMPARE(itemTexts(form.List4), (QStringList{"○", "→", "↓", "←", "○"}));

        choose(form.Combo1, 1);   // B
        choose(form.Combo2, 4);   // E
        choose(form.Combo3, 2);   // row 3
        choose(form.Combo4, 9);   // row 10
        choose(form.Combo6, 2);   // two per sheet
        choose(form.Combo5, 2);   // two empty rows
        setChecked(form.Check8, true);
        choose(form.Combo14, 1);  // one empty column inside a pair
        enter(form.Text1, QStringLiteral("80"));
        setChecked(form.Check4, false);
        eraseWithKeys(form.Text2);
        pasteInto(form.Text2, QStringLiteral("写真")); // no key types these characters
        QCOMPARE(form.Text2->text(), QStringLiteral("写真"));
        setChecked(form.Check2, true);
        choose(form.Combo7, 1);   // row 2
        choose(form.Combo8, 3);   // D
        choose(form.Combo13, 4);  // 平成13年3月14日
        setChecked(form.Check5, true);
        choose(form.Combo9, 1);   // row 2
        choose(form.Combo10, 1);  // B
        enter(form.Text3, QStringLiteral("1"));
        setChecked(form.Option1, true);
        setChecked(form.Check6, true);
        choose(form.Combo12, 1);  // row 2
        choose(form.Combo11, 6);  // G
        setChecked(form.Check9, true);

        click(form.Command1);
        QVERIFY(!fixture.messages.messages.empty());
        QCOMPARE(fixture.messages.messages.back().text, QStringLiteral("  処理終了！"));
        QCOMPARE(form.List1->count(), 4); // 台帳 and three copies, listed again

        QStringList arguments{"insert", "--force", "--columns", "B:E", "--rows", "3:10", "--spacing", "2",
                              "--per-sheet", "2", "--sheet-name", "写真", "--pair-gap", "1", "--magnification", "80",
                              "--date-caption", "2:D:4", "--number-caption", "2:B:1", "--name-caption", "2:G:noext",
                              "--marks", "0,90,180,270,0", pathText(batchBook)};
        for (const auto& picture : pictures)
            arguments << pathText(picture);
        const ProcessResult batch = runProcess(QStringLiteral(TAVORIN_BATCH_PATH), arguments);
        QVERIFY2(batch.finished && batch.exitCode == 0, qPrintable(batch.standardError));
        QVERIFY2(batch.standardOutput.startsWith(QStringLiteral("placed 5 of 5 pictures on 3 sheets")),
                 qPrintable(batch.standardOutput));

        const std::string fromWindow = bytesOf(windowBook);
        const std::string fromBatch = bytesOf(batchBook);
        QVERIFY(fromWindow != bytesOf(workbookFixture("jp_ledger.xls")));
        QCOMPARE(fromWindow.size(), fromBatch.size());
        QVERIFY2(fromWindow == fromBatch, "the window and the command line wrote different workbooks");
    }
};

QTEST_MAIN(StartMatchesBatchTest)
#include "StartMatchesBatch_test.moc"
