// The main window's own controls: the window as it first comes up, start-up from the 49-byte
// settings record and "ＥＮＤ" writing it (the record's bytes written and checked by hand, as
// another program would), the rules that tie the options together, the About window, and the
// program started twice.
#include "app/ProgramEnd.h"
#include "support/SettingsBytes.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// The 256 worksheet columns by the usual naming, with the blanks of the long form (four before
// one letter, two before two) or of the short form (two, none).
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

QStringList all(const QStringList& names, const QString& state)
{
    QStringList states;
    for (const QString& name : names)
        states.append(name + ':' + state);
    return states;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsTheWindowWithItsFirstValuesAndAnEmptySettingsFile()
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
            "Label17=挿入SHEET名", "Label6=START列", "Label5=END列", "Label8=ＳＴＡＲＴ行", "Label9=ＥＮＤ行",
            "Label7=画 像", "Label4= 画像 間隔", "Label10= 1SHEET 挿入数", "Label13= 画像 倍率", "Label35=挿入形式",
            "Label16=○： 　　０°→： 　９０°↓： １８０°←：－９０°", "Command1=START", "Command2=Ｖｅｒ",
            "Command3=ＥＮＤ", "LISTClear=Clear", "Check1=同一ファイル名挿入除外", "Check2=画像作成日",
            "Check3=ソート", "Check4=日付け適用", "Check5=連番", "Check6=ファイル名", "Check9=拡張子なし",
            "Option1=No.1", "Option2= 1", "Frame1=挿入画像指定", "Frame3=貼り付け先"};
        for (const QString& caption : captions) {
            QObject* control = form.findChild<QObject*>(caption.section('=', 0, 0));
            QVERIFY2(control != nullptr, qPrintable(caption));
            QCOMPARE(control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString(),
                     caption.section('=', 1));
        }
        QCOMPARE(form.List2->toolTip(), QStringLiteral(" ﾘｽﾄ項目をDrag＆Dropすることで順番の変更が可能 "));
        for (QComboBox* combo : {form.Combo1, form.Combo2})
            QCOMPARE(itemsOf(combo), columnNames(true));
        for (QComboBox* combo : {form.Combo8, form.Combo10, form.Combo11})
            QCOMPARE(itemsOf(combo), columnNames(false));
        for (QComboBox* combo : {form.Combo3, form.Combo4, form.Combo7, form.Combo9, form.Combo12})
            QCOMPARE(itemsOf(combo), numbers(1, 300));
        for (QComboBox* combo : {form.Combo5, form.Combo14})
            QCOMPARE(itemsOf(combo), numbers(0, 300));
        QCOMPARE(itemsOf(form.Combo6), QStringList{"ALL"} + numbers(1, 300));
        QCOMPARE(itemsOf(form.Combo13), (QStringList{"2001年3月14日", "2001/3/14", "2001/3/14 1:30 PM",
                                                     "2001/3/14 13:30", "平成13年3月14日", "H13.3.14", "3月14日", "3/14"}));
        QCOMPARE(form.windowTitle(), QStringLiteral("   Tavorin"));
        QCOMPARE(form.size(), QSize(593, 610)); // 8895 x 9150 twips, 15 twips a pixel
        QCOMPARE(form.List2->palette().color(QPalette::Base), QColor(194, 220, 200));
        QVERIFY(form.Combo1->font().bold() && form.Combo1->font().families().contains("ＭＳ Ｐゴシック"));
        for (QWidget* w : std::initializer_list<QWidget*>{form.Command2, form.Command3, form.LISTClear, form.Label3})
            QVERIFY2(w->font().italic() && w->font().bold() && w->font().pointSizeF() == 12.0 &&
                         w->font().families().contains("ＭＳ Ｐ明朝"), qPrintable(w->objectName()));
        QCOMPARE(form.DATACount->font().pointSizeF(), 14.25);
        QCOMPARE(QApplication::focusWidget(), form.List2); // the focus starts in the name list
    }

    void startUpRestoresTheRecordAndClosingKeepsIt_data()
    {
        using Lines = QStringList;
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<Lines>("expected");
        QTest::newRow("every field in its place")
            << SettingsBytes().check(1, 1).check(2, 1).check(3, 1).check(5, 1).check(6, 1).check(7, 1).check(9, 1)
                   .combo(1, 5).combo(2, 9).combo(3, 9).combo(4, 19).combo(5, 3).combo(6, 0).combo(7, 1).combo(8, 27)
                   .combo(9, 2).combo(10, 3).combo(11, 4).combo(12, 5).combo(13, 7).combo(14, 6)
                   .magnification("75    ").firstNumber(12).option1(0).option2(-1).bytes()
            << QStringList{"Check1=on", "Check2=on", "Check3=on", "Check4=off", "Check5=on", "Check6=on", "Check9=on",
                           "Combo1=    F", "Combo2=    J", "Combo3=10", "Combo4=20", "Combo5=3", "Combo6=ALL",
                           "Combo7=2", "Combo8=AB", "Combo9=3", "Combo10=  D", "Combo11=  E", "Combo12=6",
                           "Combo13=3/14", "Combo14=6", "Text1=75 ", "Text3=12", "Option1=off", "Option2=on",
                           "Combo7:enabled", "Text3:enabled", "Text3:window", "Check9:enabled"};
        QTest::newRow("blank magnification") << SettingsBytes().magnification("      ").bytes() << Lines{"Text1=100"};
        QTest::newRow("magnification 50") << SettingsBytes().magnification("50    ").bytes() << Lines{"Text1=50 "};
        QTest::newRow("three of six characters, then the limit") << SettingsBytes().magnification("123456").bytes()
                                                                 << QStringList{"Text1=100"};
        QTest::newRow("first number -1") << SettingsBytes().firstNumber(-1).bytes() << QStringList{"Text3=1"};
        QTest::newRow("first four digits") << SettingsBytes().firstNumber(-32768).bytes() << QStringList{"Text3=-327"};
        QTest::newRow("both styles chosen: the later wins") << SettingsBytes().option1(-1).option2(-1).bytes()
                                                            << QStringList{"Option1=off", "Option2=on"};
        QTest::newRow("side by side") << SettingsBytes().check(7, 1).check(8, 1).bytes()
                                      << QStringList{"Check7=off", "Check8=on", "Combo14:shown", "Label33:shown"};
        QTest::newRow("one picture a sheet")
            << SettingsBytes().combo(6, 1).bytes()
            << QStringList{"Combo6=1", "Combo5:hidden", "Label4:hidden", "Label21:hidden", "Label2=コピー元SHEET選択"};
        QTest::newRow("sheet copies named by date")
            << SettingsBytes().combo(6, 2).check(4, 1).bytes()
            << Lines{"Check4=on", "Check4:shown", "Label17:shown", "Shape4:shown", "Line11:shown", "Text2:hidden"};
        QTest::newRow("indexes outside their lists")
            << SettingsBytes().combo(1, 256).combo(2, 300).combo(3, -1).combo(4, 4).combo(6, 301).combo(7, 12)
                   .combo(13, 8).combo(14, -32768).bytes()
            << QStringList{"Combo1=    A", "Combo2=    A", "Combo3=1", "Combo4=5", "Combo6=ALL", "Combo7=13",
                           "Combo13=2001年3月14日", "Combo14=0"};
        QTest::newRow("check values other than 1 are off")
            << SettingsBytes().check(2, 2).check(5, 255).check(6, 1).check(8, 2).bytes()
            << QStringList{"Check2=off", "Combo7:disabled", "Check5=off", "Text3:disabled", "Check6=on",
                           "Combo11:enabled", "Check7=on", "Check8=off"};
        QTest::newRow("short file: zeros where it ends")
            << QByteArray("\x01\x00\x00\x00\x00\x00\x00\x01\x00\x03\x00\x07", 12) // ends inside Combo2
            << QStringList{"Check1=on", "Check8=on", "Combo1=    D", "Combo2=    H", "Combo6=ALL", "Text1=100",
                           "Text3=0", "Option1=on"};
        QTest::newRow("long file: the record, then anything")
            << SettingsBytes().combo(1, 3).combo(2, 3).option2(-1).bytes() + QByteArray(251, '\xff')
            << QStringList{"Combo1=    D", "Option2=on"};
    }

    void startUpRestoresTheRecordAndClosingKeepsIt()
    {
        QFETCH(QByteArray, record);
        QFETCH(QStringList, expected);
        Window window;
        window.writeSettings(record);
        Form1& form = window.start();
        expectStates(&form, expected);
        QVERIFY(window.messages.empty());
        perform(&form, {"click Check1", "choose Combo2 9", "erase Text1", "type Text1 50"});
        QVERIFY(form.close()); // closing the window, unlike "ＥＮＤ", stores nothing
        QCOMPARE(window.endProgramCalls, 0);
        QCOMPARE(window.readSettings(), record);
    }

    void endWritesTheRecordAndTheNextStartRestoresIt_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("restored");
        QTest::newRow("options chosen")
            << QStringList{"click Check1", "click Check5", "click Check8", "choose Combo1 2", "choose Combo2 27",
                           "choose Combo3 4", "choose Combo4 299", "choose Combo5 2", "choose Combo6 258",
                           "choose Combo14 1", "click Option2", "erase Text1", "type Text1 85", "erase Text3",
                           "type Text3 260"}
            << QByteArray("\x01\x00\x00\x00\x01\x00\x00\x01\x00"     // Check1 … Check9
                          "\x02\x00\x1b\x00\x04\x00\x2b\x01\x02\x00" // Combo1 … Combo5: 2, 27, 4, 299, 2
                          "\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00" // Combo6 258, Combo7 … Combo10 0
                          "\x00\x00\x00\x00\x00\x00\x01\x00"         // Combo11 … Combo13 0, Combo14 1
                          "85    "                                   // magnification, padded with blanks
                          "\x04\x01"                                 // first number 260
                          "\x00\x00\xff\xff",                        // "No.1" not chosen, " 1" chosen
                          49)
            << QStringList{"Check1=on", "Check7=off", "Check8=on", "Combo14:shown", "Combo1=    C", "Combo2=  AB",
                           "Combo3=5", "Combo4=300", "Combo6=258", "Combo14=1", "Text1=85 ", "Text3=260", "Option2=on"};
        // Numbered captions on, everything else as at first start ("100" stored with three blanks).
        auto numbered = [](std::int16_t first) {
            return SettingsBytes().check(5, 1).check(7, 1).magnification("100   ").option1(-1).firstNumber(first).bytes();
        };
        QTest::newRow("empty first number") << QStringList{"click Check5", "erase Text3"} << numbered(1)
                                            << QStringList{"Text1=100", "Text3=1"};
        QTest::newRow("first number that is no whole number") << QStringList{"click Check5", "paste Text3 1.5"}
                                                              << numbered(1) << QStringList{"Text3=1"};
        QTest::newRow("pasted negative first number") << QStringList{"click Check5", "paste Text3 -5"} << numbered(-5)
                                                      << QStringList{"Text3=-5"};
    }

    void endWritesTheRecordAndTheNextStartRestoresIt()
    {
        QFETCH(QStringList, actions);
        QFETCH(QByteArray, record);
        QFETCH(QStringList, restored);
        Window window;
        perform(&window.start(), actions);
        click(window.form().Command3);
        QCOMPARE(window.endProgramCalls, 1);
        QVERIFY(window.messages.empty());
        QCOMPARE(window.readSettings(), record);
        expectStates(&window.start(), restored);
    }

    void rulesFollowTheUser_data()
    {
        using Lines = QStringList;
        QTest::addColumn<Lines>("actions");
        QTest::addColumn<Lines>("expected");
        const Lines date{"Combo7", "Label18", "Combo8", "Combo13", "Label19", "Label12"};
        const Lines number{"Combo9", "Label23", "Combo10", "Label24", "Option1", "Option2", "Text3"};
        const Lines name{"Combo11", "Label25", "Combo12", "Label26", "Check9"};
        QTest::newRow("date caption on")
            << Lines{"click Check2"} << all(date, "enabled") + all(number + name, "disabled");
        QTest::newRow("number caption on")
            << Lines{"click Check5"} << all(number, "enabled") + all(date + name, "disabled") + Lines{"Text3:window"};
        QTest::newRow("file-name caption on")
            << Lines{"click Check6"} << all(name, "enabled") + all(date + number, "disabled");
        QTest::newRow("all three off again")
            << Lines{"click Check2", "click Check5", "click Check6", "click Check2", "click Check5", "click Check6"}
            << all(date + number + name, "disabled") + Lines{"Text3:light"};
        const Lines pair{"Combo14", "Label33", "Label34"};
        QTest::newRow("Check7 off: side by side") << Lines{"click Check7"} << Lines{"Check8=on"} + all(pair, "shown");
        QTest::newRow("Check7 on again")
            << Lines{"click Check7", "click Check7"} << Lines{"Check8=off"} + all(pair, "hidden");
        QTest::newRow("Check8 off again")
            << Lines{"click Check8", "click Check8"} << Lines{"Check7=on"} + all(pair, "hidden");
        const Lines sheetName{"Label17", "Shape4", "Check4", "Line11", "Line14", "Line15"};
        QTest::newRow("two a sheet: the sheet-name group")
            << Lines{"choose Combo6 2"} << all(sheetName + Lines{"Text2", "Combo5", "Label4", "Label21"}, "shown")
                                               + Lines{"Label2=コピー元SHEET選択"};
        QTest::newRow("back to ALL hides it whatever Check4 says")
            << Lines{"choose Combo6 2", "click Check4", "choose Combo6 0"}
            << all(sheetName + Lines{"Text2"}, "hidden") + Lines{"Label2=挿入SHEET選択"};
        QTest::newRow("a number again: Text2 stays hidden under Check4")
            << Lines{"choose Combo6 2", "click Check4", "choose Combo6 0", "choose Combo6 5"}
            << all(sheetName, "shown") + Lines{"Text2:hidden", "Label2=コピー元SHEET選択"};
        QTest::newRow("one a sheet hides the row spacing")
            << Lines{"choose Combo6 1"} << all({"Combo5", "Label4", "Label21"}, "hidden");
        QTest::newRow("end column before start pulls the start")
            << Lines{"choose Combo2 30", "choose Combo1 10", "choose Combo2 4"} << Lines{"Combo1=    E", "Combo2=    E"};
        QTest::newRow("start column after end pushes the end")
            << Lines{"choose Combo1 255"} << Lines{"Combo1=  IV", "Combo2=  IV"};
        QTest::newRow("Up moves the start back alone")
            << Lines{"choose Combo1 255", "key Combo1 Up"} << Lines{"Combo1=  IU", "Combo2=  IV"};
        QTest::newRow("start row pushes the end row") << Lines{"choose Combo3 19"} << Lines{"Combo4=20"};
        QTest::newRow("rows judged by number, not text")
            << Lines{"choose Combo3 19", "choose Combo4 99", "choose Combo3 8"} << Lines{"Combo3=9", "Combo4=100"};
        QTest::newRow("end row before start pulls the start")
            << Lines{"choose Combo3 19", "choose Combo4 2"} << Lines{"Combo3=3", "Combo4=3"};
        QTest::newRow("pasted row above 300") << Lines{"paste Combo3 750"} << Lines{"Combo3=300", "Combo4=300"};
        QTest::newRow("pasted end row before start")
            << Lines{"choose Combo3 49", "paste Combo4 12"} << Lines{"Combo3=12", "Combo4=12"};
        QTest::newRow("empty row text left alone")
            << Lines{"choose Combo3 49", "paste Combo4"} << Lines{"Combo3=50", "Combo4="};
        QTest::newRow("magnification above 100") << Lines{"erase Text1", "type Text1 105"} << Lines{"Text1=100"};
        QTest::newRow("backspace taken") << Lines{"key Text1 Backspace"} << Lines{"Text1=10"};
        QTest::newRow("0 into an empty field refused")
            << Lines{"click Check5", "erase Text1", "type Text1 0", "erase Text3", "type Text3 0"}
            << Lines{"Text1=", "Text3="};
        QTest::newRow("digits only, four of them for the first number")
            << Lines{"click Check5", "erase Text1", "type Text1 a-+. ,e7x", "erase Text3", "type Text3 -1.5e234"}
            << Lines{"Text1=7", "Text3=1523"};
        QTest::newRow("pasted text passes the key rules")
            << Lines{"click Check5", "paste Text1 ab", "paste Text3 -5", "paste Combo1 ZZ"}
            << Lines{"Text1=ab", "Text3=-5", "Combo1=ZZ"};
        QTest::newRow("pasted magnification still limited") << Lines{"paste Text1 250"} << Lines{"Text1=100"};
        QTest::newRow("caption choosers take typing")
            << Lines{"click Check2", "paste Combo7", "type Combo7 42"} << Lines{"Combo7=42"};
        // The option choosers change only by the mouse or the Up and Down keys.
        for (auto [chooser, second] : {std::pair{"Combo1", "    B"}, {"Combo2", "    B"}, {"Combo3", "2"},
                                       {"Combo4", "2"}, {"Combo5", "1"}, {"Combo6", "1"}, {"Combo14", "1"}}) {
            Lines keys{"click Check8"};
            for (const char* key : {"Down", "Down", "Up", "PgDown", "PgUp", "Home", "End", "Del", "Backspace", "A", "5",
                                    "Space", "F4", "Return", "Alt+Down", "Ctrl+V"})
                keys << QStringLiteral("key %1 %2").arg(chooser, key);
            QTest::addRow("%s by keys", chooser) << keys + Lines{QStringLiteral("type %1 12x").arg(chooser)}
                                                 << Lines{QStringLiteral("%1=%2").arg(chooser, second)};
        }
    }

    void rulesFollowTheUser()
    {
        QFETCH(QStringList, actions);
        QFETCH(QStringList, expected);
        Window window;
        perform(&window.start(), actions);
        expectStates(&window.form(), expected);
    }

    void verOpensOneModelessAboutWindowThatOkDestroys()
    {
        Window window;
        Form1& form = window.start();
        auto aboutIsGone = [&form] { return QTest::qWaitFor([&form] { return form.aboutWindow() == nullptr; }, 2000); };
        click(form.Command2);
        QPointer<frmAbout> about = form.aboutWindow();
        QVERIFY(about != nullptr && QTest::qWaitForWindowExposed(about));
        QCOMPARE(QStringList({about->windowTitle(), about->lblTitle->text(), about->lblVersion->text(),
                              about->cmdOK->text()}), QStringList({"Tavorinのﾊﾞｰｼﾞｮﾝ情報", "Tavorin", "Ver 1.0.0", "O  K"}));
        QCOMPARE(about->picIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(about->width(), 385); // 5775 twips
        QVERIFY(!about->isModal() && QApplication::activeModalWidget() == nullptr);
        about->lblTitle->setText(QStringLiteral("marked")); // a second "Ｖｅｒ" does not fill it again
        click(form.Command2);
        QCOMPARE(form.aboutWindow(), about.data());
        QCOMPARE(about->lblTitle->text(), QStringLiteral("marked"));
        perform(&form, {"click Check2", "choose Combo1 3"}); // the main window stays usable beside it
        expectStates(&form, {"Combo7:enabled", "Combo2=    D"});
        click(about->cmdOK);
        QVERIFY(aboutIsGone() && about.isNull());
        click(form.Command2);
        QCOMPARE(form.aboutWindow()->lblTitle->text(), QStringLiteral("Tavorin")); // made anew
        endProgram(); // the program's end closes every window
        QVERIFY(aboutIsGone() && !form.isVisible());
    }

    void aSecondStartEndsAtOnceWhileTheFirstRuns()
    {
        TemporaryFolder folder;
        std::filesystem::create_directories(folder / "runtime");
        std::filesystem::permissions(folder / "runtime", std::filesystem::perms::owner_all);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), pathText(folder / "runtime"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), pathText(folder / "config"));
        QProcess first, second, third;
        for (QProcess* process : {&first, &second, &third})
            process->setProcessEnvironment(environment);
        first.start(QStringLiteral(TAVORIN_PROGRAM_PATH)); // up once its start-up has made the settings file
        QVERIFY(QTest::qWaitFor([&] { return std::filesystem::exists(folder / "config/Tavorin/settings.dat"); }, 20000));
        second.start(QStringLiteral(TAVORIN_PROGRAM_PATH));
        QVERIFY(second.waitForFinished(5000) && second.exitCode() == 0 && second.readAll().isEmpty());
        QCOMPARE(first.state(), QProcess::Running);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        third.start(QStringLiteral(TAVORIN_PROGRAM_PATH)); // with the first gone, the next start comes up and stays
        QVERIFY(!third.waitForFinished(1500) && third.state() == QProcess::Running);
        third.terminate();
        third.waitForFinished(10000);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
