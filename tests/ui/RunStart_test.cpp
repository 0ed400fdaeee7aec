#include "app/RunController.h"
#include "support/Form1Fixture.h"
#include "support/RecordingSpreadsheet.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/WorkbookDrops.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::test;

// "START" in the window: the controls are read into the run, the window is held while the run
// works and given back at the end, with the final message and the sheets listed again. A workbook
// that another run or LibreOffice holds is refused before anything is read.
class RunStartTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Form1Fixture> fixture;
    std::unique_ptr<RecordingSpreadsheet> recorder;
    // The run locks the workbook it works on: a copy, so that no lock lands among the fixtures.
    std::unique_ptr<TemporaryFolder> books;
    std::filesystem::path workbook;

    Form1& startWindow()
    {
        fixture = std::make_unique<Form1Fixture>();
        recorder = std::make_unique<RecordingSpreadsheet>(std::vector<std::string>{"Sheet1", "My Sheet"});
        recorder->setColumnWidthPoints(48);
        recorder->setRowHeightPoints(15);
        fixture->createSpreadsheet = recorder->factory();
        return fixture->start();
    }

    void dropWorkbookAndPictures(Form1& form, int pictures)
    {
        books = std::make_unique<TemporaryFolder>();
        workbook = *books / "ledger.xls";
        std::filesystem::copy_file(workbookFixture("ledger.xls"), workbook);
        QVERIFY(dropFiles(form.Label20, {workbook}));
        QCOMPARE(form.List1->count(), 2);
        std::vector<std::filesystem::path> files;
        const char* names[] = {"land.jpg", "portrait.png", "wide.gif", "square.bmp"};
        for (int i = 0; i < pictures; ++i)
            files.push_back(pictureFixture(names[i % 4]));
        QVERIFY(dropFiles(form.List2, files));
        QCOMPARE(form.List2->count(), pictures);
    }

