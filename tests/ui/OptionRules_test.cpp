// The rules that tie the option controls together, driven by clicks, item choices, key presses
// and pasted text on the real window.
#include "support/UserActions.h"
#include "support/Window.h"
#include "support/WindowScript.h"

#include <QCheckBox>

using namespace tavorin;
using namespace tavorin::test;

class OptionRulesTest : public QObject {
    Q_OBJECT

private slots:
    void rulesFollowTheUser_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("expected");
        const QStringList dateGroup{"Combo7", "Label18", "Combo8", "Combo13", "Label19", "Label12"};
        const QStringList numberGroup{"Combo9", "Label23", "Combo10", "Label24", "Option1", "Option2", "Text3"};
        const QStringList nameGroup{"Combo11", "Label25", "Combo12", "Label26", "Check9"};
        auto all = [](const QStringList& names, const char* state) {
            QStringList states;
            for (const QString& name : names)
                states.append(name + QLatin1Char(':') + QLatin1String(state));
            return states;
        };
        QTest::newRow("date caption on") << QStringList{"click Check2"}
                                         << all(dateGroup, "enabled") + all(numberGroup + nameGroup, "disabled");
        QTest::newRow("date caption off again") << QStringList{"click Check2", "click Check2"} << all(dateGroup, "disabled");
        QTest::newRow("number caption on") << QStringList{"click Check5"}
                                           << all(numberGroup, "enabled") + QStringList{"Text3:window", "Combo7:disabled"};
        QTest::newRow("number caption off again")
            << QStringList{"click Check5", "click Check5"} << all(numberGroup, "disabled") + QStringList{"Text3:light"};
        QTest::newRow("file-name caption on") << QStringList{"click Check6"}
                                              << all(nameGroup, "enabled") + all(dateGroup + numberGroup, "disabled");
        QTest::newRow("file-name caption off again") << QStringList{"click Check6", "click Check6"} << all(nameGroup, "disabled");

        const QStringList pairShown{"Combo14:shown", "Label33:shown", "Label34:shown"};
        QTest::newRow("Check7 off: side by side") << QStringList{"click Check7"}
                                                  << QStringList{"Check7=off", "Check8=on"} + pairShown;
        QTest::newRow("Check7 on again") << QStringList{"click Check7", "click Check7"}
                                         << QStringList{"Check7=on", "Check8=off", "Combo14:hidden", "Label33:hidden"};
        QTest::newRow("Check8 on") << QStringList{"click Check8"} << QStringList{"Check7=off", "Check8=on"} + pairShown;
        QTest::newRow("Check8 off again") << QStringList{"click Check8", "click Check8"}
                                          << QStringList{"Check7=on", "Check8=off", "Combo14:hidden"};
        QTest::newRow("Check8 by the space key") << QStringList{"key Check8 Space"} << QStringList{"Check7=off"} + pairShown;

        const QStringList sheetNameGroup{"Label17", "Shape4", "Check4", "Line11", "Line14", "Line15"};
        QTest::newRow("two a sheet: sheet-name group shown")
            << QStringList{"choose Combo6 2"}
            << all(sheetNameGroup + QStringList{"Text2", "Combo5"}, "shown") + QStringList{"Label2=コピー元SHEET選択"};
        QTest::newRow("back to ALL hides it whatever Check4 says")
            << QStringList{"choose Combo6 2", "click Check4", "choose Combo6 0"}
            << all(sheetNameGroup + QStringList{"Text2"}, "hidden") + QStringList{"Label2=挿入SHEET選択"};
        QTest::newRow("a number again: Text2 stays hidden under Check4")
            << QStringList{"choose Combo6 2", "click Check4", "choose Combo6 0", "choose Combo6 5"}
            << all(sheetNameGroup, "shown") + QStringList{"Text2:hidden", "Label2=コピー元SHEET選択"};
        QTest::newRow("Check4 off shows Text2") << QStringList{"choose Combo6 3", "click Check4", "click Check4"}
                                                << QStringList{"Text2:shown"};
        QTest::newRow("one a sheet hides the row spacing")
            << QStringList{"choose Combo6 1"} << QStringList{"Combo5:hidden", "Label4:hidden", "Label21:hidden"};
        QTest::newRow("any other number shows it") << QStringList{"choose Combo6 1", "choose Combo6 2"}
                                                   << QStringList{"Combo5:shown", "Label4:shown", "Label21:shown"};

