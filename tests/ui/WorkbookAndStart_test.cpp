// The workbook side of the window and "START": the workbook drop and the sheet listing, the input
// checks, the refusals while the workbook is held, and the run on the native engine, judged by
// Apache POI and by what tavorin-batch writes for the same choices.
#include "support/CompoundFileBuilder.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/TestPaths.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <fstream>
#include <map>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const QString ledgerSheets = QStringLiteral("Sheet1|My Sheet");
const QString completion = QStringLiteral("  処理終了！");

// What Apache POI reads (the shared runner; a reader that is missing or fails fails the test
// here, since the checks of Oracles.h report to GoogleTest).
QJsonObject poiReportOf(const std::filesystem::path& workbook)
{
    const ProcessResult poi = runPoiDump(workbook);
    const QJsonDocument report = QJsonDocument::fromJson(poi.standardOutput.toUtf8());
    if (!report.isObject())
        QTest::qFail(qPrintable("Apache POI gave no report (scripts/install-deps.sh installs it). " + poi.standardError),
                     __FILE__, __LINE__);
    return report.object();
}

QJsonArray poiSheets(const std::filesystem::path& workbook) { return poiReportOf(workbook)["sheets"].toArray(); }

// A file of the test's own: a fixture ("workbooks/ledger.xls"), "half:" its first half, "html", or
// "encrypted" (a password-protected Office package).
std::filesystem::path makeFile(const Window& window, const QString& file, const QString& as)
{
    const auto path = window.folder() / as.toStdString();
    if (file == QLatin1String("html")) {
        std::ofstream(path) << "<html><body><table><tr><td>1</td></tr></table></body></html>";
    } else if (file == QLatin1String("encrypted")) { // Office's form of a password-protected package
        CompoundFileBuilder package;
        package.addStream(u"EncryptedPackage", Bytes(4096, 7));
        writeFile(path, package.build());
    } else
        std::filesystem::copy_file(fixture(file.section(':', -1).toStdString()), path);
    if (file.startsWith(QLatin1String("half:")))
        std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    return path;
}

bool heldOpen(const std::filesystem::path& file)
{
    std::error_code error;
    for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd"))
        if (std::filesystem::read_symlink(descriptor.path(), error) == std::filesystem::canonical(file))
            return true;
    return false;
}

// Drops a copy of a fixture workbook (unless told not to) and some fixture pictures on the window.
std::filesystem::path dropWorkbookAndPictures(Window& window, const std::string& workbook, const QStringList& pictures,
                                              bool dropWorkbook = true)
{
    const auto copy = copyWorkbook(window.folder().path(), workbook);
    if (dropWorkbook)
        dropFiles(window.form().Label20, {pathText(copy)});
    QStringList paths;
    for (const QString& picture : pictures)
        paths.append(pathText(pictureFixture(picture.toStdString())));
    dropFiles(window.form().List2, paths);
    return copy;
}

