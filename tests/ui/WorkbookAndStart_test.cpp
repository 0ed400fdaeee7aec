// The workbook side of the window and "START": the workbook drop on its targets and the sheet
// listing, the input checks, the refusals while the workbook is held, and the run on the native
// engine judged by Apache POI and by what tavorin-batch writes for the same choices.
#include "support/ExcelGrid.h"
#include "support/Files.h"
#include "support/FittedFrame.h"
#include "support/PoiReport.h"
#include "support/ProcessResult.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QJsonArray>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const QString ledgerSheets = QStringLiteral("Sheet1|My Sheet");
const QString completion = QStringLiteral("  処理終了！");

// A file of the test's own from a fixture ("workbooks/ledger.xls"), "half:" its first half, or
// "html" a web page.
std::filesystem::path makeFile(const Window& window, const QString& file, const QString& as)
{
    const auto path = window.folder() / as.toStdString();
    if (file == QLatin1String("html")) {
        const QByteArray page("<html><body><table><tr><td>1</td></tr></table></body></html>");
        writeFile(path, Bytes(page.begin(), page.end()));
        return path;
    }
    std::filesystem::copy_file(fixture(file.section(':', -1).toStdString()), path);
    if (file.startsWith(QLatin1String("half:")))
        std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    return path;
}

bool heldOpen(const std::filesystem::path& file)
{
    for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(descriptor.path(), error) == std::filesystem::canonical(file))
            return true;
    }
    return false;
}

// The window with a copy of a fixture workbook and some fixture pictures dropped on it.
std::filesystem::path dropWorkbookAndPictures(Window& window, const std::string& workbook, const QStringList& pictures)
{
    const auto copy = copyWorkbook(window.folder().path(), workbook);
    Form1& form = window.form();
    dropFiles(form.Label20, {pathText(copy)});
    QStringList paths;
    for (const QString& picture : pictures)
        paths.append(pathText(pictureFixture(picture.toStdString())));
    dropFiles(form.List2, paths);
    return copy;
}

} // namespace

