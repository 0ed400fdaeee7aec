// The main window as it first comes up, the About window, and the program started twice.
#include "app/ProgramEnd.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// Worksheet column i (0-based) by the usual naming, with the blanks of the long form (four
// before one letter, two before two) or the short form (two, none).
QStringList columnNames(bool longForm)
{
    QStringList names;
    for (int i = 0; i < 256; ++i)
        names.append(QString(longForm ? (i < 26 ? 4 : 2) : (i < 26 ? 2 : 0), ' ') +
                     (i < 26 ? QString(QChar('A' + i)) : QString(QChar('A' + i / 26 - 1)) + QChar('A' + i % 26)));
    return names;
}

QStringList numbers(int first, int last)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts.append(QString::number(n));
    return texts;
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

bool aboutIsGone(const Form1& form)
{
    return QTest::qWaitFor([&form] { return form.aboutWindow() == nullptr; }, 2000);
}

} // namespace

class WindowStartTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsTheFirstStartValuesAndCreatesAnEmptySettingsFile()
    {
        Window window;
        QVERIFY(!std::filesystem::exists(window.settingsFile()));
        Form1& form = window.start();
        QCOMPARE(std::filesystem::file_size(window.settingsFile()), std::uintmax_t{0});
        expectStates(&form, {
            "Combo1=    A", "Combo2=    A", "Combo3=1", "Combo4=1", "Combo5=0", "Combo6=ALL", "Text1=100",
            "Combo7=1", "Combo8=  A", "Combo13=2001年3月14日", "Text3=0", "Option1=on", "Option2=off", "Combo9=1",
            "Combo10=  A", "Combo12=1", "Combo11=  A", "Combo14=0", "Check7=on", "Check1=off", "Check2=off",
            "Check3=off", "Check4=off", "Check5=off", "Check6=off", "Check8=off", "Check9=off", "Text2=", "Label1=",
            "List1=", "List2=", "DATACount=", "TextA=TextA", "Label2=挿入SHEET選択",
            // the three caption groups are off
            "Combo7:disabled", "Label18:disabled", "Combo8:disabled", "Combo13:disabled", "Label19:disabled",
            "Label12:disabled", "Combo9:disabled", "Label23:disabled", "Combo10:disabled", "Label24:disabled",
            "Option1:disabled", "Option2:disabled", "Text3:disabled", "Text3:light", "Combo11:disabled",
            "Label25:disabled", "Combo12:disabled", "Label26:disabled", "Check9:disabled",
            // the sheet-name group and the pair spacing are hidden
            "Text2:hidden", "Label17:hidden", "Shape4:hidden", "Check4:hidden", "Line11:hidden", "Line14:hidden",
            "Line15:hidden", "Combo14:hidden", "Label33:hidden", "Label34:hidden", "Combo5:shown", "Check7:shown",
            "Check8:shown", "ProgressBar1:hidden", "Command1:enabled", "TextA:hidden", "List3:hidden"});
        QVERIFY(window.messages.empty());
        const QStringList captions{
            "Label11=画像ファイル (Drag＆Drop)", "Label15=回転", "Label3=Files", "Label20=  Ｅｘｃｅｌファイル (Drag ＆ Drop)",
            "Label17=挿入SHEET名", "Label6=START列", "Label5=END列", "Label8=ＳＴＡＲＴ行", "Label9=ＥＮＤ行", "Label7=画 像",
            "Label4= 画像 間隔", "Label10= 1SHEET 挿入数", "Label13= 画像 倍率", "Label35=挿入形式",
            "Label16=○： 　　０°→： 　９０°↓： １８０°←：－９０°", "Command1=START", "Command2=Ｖｅｒ",
            "Command3=ＥＮＤ", "LISTClear=Clear", "Check1=同一ファイル名挿入除外", "Check2=画像作成日", "Check3=ソート",
            "Check4=日付け適用", "Check5=連番", "Check6=ファイル名", "Check9=拡張子なし", "Option1=No.1", "Option2= 1",
            "Frame1=挿入画像指定", "Frame3=貼り付け先"};
        for (const QString& caption : captions) {
            QObject* control = form.findChild<QObject*>(caption.section('=', 0, 0));
            QVERIFY2(control != nullptr, qPrintable(caption));
            QCOMPARE(control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString(),
                     caption.section('=', 1));
        }
        QCOMPARE(form.List2->toolTip(), QStringLiteral(" ﾘｽﾄ項目をDrag＆Dropすることで順番の変更が可能 "));
    }

    void optionListsHoldTheirItems()
    {
        Window window;
        Form1& form = window.start();
        for (QComboBox* combo : {form.Combo1, form.Combo2})
            QCOMPARE(itemsOf(combo), columnNames(true));
        for (QComboBox* combo : {form.Combo8, form.Combo10, form.Combo11})
            QCOMPARE(itemsOf(combo), columnNames(false));
        for (QComboBox* combo : {form.Combo3, form.Combo4, form.Combo7, form.Combo9, form.Combo12})
            QCOMPARE(itemsOf(combo), numbers(1, 300));
        for (QComboBox* combo : {form.Combo5, form.Combo14})
            QCOMPARE(itemsOf(combo), numbers(0, 300));
        QCOMPARE(itemsOf(form.Combo6), QStringList{"ALL"} + numbers(1, 300));
        QCOMPARE(itemsOf(form.Combo13), (QStringList{"2001年3月14日", "2001/3/14", "2001/3/14 1:30 PM", "2001/3/14 13:30",
                                                     "平成13年3月14日", "H13.3.14", "3月14日", "3/14"}));
        for (QComboBox* combo : form.findChildren<QComboBox*>())
            QVERIFY2(combo->isEditable(), qPrintable(combo->objectName()));
    }

    void windowHasItsSizeFacesAndKeyboardOrder()
    {
        Window window;
        Form1& form = window.start();
        QCOMPARE(form.windowTitle(), QStringLiteral("   Tavorin"));
        QCOMPARE(form.size(), QSize(593, 542)); // 8895 x 8130 twips, 15 twips a pixel
        QCOMPARE(form.List2->geometry(), QRect(41, 40, 216, 169));
        QCOMPARE(form.List2->palette().color(QPalette::Base), QColor(194, 220, 200));
        QVERIFY(form.windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(form.Combo1->font().bold() && form.Combo1->font().families().contains(QStringLiteral("ＭＳ Ｐゴシック")));
        for (QWidget* w : std::initializer_list<QWidget*>{form.Command2, form.Command3, form.LISTClear, form.Label3})
            QVERIFY2(w->font().italic() && w->font().bold() && w->font().pointSizeF() == 12.0 &&
                         w->font().families().contains(QStringLiteral("ＭＳ Ｐ明朝")),
                     qPrintable(w->objectName()));
        QCOMPARE(form.DATACount->font().pointSizeF(), 14.25);
        // The focus starts in the name list; Tab skips hidden and disabled controls.
        auto focused = [] {
            QWidget* at = QApplication::focusWidget();
            return (qobject_cast<QComboBox*>(at->parentWidget()) ? at->parentWidget() : at)->objectName();
        };
        QStringList visited{focused()};
        for (int i = 0; i < 22; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(focused());
        }
        QCOMPARE(visited.join(' '), QStringLiteral("List2 LISTClear Check1 Combo1 Combo2 Combo3 Combo4 Combo5 Combo6 "
                                                   "Check3 Command2 Command3 Text1 List4 Check2 Command1 List1 Check5 "
                                                   "Check6 Check7 Check8 List5 List2"));
    }

    void verOpensOneModelessAboutWindowThatOkDestroys()
    {
        Window window;
        Form1& form = window.start();
        click(form.Command2);
        QPointer<frmAbout> about = form.aboutWindow();
        QVERIFY(about != nullptr && QTest::qWaitForWindowExposed(about));
        QCOMPARE(about->windowTitle(), QStringLiteral("Tavorinのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(about->lblTitle->text(), QStringLiteral("Tavorin"));
        QCOMPARE(about->lblVersion->text(), QStringLiteral("Ver 1.0.0"));
        QCOMPARE(about->cmdOK->text(), QStringLiteral("O  K"));
        QCOMPARE(about->picIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(about->width(), 385); // 5775 twips
        QVERIFY(!about->isModal() && QApplication::activeModalWidget() == nullptr);
        // A second "Ｖｅｒ" brings the same window forward without filling it again.
        about->lblTitle->setText(QStringLiteral("marked"));
        click(form.Command2);
        QCOMPARE(form.aboutWindow(), about.data());
        QCOMPARE(about->lblTitle->text(), QStringLiteral("marked"));
        // The main window stays usable beside it.
        perform(&form, {"click Check2", "choose Combo1 3"});
        expectStates(&form, {"Combo7:enabled", "Combo2=    D"});
        click(about->cmdOK);
        QVERIFY(aboutIsGone(form) && about.isNull());
        click(form.Command2);
        QCOMPARE(form.aboutWindow()->lblTitle->text(), QStringLiteral("Tavorin"));
        form.aboutWindow()->close(); // its close box destroys it as well
        QVERIFY(aboutIsGone(form));
        // The program's end closes every window, the About window too.
        click(form.Command2);
        endProgram();
        QVERIFY(aboutIsGone(form) && !form.isVisible());
    }

    void closingTheMainWindowLeavesTheProgramRunningUntilAboutCloses()
    {
        Window window;
        Form1& form = window.start();
        click(form.Command2);
        bool aboutOpenAfterMainClosed = false;
        QTimer::singleShot(0, &form, [&form] { form.close(); });
        QTimer::singleShot(300, &form, [&] {
            aboutOpenAfterMainClosed = form.aboutWindow() != nullptr && form.aboutWindow()->isVisible();
            if (form.aboutWindow() != nullptr)
                click(form.aboutWindow()->cmdOK);
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); }); // the loop did not end by itself
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(aboutOpenAfterMainClosed);
    }

    void aSecondStartEndsAtOnceWhileTheFirstRuns()
    {
        TemporaryFolder folder;
        std::filesystem::create_directories(folder / "runtime");
        std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString((folder / "runtime").string()));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString((folder / "config").string()));
        QProcess first, second, third;
        for (QProcess* process : {&first, &second, &third}) {
            process->setProcessEnvironment(environment);
            process->setProgram(QStringLiteral(TAVORIN_PROGRAM_PATH));
        }
        first.start();
        // The first has come up once its start-up has made the settings file.
        QVERIFY(QTest::qWaitFor([&] { return std::filesystem::exists(folder / "config/Tavorin/settings.dat"); }, 20000));
        second.start();
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAll().isEmpty());
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        third.start(); // with the first gone, the next start comes up and stays
        QVERIFY(!third.waitForFinished(1500) && third.state() == QProcess::Running);
        third.terminate();
        QVERIFY(third.waitForFinished(10000));
    }
};

QTEST_MAIN(WindowStartTest)
#include "WindowStart_test.moc"
