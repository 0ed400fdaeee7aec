// The 49-byte settings record: start-up restores it, "ＥＮＤ" writes it. The record's bytes are
// written and checked by hand here, as another program reading or writing the file would.
#include "support/SettingsBytes.h"
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

class StoredSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void startUpRestoresTheRecord_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QStringList>("expected");
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
        QTest::newRow("blank magnification") << SettingsBytes().magnification("      ").bytes() << QStringList{"Text1=100"};
        QTest::newRow("magnification 50") << SettingsBytes().magnification("50    ").bytes() << QStringList{"Text1=50 "};
        QTest::newRow("first three of six characters, then the limit")
            << SettingsBytes().magnification("123456").bytes() << QStringList{"Text1=100"};
        QTest::newRow("first number -1") << SettingsBytes().firstNumber(-1).bytes() << QStringList{"Text3=1"};
        QTest::newRow("first number -7") << SettingsBytes().firstNumber(-7).bytes() << QStringList{"Text3=-7"};
        QTest::newRow("first four digits") << SettingsBytes().firstNumber(32767).bytes() << QStringList{"Text3=3276"};
        QTest::newRow("both styles chosen: the later wins")
            << SettingsBytes().option1(-1).option2(-1).bytes() << QStringList{"Option1=off", "Option2=on"};
        QTest::newRow("side by side")
            << SettingsBytes().check(7, 1).check(8, 1).bytes()
            << QStringList{"Check7=off", "Check8=on", "Combo14:shown", "Label33:shown", "Label34:shown"};
        QTest::newRow("one picture a sheet")
            << SettingsBytes().combo(6, 1).bytes()
            << QStringList{"Combo6=1", "Combo5:hidden", "Label4:hidden", "Label21:hidden", "Label2=コピー元SHEET選択"};
        QTest::newRow("sheet copies named by date")
            << SettingsBytes().combo(6, 2).check(4, 1).bytes()
            << QStringList{"Check4=on", "Check4:shown", "Label17:shown", "Shape4:shown", "Line11:shown", "Line14:shown",
                           "Line15:shown", "Text2:hidden", "Combo5:shown"};
        QTest::newRow("all on one sheet hides the date choice")
            << SettingsBytes().combo(6, 0).check(4, 1).bytes()
            << QStringList{"Check4:hidden", "Shape4:hidden", "Label2=挿入SHEET選択"};
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
    }

    void startUpRestoresTheRecord()
    {
        QFETCH(QByteArray, record);
        QFETCH(QStringList, expected);
        Window window;
        window.writeSettings(record);
        expectStates(&window.start(), expected);
        QVERIFY(window.messages.empty());
        QCOMPARE(window.readSettings(), record); // start-up only reads
    }

    void aDamagedRecordOrNoPlaceForItStillBringsUpAUsableWindow()
    {
        Window window;
        QByteArray garbage;
        for (int i = 0; i < 300; ++i)
            garbage.append(char((i * 151 + 77) & 0xFF));
        window.writeSettings(garbage);
        Form1& form = window.start();
        for (QComboBox* combo : form.findChildren<QComboBox*>())
            QVERIFY2(combo->currentIndex() >= 0, qPrintable(combo->objectName()));
        QVERIFY(form.Option1->isChecked() != form.Option2->isChecked());
        QVERIFY(form.Check7->isChecked() != form.Check8->isChecked());
        std::filesystem::remove_all(window.settingsFile().parent_path());
        std::ofstream(window.settingsFile().parent_path()) << "a file where the folder should be";
        perform(&window.start(), {"click Check3"});
        expectStates(&window.form(), {"Check3=on", "Combo6=ALL", "Text1=100"});
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
                          "\x02\x00\x1b\x00\x04\x00\x2b\x01\x02\x00" // Combo1 2, Combo2 27, Combo3 4, Combo4 299, Combo5 2
                          "\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00" // Combo6 258, Combo7 … Combo10 0
                          "\x00\x00\x00\x00\x00\x00\x01\x00"         // Combo11 … Combo13 0, Combo14 1
                          "85    "                                   // magnification, padded with blanks
                          "\x04\x01"                                 // first number 260
                          "\x00\x00\xff\xff",                        // "No.1" not chosen, " 1" chosen
                          49)
            << QStringList{"Check1=on", "Check7=off", "Check8=on", "Combo14:shown", "Combo1=    C", "Combo2=  AB",
                           "Combo3=5", "Combo4=300", "Combo6=258", "Combo14=1", "Text1=85 ", "Text3=260", "Option2=on"};
        QTest::newRow("empty first number")
            << QStringList{"click Check5", "erase Text3"}
            << SettingsBytes().check(5, 1).check(7, 1).magnification("100   ").firstNumber(1).option1(-1).bytes()
            << QStringList{"Text1=100", "Text3=1"};
        QTest::newRow("first number that is no whole number")
            << QStringList{"click Check5", "paste Text3 1.5"}
            << SettingsBytes().check(5, 1).check(7, 1).magnification("100   ").firstNumber(1).option1(-1).bytes()
            << QStringList{"Text3=1"};
        QTest::newRow("pasted negative first number")
            << QStringList{"click Check5", "paste Text3 -5"}
            << SettingsBytes().check(5, 1).check(7, 1).magnification("100   ").firstNumber(-5).option1(-1).bytes()
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

    void closingTheWindowStoresNothing()
    {
        Window window;
        const QByteArray stored = SettingsBytes().combo(1, 7).combo(2, 7).magnification("90    ").bytes();
        window.writeSettings(stored);
        perform(&window.start(), {"click Check1", "choose Combo2 9", "erase Text1", "type Text1 50"});
        QVERIFY(window.form().close());
        QCOMPARE(window.endProgramCalls, 0);
        QCOMPARE(window.readSettings(), stored);
    }

    void endThatCannotWriteSaysSoAndStillEnds()
    {
        Window window;
        Form1& form = window.start();
        std::filesystem::remove_all(window.settingsFile().parent_path());
        std::ofstream(window.settingsFile().parent_path()) << "a file where the folder should be";
        click(form.Command3);
        QCOMPARE(window.messages.size(), std::size_t{1});
        QCOMPARE(window.messages[0].title, QStringLiteral("Tavorin"));
        QVERIFY(window.messages[0].text.contains(QStringLiteral("保存できませんでした")));
        QCOMPARE(window.endProgramCalls, 1);
    }
};

QTEST_MAIN(StoredSettingsTest)
#include "StoredSettings_test.moc"