        QTest::newRow("later end column leaves the start")
            << QStringList{"choose Combo2 30"} << QStringList{"Combo1=    A", "Combo2=  AE"};
        QTest::newRow("end column before start pulls the start")
            << QStringList{"choose Combo2 30", "choose Combo1 10", "choose Combo2 4"}
            << QStringList{"Combo1=    E", "Combo2=    E"};
        QTest::newRow("start column after end pushes the end")
            << QStringList{"choose Combo1 255"} << QStringList{"Combo1=  IV", "Combo2=  IV"};
        QTest::newRow("Up moves the start back alone")
            << QStringList{"choose Combo1 255", "key Combo1 Up"} << QStringList{"Combo1=  IU", "Combo2=  IV"};
        QTest::newRow("Up moves the end before the start")
            << QStringList{"choose Combo1 255", "key Combo2 Up", "key Combo2 Up"} << QStringList{"Combo1=  IT", "Combo2=  IT"};
        QTest::newRow("start row pushes the end row") << QStringList{"choose Combo3 19"} << QStringList{"Combo4=20"};
        QTest::newRow("rows judged by number, not text")
            << QStringList{"choose Combo3 19", "choose Combo4 99", "choose Combo3 8"} << QStringList{"Combo3=9", "Combo4=100"};
        QTest::newRow("end row before start pulls the start")
            << QStringList{"choose Combo3 19", "choose Combo4 2"} << QStringList{"Combo3=3", "Combo4=3"};
        QTest::newRow("pasted row above 300") << QStringList{"paste Combo3 750"} << QStringList{"Combo3=300", "Combo4=300"};
        QTest::newRow("pasted end row before start")
            << QStringList{"choose Combo3 49", "paste Combo4 12"} << QStringList{"Combo3=12", "Combo4=12"};
        QTest::newRow("empty row text left alone")
            << QStringList{"choose Combo3 49", "paste Combo4 "} << QStringList{"Combo3=50", "Combo4="};

        QTest::newRow("magnification above 100") << QStringList{"erase Text1", "type Text1 105"} << QStringList{"Text1=100"};
        QTest::newRow("magnification below it") << QStringList{"erase Text1", "type Text1 99"} << QStringList{"Text1=99"};
        QTest::newRow("backspace is taken") << QStringList{"erase Text1", "type Text1 99", "key Text1 Backspace"}
                                            << QStringList{"Text1=9"};
        QTest::newRow("0 into an empty field refused")
            << QStringList{"click Check5", "erase Text1", "type Text1 0", "erase Text3", "type Text3 0"}
            << QStringList{"Text1=", "Text3="};
        QTest::newRow("0 after a digit taken") << QStringList{"erase Text1", "type Text1 20"} << QStringList{"Text1=20"};
        QTest::newRow("digits only")
            << QStringList{"click Check5", "erase Text1", "type Text1 a-+. ,e7x", "erase Text3", "type Text3 -1.5e"}
            << QStringList{"Text1=7", "Text3=15"};
        QTest::newRow("four digits of first number")
            << QStringList{"click Check5", "erase Text3", "type Text3 12345"} << QStringList{"Text3=1234"};
        QTest::newRow("pasted text passes the key rules")
            << QStringList{"click Check5", "paste Text1 ab", "paste Text3 -5", "paste Combo1 ZZ"}
            << QStringList{"Text1=ab", "Text3=-5", "Combo1=ZZ"};
        QTest::newRow("pasted magnification still limited") << QStringList{"paste Text1 250"} << QStringList{"Text1=100"};
        QTest::newRow("caption choosers take typing")
            << QStringList{"click Check2", "paste Combo7 ", "type Combo7 42"} << QStringList{"Combo7=42"};
    }

    void rulesFollowTheUser()
    {
        QFETCH(QStringList, actions);
        QFETCH(QStringList, expected);
        Window window;
        perform(&window.start(), actions);
        expectStates(&window.form(), expected);
    }

    void optionChoosersMoveOnlyByUpAndDown_data()
    {
        QTest::addColumn<QString>("chooser");
        for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5", "Combo6", "Combo14"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void optionChoosersMoveOnlyByUpAndDown()
    {
        QFETCH(QString, chooser);
        Window window;
        Form1& form = window.start();
        perform(&form, {"click Check8"});
        auto* combo = form.findChild<QComboBox*>(chooser);
        perform(&form, {"key " + chooser + " Down", "key " + chooser + " Down", "key " + chooser + " Up"});
        QCOMPARE(combo->currentIndex(), 1);
        const QString shown = combo->currentText();
        QCOMPARE(shown, combo->itemText(1));
        for (const char* key : {"PgDown", "PgUp", "Home", "End", "Del", "Backspace", "A", "5", "Space", "F4", "Return",
                                "Alt+Down", "Ctrl+V"})
            perform(&form, {"key " + chooser + " " + key});
        perform(&form, {"type " + chooser + " 12x"});
        QCOMPARE(combo->currentIndex(), 1);
        QCOMPARE(combo->currentText(), shown);
        QVERIFY(!combo->view()->isVisible());
    }

    void rulesRunForProgramChangesButNotForUnchangedValues()
    {
        Window window;
        Form1& form = window.start();
        form.Combo6->setCurrentIndex(1);
        form.Check2->setCheckState(Qt::Checked);
        form.Text1->setText(QStringLiteral("300"));
        expectStates(&form, {"Combo5:hidden", "Combo7:enabled", "Text1=100"});
        // Setting the value a control already has runs nothing: states disturbed by hand stay.
        form.Combo5->show();
        form.Combo6->setCurrentIndex(1);
        form.Combo7->setEnabled(false);
        form.Check2->setCheckState(Qt::Checked);
        expectStates(&form, {"Combo5:shown", "Combo7:disabled"});
    }
};

QTEST_MAIN(OptionRulesTest)
#include "OptionRules_test.moc"
