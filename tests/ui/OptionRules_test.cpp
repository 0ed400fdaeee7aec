// The rules that tie the option controls together, driven by clicks, item choices from the
// lists, key presses and pasted text on the real window.
#include "app/Form1.h"
#include "app/ShapeBox.h"
#include "support/Form1Fixture.h"
#include "support/FormProbes.h"
#include "support/UserActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace tavorin;
using namespace tavorin::test;

class OptionRulesTest : public QObject {
    Q_OBJECT

private slots:
    void dateGroupFollowsItsCheckBox();
    void numberGroupFollowsItsCheckBoxWithTheFieldBackground();
    void fileNameGroupFollowsItsCheckBox();
    void layoutPairKeepsExactlyOneBoxOn();
    void picturesPerSheetShowsTheSheetNameGroupAndRenamesTheSheetHeading();
    void oneComboPerSheetHidesTheRowSpacing();
    void sheetDateHidesTheSheetName();
    void endColumnBeforeStartPullsTheStartAlong();
    void startColumnAfterEndPushesTheEndAlong();
    void rowsNeverCrossJudgedByTheirNumbers();
    void pastedRowAbove300BecomesTheLastRowAndDragsTheEnd();
    void pastedEndRowBeforeStartDragsTheStart();
    void magnificationTypedAbove100Becomes100();
    void zeroIntoAnEmptyNumberFieldIsRefused();
    void numberFieldsRefuseEverythingButDigitsAndBackspace();
    void pastedTextPassesOnlyTheTextRules();
    void arrowKeysStepTheOptionCombos();
    void otherKeysLeaveTheOptionCombosAlone();
    void captionChoosersAcceptTyping();
    void rulesRunForProgramChangesButNotForUnchangedValues();
};

void OptionRulesTest::dateGroupFollowsItsCheckBox()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> group{form.Combo7, form.Label12, form.Label18, form.Combo8, form.Combo13, form.Label19};
    click(form.Check2);
    QCOMPARE(form.Check2->checkState(), Qt::Checked);
    for (QWidget* w : group)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    click(form.Check2);
    for (QWidget* w : group)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
}

void OptionRulesTest::numberGroupFollowsItsCheckBoxWithTheFieldBackground()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> group{form.Combo9, form.Label23, form.Combo10, form.Label24,
                                form.Option1, form.Option2, form.Text3};
    const QPalette system = QApplication::palette(form.Text3);
    QVERIFY(system.color(QPalette::Base) != system.color(QPalette::Midlight));
    click(form.Check5);
    for (QWidget* w : group)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(form.Text3->palette().color(QPalette::Base), system.color(QPalette::Base));
    click(form.Check5);
    for (QWidget* w : group)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(form.Text3->palette().color(QPalette::Base), system.color(QPalette::Midlight));
}

void OptionRulesTest::fileNameGroupFollowsItsCheckBox()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> group{form.Combo11, form.Label25, form.Combo12, form.Label26, form.Check9};
    click(form.Check6);
    for (QWidget* w : group)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    // The other groups stay as they were.
    QVERIFY(!form.Combo7->isEnabled());
    QVERIFY(!form.Combo9->isEnabled());
    click(form.Check6);
    for (QWidget* w : group)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
}

void OptionRulesTest::layoutPairKeepsExactlyOneBoxOn()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> pairSpacing{form.Combo14, form.Label33, form.Label34};

    click(form.Check7); // off: side by side
    QCOMPARE(form.Check7->checkState(), Qt::Unchecked);
    QCOMPARE(form.Check8->checkState(), Qt::Checked);
    for (QWidget* w : pairSpacing)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));

    click(form.Check7); // on again: one below the other
    QCOMPARE(form.Check7->checkState(), Qt::Checked);
    QCOMPARE(form.Check8->checkState(), Qt::Unchecked);
    for (QWidget* w : pairSpacing)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));

    click(form.Check8);
    QCOMPARE(form.Check7->checkState(), Qt::Unchecked);
    QCOMPARE(form.Check8->checkState(), Qt::Checked);
    QVERIFY(form.Combo14->isVisible());

    click(form.Check8);
    QCOMPARE(form.Check7->checkState(), Qt::Checked);
    QCOMPARE(form.Check8->checkState(), Qt::Unchecked);
    QVERIFY(!form.Combo14->isVisible());

    // The keyboard toggles a box just as the mouse does.
    pressKey(form.Check8, Qt::Key_Space);
    QCOMPARE(form.Check7->checkState(), Qt::Unchecked);
    QVERIFY(form.Combo14->isVisible());
}