private slots:
    void missingInputsAreShownTogetherAndTheWindowStaysUsable()
    {
        Form1& form = startWindow();
        click(form.Command1);
        QCOMPARE(fixture->messages.messages.size(), std::size_t{1});
        QCOMPARE(fixture->messages.messages[0].text,
                 QStringLiteral("Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。"));
        QCOMPARE(fixture->messages.messages[0].title, QStringLiteral("確認"));
        QVERIFY(form.isEnabled());
        QVERIFY(recorder->calls().empty());
    }

    void aRunningSpreadsheetIsRefusedWithTheProgramTitle()
    {
        Form1& form = startWindow();
        dropWorkbookAndPictures(form, 1);
        fixture->runningApplications.running = true;
        click(form.Command1);
        QCOMPARE(fixture->messages.messages.back().text, QStringLiteral("Excel が起動中です。"));
        QCOMPARE(fixture->messages.messages.back().title, QStringLiteral("Tavorin"));
        QVERIFY(form.isEnabled());
        QVERIFY(!form.ProgressBar1->isVisible());
        QVERIFY(recorder->calls().empty());
    }

    void aWorkbookHeldElsewhereIsRefusedNamingTheHolder_data()
    {
        QTest::addColumn<QByteArray>("lockFile");
        QTest::addColumn<QString>("message");
        QTest::newRow("another run")
            << QByteArray("Tavorin,tanaka,pc01,07.12.2026 09:05,tavorin:pid=4242;")
            << QStringLiteral("ブック ledger.xls は別の処理（Tavorin、ユーザー tanaka、コンピューター pc01、2026/12/07 09:05 "
                              "開始）で使用中です。\r\n終わってからもう一度実行してください。");
        QTest::newRow("LibreOffice")
            << QByteArray("山田 太郎,yamada,pc02,07.12.2026 13:11,file:///home/yamada/.config/libreoffice/4;")
            << QStringLiteral("ブック ledger.xls は別の処理（LibreOffice、ユーザー 山田 太郎（yamada）、コンピューター pc02、"
                              "2026/12/07 13:11 開始）で使用中です。\r\n終わってからもう一度実行してください。");
        QTest::newRow("unreadable lock file")
            << QByteArray("?")
            << QStringLiteral("ブック ledger.xls は別の処理で使用中です（ロックファイル .~lock.ledger.xls# があります）。\r\n"
                              "使っているプログラムがなければ、このファイルを削除してからもう一度実行してください。");
    }

    void aWorkbookHeldElsewhereIsRefusedNamingTheHolder()
    {
        QFETCH(QByteArray, lockFile);
        QFETCH(QString, message);
        Form1& form = startWindow();
        dropWorkbookAndPictures(form, 2);
        const auto lockPath = *books / ".~lock.ledger.xls#";
        std::ofstream(lockPath, std::ios::binary).write(lockFile.constData(), lockFile.size());
        click(form.Command1);
        QCOMPARE(fixture->messages.messages.back().text, message);
        QCOMPARE(fixture->messages.messages.back().title, QStringLiteral("確認"));
        QVERIFY(form.isEnabled());
        QVERIFY(!form.ProgressBar1->isVisible());
        QVERIFY(recorder->calls().empty());
        std::ifstream in(lockPath, std::ios::binary);
        QCOMPARE(QByteArray::fromStdString({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}), lockFile);
    }

    void aRunHoldsTheWindowMovesTheBarAndGivesEverythingBack()
    {
        Form1& form = startWindow();
        dropWorkbookAndPictures(form, 4);
        eraseWithKeys(form.Text1);
        QCOMPARE(form.Text1->text(), QString());

        // A value left from before shows that the run starts the bar at 0.
        form.ProgressBar1->setValue(37);
        QList<int> values;
        bool heldThroughout = true;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            values << value;
            heldThroughout = heldThroughout && !form.isEnabled() && form.ProgressBar1->isVisible();
        });
        click(form.Command1);

        QCOMPARE(values, (QList<int>{0, 25, 50, 75, 100}));
        QVERIFY(heldThroughout);
        QVERIFY(form.isEnabled());
        QVERIFY(!form.ProgressBar1->isVisible());
        QCOMPARE(form.Text1->text(), QStringLiteral("100"));
        QCOMPARE(fixture->messages.messages.back().text, QStringLiteral("  処理終了！"));
        QCOMPARE(fixture->messages.messages.back().title, QStringLiteral("確認"));
        QCOMPARE(recorder->shapes("Sheet1").size(), std::size_t{4});
        QCOMPARE(recorder->savedPaths().size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(recorder->savedPaths()[0].string()), form.TextA->text());
        // The sheets are listed again after the message.
        QCOMPARE(form.List1->count(), 2);
        QCOMPARE(form.List1->currentRow(), 0);
    }

    void theControlsAreReadAsTheRunNeedsThem()
    {
        Form1& form = startWindow();
        dropWorkbookAndPictures(form, 2);
        form.List1->setCurrentRow(1);
        form.Combo2->setCurrentIndex(3);
        form.Combo1->setCurrentIndex(1);
        form.Combo4->setCurrentIndex(9);
        form.Combo3->setCurrentIndex(2);
        form.Combo5->setCurrentIndex(1);
        form.Combo6->setCurrentIndex(3);
        click(form.Check8);
        form.Combo14->setCurrentIndex(2);
        click(form.Check2);
        form.Combo7->setCurrentIndex(1);
        form.Combo8->setCurrentIndex(4);
        form.Combo13->setCurrentIndex(5);
        click(form.Check5);
        form.Text3->setText(QStringLiteral("7"));
        click(form.Option2);
        click(form.Check6);
        click(form.Check9);
        click(form.Check4);

        RunOptions options = RunController::readOptions(form);
        QVERIFY(options.workbookChosen);
        QCOMPARE(options.sheetNames, (QStringList{"Sheet1", "My Sheet"}));
        QCOMPARE(options.selectedSheet, 1);
        QCOMPARE(options.pictures.size(), std::size_t{2});
        QCOMPARE(options.pictures[0].name, QStringLiteral(" land.jpg"));
        QCOMPARE(options.pictures[0].mark, QStringLiteral("○"));
        QCOMPARE(options.startColumn, 2);
        QCOMPARE(options.endColumn, 4);
        QCOMPARE(options.startRow, 3.0);
        QCOMPARE(options.endRow, 10.0);
        QCOMPARE(options.startRowIndex, 2);
        QCOMPARE(options.rowSpacing, 1);
        QCOMPARE(options.picturesPerSheet, 3);
        QVERIFY(options.twoColumnForm);
        QVERIFY(!options.singleColumnForm);
        QCOMPARE(options.pairGap, 2);
        QVERIFY(options.dateCaption.on);
        QCOMPARE(options.dateCaption.row, 2.0);
        QCOMPARE(options.dateCaption.column, 5);
        QCOMPARE(options.dateFormat, 5);
        QVERIFY(options.numberCaption.on);
        QCOMPARE(options.firstNumberText, QStringLiteral("7"));
        QVERIFY(!options.numberWithPrefix);
        QVERIFY(options.nameCaption.on);
        QVERIFY(options.nameWithoutExtension);
        QVERIFY(options.sheetNameFromDate);
    }
};

QTEST_MAIN(RunStartTest)
#include "RunStart_test.moc"