class WorkbookAndStartTest : public QObject {
    Q_OBJECT

private slots:
    void aDroppedFileIsListed_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("as");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("sheets");
        const QString names = QStringLiteral("Sheet1|Sheet2|Sheet3|Seamus O'Reilly");
        QTest::newRow("sheets only, no defined name") << "workbooks/ledger.xls" << "ledger.xls" << "Label20" << " ledger.xls" << ledgerSheets;
        for (const char* target : {"Label1", "Label2", "List1", "Command1", "Frame2", "Text1"})
            QTest::addRow("on %s", target) << "workbooks/namesdemo.xls" << "namesdemo.xls" << target << " namesdemo.xls" << names;
        QTest::newRow("XLS") << "workbooks/ledger.xls" << "Book1.XLS" << "List1" << " Book1.XLS" << ledgerSheets;
        QTest::newRow("Xls refused") << "workbooks/ledger.xls" << "Book1.Xls" << "Label20" << "" << "";
        QTest::newRow("xlsx refused") << "workbooks/ledger.xls" << "Book1.xlsx" << "Label20" << "" << "";
        QTest::newRow("no ending refused") << "workbooks/ledger.xls" << "Book1" << "Label20" << "" << "";
        QTest::newRow("a picture on the sheet list") << "pictures/land.jpg" << "land.jpg" << "List1" << "" << "";
        QTest::newRow("damaged") << "half:workbooks/ledger.xls" << "damaged.xls" << "Label20" << " damaged.xls" << "";
        QTest::newRow("a web page") << "html" << "report.xls" << "Label20" << " report.xls" << "";
        QTest::newRow("BIFF4") << "workbooks/biff4_no_format_no_window2.xls" << "old.xls" << "Label20" << " old.xls" << "";
        QTest::newRow("encrypted") << "workbooks/xor-encryption-abc.xls" << "secret.xls" << "Label20" << " secret.xls" << "";
        QTest::newRow("Japanese name with a blank")
            << "workbooks/jp_ledger.xls" << "台帳 2026.xls" << "Frame2" << " 台帳 2026.xls" << "台帳";
    }

    void aDroppedFileIsListed()
    {
        QFETCH(QString, file);
        QFETCH(QString, as);
        QFETCH(QString, target);
        QFETCH(QString, label);
        QFETCH(QString, sheets);
        Window window;
        Form1& form = window.start();
        QVERIFY(dropFiles(form.Label20, {pathText(workbookFixture("plain.xls"))}));
        const auto path = makeFile(window, file, as);
        QVERIFY(dropFiles(form.findChild<QWidget*>(target), {pathText(path)}));
        expectStates(&form, {"TextA=" + pathText(path), "Label1=" + label, "List1=" + sheets, "List1:shown", "Text1=100"});
        QCOMPARE(form.List1->currentRow(), sheets.isEmpty() ? -1 : 0);
        QVERIFY(window.messages.empty()); // no run started either
        QVERIFY(!heldOpen(path));
    }

    void aWorkbookInUseOrADropWithoutAFileKeepsTheListing()
    {
        Window window;
        Form1& form = window.start();
        const auto ledger = copyWorkbook(window.folder().path(), "ledger.xls");
        const auto names = copyWorkbook(window.folder().path(), "namesdemo.xls");
        QVERIFY(dropFiles(form.Label2, {pathText(ledger), pathText(names)})); // the first of two is taken
        clickRow(form.List1, 1);
        QMimeData text;
        text.setText(QStringLiteral("Sheet9"));
        QVERIFY(!dropData(form.Label1, text));
        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/book.xls"))});
        dropData(form.List1, web);
        expectStates(&form, {"TextA=" + pathText(ledger), "Label1= ledger.xls", "List1=" + ledgerSheets});
        QVERIFY(window.messages.empty());

        writeFile(window.folder() / "~$namesdemo.xls", Bytes{0}); // Excel has it open
        dropFiles(form.Label20, {pathText(names)});
        QCOMPARE(window.lastMessage(), QStringLiteral("Excel が起動中です。"));
        QCOMPARE(window.messages.back().title, QStringLiteral("Tavorin"));
        expectStates(&form, {"TextA=" + pathText(names), "Label1= ledger.xls", "List1=" + ledgerSheets});
        QCOMPARE(form.List1->currentRow(), 1);
    }

    void startChecksItsInputsFirst_data()
    {
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("message");
        const QString noWorkbook = QStringLiteral("Excelファイルを指定して下さい。");
        const QString noPictures = QStringLiteral("画像ファイルを指定して下さい。");
        const QString noSheetName = QStringLiteral("挿入SHEET名を指定して下さい。");
        QTest::newRow("nothing") << false << false << QStringList{} << noWorkbook + "\r\n" + noPictures;
        QTest::newRow("nothing, copies without a name")
            << false << false << QStringList{"choose Combo6 2"} << noWorkbook + "\r\n" + noPictures + "\r\n" + noSheetName;
        QTest::newRow("no pictures") << true << false << QStringList{} << noPictures;
        QTest::newRow("no workbook, copies named by date")
            << false << true << QStringList{"choose Combo6 5", "click Check4"} << noWorkbook;
        QTest::newRow("copies without a name") << true << true << QStringList{"choose Combo6 2"} << noSheetName;
    }

    void startChecksItsInputsFirst()
    {
        QFETCH(bool, workbook);
        QFETCH(bool, pictures);
        QFETCH(QStringList, actions);
        QFETCH(QString, message);
        Window window;
        Form1& form = window.start();
        const auto copy = copyWorkbook(window.folder().path(), "ledger.xls");
        if (workbook)
            dropFiles(form.Label20, {pathText(copy)});
        if (pictures)
            dropFiles(form.List2, {pathText(pictureFixture("land.jpg"))});
        perform(&form, actions);
        click(form.Command1);
        QCOMPARE(window.messages.size(), std::size_t{1});
        QCOMPARE(window.messages[0].text, message);
        QCOMPARE(window.messages[0].title, QStringLiteral("確認"));
        QVERIFY(form.isEnabled() && !form.ProgressBar1->isVisible());
        QVERIFY(fileBytes(copy) == fileBytes(workbookFixture("ledger.xls")));
    }

    void startIsRefusedWhileTheWorkbookIsHeld_data()
    {
        QTest::addColumn<QString>("lockFile");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("open in Excel") << "~$ledger.xls" << QByteArray("x") << "Excel が起動中です。" << "Tavorin";
        QTest::newRow("another run")
            << ".~lock.ledger.xls#" << QByteArray("Tavorin,tanaka,pc01,07.12.2026 09:05,tavorin:pid=4242;")
            << "ブック ledger.xls は別の処理（Tavorin、ユーザー tanaka、コンピューター pc01、2026/12/07 09:05 開始）で使用中です。"
               "\r\n終わってからもう一度実行してください。"
            << "確認";
    }

    void startIsRefusedWhileTheWorkbookIsHeld()
    {
        QFETCH(QString, lockFile);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, title);
        Window window;
        Form1& form = window.start();
        const auto workbook = dropWorkbookAndPictures(window, "ledger.xls", {"land.jpg", "wide.gif"});
        const auto lock = window.folder() / lockFile.toStdString();
        writeFile(lock, Bytes(content.begin(), content.end()));
        click(form.Command1);
        QCOMPARE(window.lastMessage(), message);
        QCOMPARE(window.messages.back().title, title);
        QVERIFY(form.isEnabled() && !form.ProgressBar1->isVisible());
        QVERIFY(fileBytes(workbook) == fileBytes(workbookFixture("ledger.xls")));
        QVERIFY(fileBytes(lock) == Bytes(content.begin(), content.end()));
    }

    void startRunsOnTheEngineAndGivesTheWindowBack()
    {
        Window window;
        Form1& form = window.start();
        const auto workbook =
            dropWorkbookAndPictures(window, "ledger.xls", {"land.jpg", "portrait.png", "wide.gif", "square.bmp"});
        doubleClickRow(form.List4, 1);    // 90°
        doubleClickRow(form.List4, 2, 2); // 180°
        clickRow(form.List1, 1);          // "My Sheet"
        // Blocks B:C of rows 2 to 5, one empty row between them; a blank magnification.
        perform(&form, {"choose Combo1 1", "choose Combo2 2", "choose Combo3 1", "choose Combo4 4", "choose Combo5 1",
                        "erase Text1"});
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
        QVERIFY(form.isEnabled() && !form.ProgressBar1->isVisible());
        QCOMPARE(window.lastMessage(), completion);
        QCOMPARE(window.messages.back().title, QStringLiteral("確認"));
        expectStates(&form, {"Text1=100", "List1=" + ledgerSheets});
        QCOMPARE(form.List1->currentRow(), 0); // listed again

        const auto report = poiReportFor(workbook);
        QVERIFY(report);
        QCOMPARE(poiSheet(*report, "Sheet1")["pictures"].toArray().size(), 0);
        const QJsonObject sheet = poiSheet(*report, "My Sheet");
        const QJsonArray pictures = sheet["pictures"].toArray();
        QCOMPARE(pictures.size(), 4);
        const auto grid = ExcelGrid::fromPoi(*report, sheet);
        QVERIFY(grid);
        // Natural sizes in points at 96 dpi: 320 x 240, 240 x 320, 200 x 100, 150 x 150 pixels.
        const double natural[4][2] = {{240, 180}, {180, 240}, {150, 75}, {112.5, 112.5}};
        const int degrees[4] = {0, 90, 180, 0};
        for (int k = 0; k < 4; ++k) {
            const QJsonObject picture = pictures[k].toObject();
            const PointRect frame = fittedFrame(grid->block(2 + 5 * k, 2, 5 + 5 * k, 3), natural[k][0], natural[k][1], degrees[k], 1.0);
            const PointRect anchored = grid->anchorRect(picture["anchor"].toArray());
            QVERIFY2(std::abs(anchored.left - frame.left) <= 0.5 && std::abs(anchored.top - frame.top) <= 0.5 &&
                         std::abs(anchored.width - frame.width) <= 0.5 && std::abs(anchored.height - frame.height) <= 0.5,
                     qPrintable(QStringLiteral("picture %1 at %2, %3, %4 x %5; expected %6, %7, %8 x %9").arg(k)
                                    .arg(anchored.left).arg(anchored.top).arg(anchored.width).arg(anchored.height)
                                    .arg(frame.left).arg(frame.top).arg(frame.width).arg(frame.height)));
            QCOMPARE(picture["rotation"].toInt(), degrees[k]);
        }
    }

    void startSaysWhatItCouldNotDo_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("placed"); // on Sheet1 of the saved workbook; -1: the file stays as it was
        QTest::newRow("a picture that cannot be read") << "ledger.xls" << QStringList{"land.jpg", "broken.jpg"} << false
                                                       << "\r\n\r\n配置できなかった画像：\r\nbroken.jpg … " << 1;
        QTest::newRow("a read-only workbook") << "ledger.xls" << QStringList{"land.jpg"} << true
                                              << "\r\n\r\nledger.xls は保存されませんでした。" << -1;
        QTest::newRow("an encrypted workbook") << "xor-encryption-abc.xls" << QStringList{"land.jpg"} << false
                                               << "パスワードで保護（暗号化）されたブックです。" << -1;
    }

    void startSaysWhatItCouldNotDo()
    {
        QFETCH(QString, workbook);
        QFETCH(QStringList, pictures);
        QFETCH(bool, readOnly);
        QFETCH(QString, says);
        QFETCH(int, placed);
        Window window;
        Form1& form = window.start();
        const auto copy = dropWorkbookAndPictures(window, workbook.toStdString(), pictures);
        if (readOnly)
            std::filesystem::permissions(copy, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
        click(form.Command1);
        QVERIFY2(window.lastMessage().startsWith(completion) && window.lastMessage().contains(says),
                 qPrintable(window.lastMessage()));
        QVERIFY(form.isEnabled());
        if (placed < 0) {
            QVERIFY(fileBytes(copy) == fileBytes(workbookFixture(workbook.toStdString())));
        } else if (const auto report = poiReportFor(copy)) {
            QCOMPARE(poiSheet(*report, "Sheet1")["pictures"].toArray().size(), placed);
        }
    }

    void startWritesWhatTheCommandLineWrites()
    {
        Window window;
        Form1& form = window.start();
        std::filesystem::create_directories(window.folder() / "batch");
        const auto batchBook = copyWorkbook(window.folder() / "batch", "jp_ledger.xls");
        // In name order, so that a sort on the drop would change nothing.
        const QStringList pictures{"land.jpg", "portrait.png", "square.bmp", "tall.tif", "wide.gif"};
        const auto windowBook = dropWorkbookAndPictures(window, "jp_ledger.xls", pictures);
        doubleClickRow(form.List4, 1, 1);
        doubleClickRow(form.List4, 2, 2);
        doubleClickRow(form.List4, 3, 3);
        perform(&form, {"choose Combo1 1", "choose Combo2 4", "choose Combo3 2", "choose Combo4 9", "choose Combo6 2",
                        "choose Combo5 2", "click Check8", "choose Combo14 1", "erase Text1", "type Text1 80",
                        "paste Text2 写真", "click Check2", "choose Combo7 1", "choose Combo8 3", "choose Combo13 4",
                        "click Check5", "choose Combo9 1", "choose Combo10 1", "erase Text3", "type Text3 1",
                        "click Check6", "choose Combo12 1", "choose Combo11 6", "click Check9"});
        click(form.Command1);
        QCOMPARE(window.lastMessage(), completion);

        QStringList arguments{"insert", "--force", "--columns", "B:E", "--rows", "3:10", "--spacing", "2",
                              "--per-sheet", "2", "--sheet-name", "写真", "--pair-gap", "1", "--magnification", "80",
                              "--date-caption", "2:D:4", "--number-caption", "2:B:1", "--name-caption", "2:G:noext",
                              "--marks", "0,90,180,270,0", pathText(batchBook)};
        for (const QString& picture : pictures)
            arguments << pathText(pictureFixture(picture.toStdString()));
        const ProcessResult batch = runProcess(QStringLiteral(TAVORIN_BATCH_PATH), arguments);
        QVERIFY2(batch.finished && batch.exitCode == 0, qPrintable(batch.standardError));
        QVERIFY(fileBytes(windowBook) != fileBytes(workbookFixture("jp_ledger.xls")));
        // The engine writes without clock or random ids: the same choices give the same bytes.
        QVERIFY2(fileBytes(windowBook) == fileBytes(batchBook), "the window and the command line wrote different workbooks");
        // The sheets listed again are those of the written workbook.
        if (const auto report = poiReportFor(windowBook)) {
            QStringList names;
            for (const auto& sheet : (*report)["sheets"].toArray())
                names.append(sheet.toObject()["name"].toString());
            QCOMPARE(names.size(), 4);
            QCOMPARE(itemTexts(form.List1), names);
        }
    }
};

QTEST_MAIN(WorkbookAndStartTest)
#include "WorkbookAndStart_test.moc"