bool unchanged(const std::filesystem::path& copy, const std::string& fixture)
{
    return fileBytes(copy) == fileBytes(workbookFixture(fixture));
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
        QTest::addColumn<QString>("sheets");  // empty: refused, the listing stays as it was
        QTest::addColumn<QString>("message"); // how a refusal's message starts; empty: none
        const QString unreadable = QStringLiteral("ブック %1 を読み込めません。");
        QTest::newRow("sheets, no defined name") << "workbooks/ledger.xls" << "ledger.xls" << "Label20" << ledgerSheets << "";
        for (const char* target : {"Label1", "Label2", "List1", "Command1", "Frame2", "Text1"})
            QTest::addRow("on %s", target) << "workbooks/namesdemo.xls" << "namesdemo.xls" << target
                                           << "Sheet1|Sheet2|Sheet3|Seamus O'Reilly" << "";
        QTest::newRow("XLS") << "workbooks/ledger.xls" << "Book1.XLS" << "List1" << ledgerSheets << "";
        QTest::newRow("Xls") << "workbooks/ledger.xls" << "Book1.Xls" << "Label20" << "" << "";
        QTest::newRow("no ending") << "workbooks/ledger.xls" << "Book1" << "Label20" << "" << "";
        QTest::newRow("a picture on the sheet list") << "pictures/land.jpg" << "land.jpg" << "List1" << "" << "";
        QTest::newRow("the content decides") << "workbooks/ledger.xls" << "Book1.xlsx" << "Label20" << ledgerSheets << "";
        QTest::newRow("xlsx") << "workbooks/jp_ledger.xlsx" << "台帳.Xlsx" << "Label20" << "台帳" << "";
        QTest::newRow("XLSM") << "workbooks/ledger_macro.xlsm" << "Book1.XLSM" << "Label20" << ledgerSheets << "";
        QTest::newRow("xlsb") << "workbooks/StockPortfolio.xlsx" << "book.xlsb" << "Label20" << ""
                              << "バイナリ形式（.xlsb）のブックには対応していません。";
        QTest::newRow("encrypted package") << "encrypted" << "secret.xlsx" << "Label20" << ""
                                           << "暗号化された（パスワード付きの）ブックは開けません。";
        QTest::newRow("damaged") << "half:workbooks/ledger.xls" << "damaged.xls" << "Label20" << "" << unreadable.arg("damaged.xls");
        QTest::newRow("a web page") << "html" << "report.xls" << "Label20" << "" << unreadable.arg("report.xls");
        QTest::newRow("BIFF4") << "workbooks/biff4_no_format_no_window2.xls" << "old.xls" << "Label20" << ""
                               << unreadable.arg("old.xls");
        QTest::newRow("encrypted") << "workbooks/xor-encryption-abc.xls" << "secret.xls" << "Label20" << ""
                                   << unreadable.arg("secret.xls") + "\r\nパスワードで保護（暗号化）されたブックです。";
        QTest::newRow("Japanese name, a blank") << "workbooks/jp_ledger.xls" << "台帳 2026.xls" << "Frame2" << "台帳" << "";
    }

    void aDroppedFileIsListed()
    {
        QFETCH(QString, file);
        QFETCH(QString, as);
        QFETCH(QString, target);
        QFETCH(QString, sheets);
        QFETCH(QString, message);
        Window window;
        Form1& form = window.start();
        const QString plain = pathText(workbookFixture("plain.xls"));
        QVERIFY(dropFiles(form.Label20, {plain}));
        const auto path = makeFile(window, file, as);
        QVERIFY(dropFiles(form.findChild<QWidget*>(target), {pathText(path)}));
        // A refused or failed drop changes nothing: the workbook listed before stays.
        const bool taken = !sheets.isEmpty();
        expectStates(&form, {"TextA=" + (taken ? pathText(path) : plain), "Label1= " + (taken ? as : "plain.xls"),
                             "List1=" + (taken ? sheets : "Sheet1"), "List1:shown", "Text1=100"});
        QCOMPARE(form.List1->currentRow(), 0);
        QCOMPARE(window.lastMessage().left(message.size()), message);
        QCOMPARE(window.messages.size(), std::size_t{message.isEmpty() ? 0u : 1u}); // no run started either
        QVERIFY(!heldOpen(path));
    }

    void aWorkbookInUseKeepsTheListingOfTheFirstOfTwo()
    {
        Window window;
        Form1& form = window.start();
        const auto ledger = copyWorkbook(window.folder().path(), "ledger.xls");
        const auto names = copyWorkbook(window.folder().path(), "namesdemo.xls");
        QVERIFY(dropFiles(form.Label2, {pathText(ledger), pathText(names)})); // the first of two is taken
        clickRow(form.List1, 1);
        writeFile(window.folder() / "~$namesdemo.xls", Bytes{0}); // Excel has it open
        dropFiles(form.Label20, {pathText(names)});
        QCOMPARE(window.messages.size(), std::size_t{1});
        QCOMPARE(window.messages[0].text + window.messages[0].title, QStringLiteral("Excel が起動中です。Tavorin"));
        expectStates(&form, {"TextA=" + pathText(ledger), "Label1= ledger.xls", "List1=" + ledgerSheets});
        QCOMPARE(form.List1->currentRow(), 1);
        // START works on the workbook still listed, on its chosen sheet; the refused one is untouched.
        const Bytes refused = fileBytes(names);
        dropFiles(form.List2, {pathText(pictureFixture("land.jpg"))});
        click(form.Command1);
        QCOMPARE(window.lastMessage(), completion);
        QCOMPARE(poiSheets(ledger)[1].toObject()["pictures"].toArray().size(), 1);
        QVERIFY(fileBytes(names) == refused);
    }

    void startEndsWithItsMessage_data()
    {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QStringList>("pictures");
        QTest::addColumn<QStringList>("actions"); // on the window, or "write NAME TEXT" beside it, or "read-only"
        QTest::addColumn<QString>("message");     // "title: text"; "…" at its end: and more
        QTest::addColumn<int>("placed");          // pictures on the first sheet; -1: the file stays as it was
        const QString workbook = QStringLiteral("Excelファイルを指定して下さい。");
        const QString pictures = QStringLiteral("画像ファイルを指定して下さい。");
        const QString sheetName = QStringLiteral("挿入SHEET名を指定して下さい。");
        const QString done = QStringLiteral("確認:   処理終了！\r\n\r\n");
        QTest::newRow("nothing") << "" << QStringList{} << QStringList{} << "確認: " + workbook + "\r\n" + pictures << -1;
        QTest::newRow("nothing, copies without a name")
            << "" << QStringList{} << QStringList{"choose Combo6 2"}
            << "確認: " + workbook + "\r\n" + pictures + "\r\n" + sheetName << -1;
        QTest::newRow("no pictures") << "ledger.xls" << QStringList{} << QStringList{} << "確認: " + pictures << -1;
        QTest::newRow("no workbook, copies named by date")
            << "" << QStringList{"land.jpg"} << QStringList{"choose Combo6 5", "click Check4"} << "確認: " + workbook
            << -1;
        QTest::newRow("copies without a name")
            << "ledger.xls" << QStringList{"land.jpg"} << QStringList{"choose Combo6 2"}
                                               << "確認: " + sheetName << -1;
        QTest::newRow("open in Excel") << "ledger.xls" << QStringList{"land.jpg"} << QStringList{"write ~$ledger.xls x"}
                                       << "Tavorin: Excel が起動中です。" << -1;
        QTest::newRow("held by another run")
            << "ledger.xls" << QStringList{"land.jpg"}
            << QStringList{"write .~lock.ledger.xls# Tavorin,tanaka,pc01,07.12.2026 09:05,tavorin:pid=4242;"}
            << "確認: ブック ledger.xls は別の処理（Tavorin、ユーザー tanaka、コンピューター pc01、2026/12/07 09:05 開始）"
               "で使用中です。\r\n終わってからもう一度実行してください。" << -1;
        QTest::newRow("a picture that cannot be read")
            << "ledger.xls" << QStringList{"wide.gif", "broken.jpg"} << QStringList{}
                                                       << done + "配置できなかった画像：\r\nbroken.jpg … …" << 1;
        QTest::newRow("a read-only workbook") << "ledger.xls" << QStringList{"wide.gif"} << QStringList{"read-only"}
                                              << done + "ledger.xls は保存されませんでした。\r\n…" << -1;
    }

    void startEndsWithItsMessage()
    {
        QFETCH(QString, workbook);
        QFETCH(QStringList, pictures);
        QFETCH(QStringList, actions);
        QFETCH(QString, message);
        QFETCH(int, placed);
        Window window;
        Form1& form = window.start();
        const std::string fixture = workbook.isEmpty() ? "ledger.xls" : workbook.toStdString();
        const auto copy = dropWorkbookAndPictures(window, fixture, pictures, !workbook.isEmpty());
        std::map<std::filesystem::path, Bytes> written; // lock files beside the workbook
        for (const QString& action : actions) {
            const std::string text = action.section(' ', 2).toStdString();
            const auto file = window.folder() / action.section(' ', 1, 1).toStdString();
            if (action.startsWith(QLatin1String("write ")))
                writeFile(file, written[file] = Bytes(text.begin(), text.end()));
            else if (action == QLatin1String("read-only"))
                std::filesystem::permissions(copy, std::filesystem::perms::owner_read);
            else
                perform(&form, {action});
        }
        click(form.Command1);
        QCOMPARE(window.messages.size(), std::size_t{1});
        const QString shown = window.messages[0].title + ": " + window.messages[0].text;
        QVERIFY2(message.endsWith("…") ? shown.startsWith(message.chopped(1)) : shown == message, qPrintable(shown));
        QVERIFY(form.isEnabled() && !form.ProgressBar1->isVisible());
        for (const auto& [file, bytes] : written)
            QVERIFY(fileBytes(file) == bytes);
        if (placed < 0)
            QVERIFY(unchanged(copy, fixture));
        else
            QCOMPARE(poiSheets(copy)[0].toObject()["pictures"].toArray().size(), placed);
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
        perform(&form, {"choose Combo1 1", "choose Combo2 2", "choose Combo3 1", "choose Combo4 4",
                        "choose Combo5 1", "erase Text1"});
        form.ProgressBar1->setValue(37);
        QList<int> values;
        bool heldThroughout = true;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            values << value;
            heldThroughout = heldThroughout && !form.isEnabled() && form.ProgressBar1->isVisible();
        });
        // The window is served while the run works (it stays drawn), but a close waits for the run.
        bool servedDuringRun = false, closeRefused = true;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, &form, [&] {
            servedDuringRun = servedDuringRun || form.ProgressBar1->isVisible();
            closeRefused = closeRefused && !form.close();
        });
        ticks.start(0);
        click(form.Command1);
        ticks.stop();
        QVERIFY(servedDuringRun && closeRefused && form.isVisible());
        // Placing fills the first half of the bar, saving the rest.
        QVERIFY(values.size() > 5);
        QCOMPARE(values.mid(0, 4), (QList<int>{0, 12, 25, 37}));
        QVERIFY(std::is_sorted(values.begin(), values.end()) && values.back() == 100);
        QVERIFY(heldThroughout && form.isEnabled() && !form.ProgressBar1->isVisible());
        QCOMPARE(window.messages.back().title + ": " + window.lastMessage(), "確認: " + completion);
        expectStates(&form, {"Text1=100", "List1=" + ledgerSheets});
        QCOMPARE(form.List1->currentRow(), 0); // listed again

        const QJsonObject report = poiReportOf(workbook);
        const QJsonArray sheets = report["sheets"].toArray(), pictures = sheets[1]["pictures"].toArray();
        QVERIFY(sheets[0]["pictures"].toArray().isEmpty() && pictures.size() == 4);
        // The marks reach the run (where each picture lands is the engine's test, and the same choices
        // give the command line's bytes: startWritesWhatTheCommandLineWrites).
        for (int k = 0; k < 4; ++k)
            QCOMPARE(pictures[k].toObject()["rotation"].toInt(), (std::array{0, 90, 180, 0})[std::size_t(k)]);
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
        for (int row = 1; row <= 3; ++row)
            doubleClickRow(form.List4, row, row);
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
        QVERIFY(!unchanged(windowBook, "jp_ledger.xls"));
        // The engine writes without clock or random ids: the same choices give the same bytes.
        QVERIFY2(fileBytes(windowBook) == fileBytes(batchBook), "the window and tavorin-batch wrote different files");
        // The sheets listed again are those of the written workbook.
        QStringList written;
        for (const auto& sheet : poiSheets(windowBook))
            written.append(sheet.toObject()["name"].toString());
        QCOMPARE(written.size(), 4);
        QCOMPARE(itemTexts(form.List1), written);
    }
};

QTEST_MAIN(WorkbookAndStartTest)
#include "WorkbookAndStart_test.moc"