void OptionRulesTest::picturesPerSheetShowsTheSheetNameGroupAndRenamesTheSheetHeading()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> group{form.Label17, form.Shape4, form.Check4, form.Text2,
                                form.Line11,  form.Line14, form.Line15};
    QVERIFY(chooseItem(form.Combo6, 2));
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("2"));
    QCOMPARE(form.Label2->text(), QStringLiteral("コピー元SHEET選択"));
    for (QWidget* w : group)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));

    click(form.Check4); // on: Text2 goes
    QVERIFY(chooseItem(form.Combo6, 0));
    QCOMPARE(form.Label2->text(), QStringLiteral("挿入SHEET選択"));
    for (QWidget* w : group)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));

    // Back to a number: the group returns, with Text2 still hidden because Check4 is on.
    QVERIFY(chooseItem(form.Combo6, 5));
    QVERIFY(form.Check4->isVisible());
    QVERIFY(form.Shape4->isVisible());
    QVERIFY(!form.Text2->isVisible());
    QCOMPARE(form.Label2->text(), QStringLiteral("コピー元SHEET選択"));
}

void OptionRulesTest::oneComboPerSheetHidesTheRowSpacing()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> spacing{form.Combo5, form.Label4, form.Label21};
    QVERIFY(chooseItem(form.Combo6, 1));
    for (QWidget* w : spacing)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(chooseItem(form.Combo6, 2));
    for (QWidget* w : spacing)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(chooseItem(form.Combo6, 1));
    QVERIFY(chooseItem(form.Combo6, 0));
    for (QWidget* w : spacing)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
}

void OptionRulesTest::sheetDateHidesTheSheetName()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(chooseItem(form.Combo6, 3));
    QVERIFY(form.Text2->isVisible());
    click(form.Check4);
    QVERIFY(!form.Text2->isVisible());
    click(form.Check4);
    QVERIFY(form.Text2->isVisible());
}

void OptionRulesTest::endColumnBeforeStartPullsTheStartAlong()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(chooseItem(form.Combo2, 30));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("  AE"));
    QCOMPARE(form.Combo1->currentIndex(), 0); // a later end leaves the start alone
    QVERIFY(chooseItem(form.Combo1, 10));
    QCOMPARE(form.Combo2->currentIndex(), 30);
    QVERIFY(chooseItem(form.Combo2, 4));
    QCOMPARE(form.Combo1->currentIndex(), 4);
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    E"));
    // Equal columns are allowed.
    QCOMPARE(form.Combo2->currentIndex(), 4);
}

void OptionRulesTest::startColumnAfterEndPushesTheEndAlong()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(chooseItem(form.Combo1, 255));
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("  IV"));
    QCOMPARE(form.Combo2->currentIndex(), 255);
    // The arrow keys move the start just as the mouse does.
    pressKey(form.Combo1, Qt::Key_Up);
    QCOMPARE(form.Combo1->currentIndex(), 254);
    QCOMPARE(form.Combo2->currentIndex(), 255);
    pressKey(form.Combo2, Qt::Key_Up);
    pressKey(form.Combo2, Qt::Key_Up);
    QCOMPARE(form.Combo2->currentIndex(), 253);
    QCOMPARE(form.Combo1->currentIndex(), 253);
}

void OptionRulesTest::rowsNeverCrossJudgedByTheirNumbers()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(chooseItem(form.Combo3, 19));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("20"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("20"));
    QVERIFY(chooseItem(form.Combo4, 99));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("20"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("100"));
    // "9" is after "100" as text but before it as a number: the end row is not moved.
    QVERIFY(chooseItem(form.Combo3, 8));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("100"));
    QVERIFY(chooseItem(form.Combo4, 2));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("3"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("3"));
}

void OptionRulesTest::pastedRowAbove300BecomesTheLastRowAndDragsTheEnd()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    form.Combo3->lineEdit()->selectAll();
    pasteInto(form.Combo3->lineEdit(), QStringLiteral("750"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("300"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("300"));

    form.Combo3->lineEdit()->selectAll();
    pasteInto(form.Combo3->lineEdit(), QStringLiteral("301"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("300"));
}

void OptionRulesTest::pastedEndRowBeforeStartDragsTheStart()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(chooseItem(form.Combo3, 49));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("50"));
    form.Combo4->lineEdit()->selectAll();
    pasteInto(form.Combo4->lineEdit(), QStringLiteral("12"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("12"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("12"));
    // An empty row text is left alone while editing.
    form.Combo4->lineEdit()->selectAll();
    form.Combo4->lineEdit()->del();
    QCOMPARE(form.Combo4->currentText(), QString());
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("12"));
}

void OptionRulesTest::magnificationTypedAbove100Becomes100()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    eraseWithKeys(form.Text1);
    QCOMPARE(form.Text1->text(), QString());
    typeText(form.Text1, QStringLiteral("10"));
    QCOMPARE(form.Text1->text(), QStringLiteral("10"));
    typeText(form.Text1, QStringLiteral("5"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
    eraseWithKeys(form.Text1);
    typeText(form.Text1, QStringLiteral("99"));
    QCOMPARE(form.Text1->text(), QStringLiteral("99"));
    // Backspace is a character the field accepts.
    pressKey(form.Text1, Qt::Key_Backspace);
    QCOMPARE(form.Text1->text(), QStringLiteral("9"));
}

void OptionRulesTest::zeroIntoAnEmptyNumberFieldIsRefused()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    for (QLineEdit* field : {form.Text1, form.Text3}) {
        eraseWithKeys(field);
        typeText(field, QStringLiteral("0"));
        QCOMPARE(field->text(), QString());
        typeText(field, QStringLiteral("20"));
        QCOMPARE(field->text(), QStringLiteral("20"));
    }
}

void OptionRulesTest::numberFieldsRefuseEverythingButDigitsAndBackspace()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    for (QLineEdit* field : {form.Text1, form.Text3}) {
        eraseWithKeys(field);
        typeText(field, QStringLiteral("a-+. ,e"));
        QCOMPARE(field->text(), QString());
        typeText(field, QStringLiteral("7x"));
        QCOMPARE(field->text(), QStringLiteral("7"));
        // A keyboard paste is a control character and is refused as well.
        QGuiApplication::clipboard()->setText(QStringLiteral("55"));
        pressKey(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QStringLiteral("7"));
    }
    // The first number takes up to four digits.
    typeText(form.Text3, QStringLiteral("1234"));
    QCOMPARE(form.Text3->text(), QStringLiteral("7123"));
}

void OptionRulesTest::pastedTextPassesOnlyTheTextRules()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    form.Text1->selectAll();
    pasteInto(form.Text1, QStringLiteral("ab"));
    QCOMPARE(form.Text1->text(), QStringLiteral("ab"));
    form.Text1->selectAll();
    pasteInto(form.Text1, QStringLiteral("250"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
    form.Text3->selectAll();
    pasteInto(form.Text3, QStringLiteral("-5"));
    QCOMPARE(form.Text3->text(), QStringLiteral("-5"));
    // The edit field of an option combo box takes pasted text too; no rule applies to Combo1.
    form.Combo1->lineEdit()->selectAll();
    pasteInto(form.Combo1->lineEdit(), QStringLiteral("ZZ"));
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("ZZ"));
    QCOMPARE(form.Combo1->currentIndex(), 0);
}

void OptionRulesTest::arrowKeysStepTheOptionCombos()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    for (QComboBox* combo : {form.Combo1, form.Combo2, form.Combo3, form.Combo4, form.Combo5, form.Combo6}) {
        const QString first = combo->currentText();
        pressKey(combo, Qt::Key_Down);
        QVERIFY2(combo->currentIndex() >= 1, qPrintable(combo->objectName()));
        QCOMPARE(combo->currentText(), combo->itemText(combo->currentIndex()));
        pressKey(combo, Qt::Key_Up);
        pressKey(combo, Qt::Key_Up);
        QVERIFY2(combo->currentText() == first || combo->currentIndex() == 0, qPrintable(combo->objectName()));
    }
    pressKey(form.Combo6, Qt::Key_Down);
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("1"));
    QVERIFY(!form.Combo5->isVisible());
    click(form.Check8);
    pressKey(form.Combo14, Qt::Key_Down);
    pressKey(form.Combo14, Qt::Key_Down);
    QCOMPARE(form.Combo14->currentText(), QStringLiteral("2"));
}

void OptionRulesTest::otherKeysLeaveTheOptionCombosAlone()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check8);
    for (QComboBox* combo :
         {form.Combo1, form.Combo2, form.Combo3, form.Combo4, form.Combo5, form.Combo6, form.Combo14}) {
        pressKey(combo, Qt::Key_Down);
        const int index = combo->currentIndex();
        const QString text = combo->currentText();
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End, Qt::Key_Delete,
                            Qt::Key_Backspace, Qt::Key_A, Qt::Key_5, Qt::Key_Space, Qt::Key_F4, Qt::Key_Return})
            pressKey(combo, key);
        pressKey(combo, Qt::Key_Down, Qt::AltModifier);
        pressKey(combo, Qt::Key_V, Qt::ControlModifier);
        typeText(combo, QStringLiteral("12x"));
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(combo->currentText(), text);
        QVERIFY2(!combo->view()->isVisible(), qPrintable(combo->objectName()));
    }
}

void OptionRulesTest::captionChoosersAcceptTyping()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check2);
    form.Combo7->lineEdit()->selectAll();
    typeText(form.Combo7, QStringLiteral("42"));
    QCOMPARE(form.Combo7->currentText(), QStringLiteral("42"));
}

void OptionRulesTest::rulesRunForProgramChangesButNotForUnchangedValues()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    // A change made by the program sets off the rule like the user's.
    form.Combo6->setCurrentIndex(1);
    QVERIFY(!form.Combo5->isVisible());
    form.Check2->setCheckState(Qt::Checked);
    QVERIFY(form.Combo7->isEnabled());
    form.Text1->setText(QStringLiteral("300"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
    // Setting the value a control already has runs nothing: the states disturbed here by hand
    // stay as they are.
    form.Combo5->show();
    form.Combo6->setCurrentIndex(1);
    QVERIFY(form.Combo5->isVisible());
    form.Combo7->setEnabled(false);
    form.Check2->setCheckState(Qt::Checked);
    QVERIFY(!form.Combo7->isEnabled());
    form.Combo14->show();
    form.Check7->setCheckState(Qt::Checked);
    QVERIFY(form.Combo14->isVisible());
}

QTEST_MAIN(OptionRulesTest)
#include "OptionRules_test.moc"
