// Start-up from a stored settings record and "ＥＮＤ" writing it: record bytes are written and
// checked by hand here, never through the program's own record code.
#include "app/Form1.h"
#include "app/ShapeBox.h"
#include "support/Form1Fixture.h"
#include "support/FormProbes.h"
#include "support/SettingsBytes.h"
#include "support/UserActions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

class StoredSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void restoresEveryStoredValue();
    void blankMagnificationComesBackAs100();
    void magnificationKeepsItsFirstThreeCharacters();
    void firstNumberMinusOneComesBackAsOneAndZeroStaysZero();
    void firstNumberKeepsItsFirstFourCharacters();
    void bothStylesUnselectedComeBackAsNo1();
    void storedSideBySideLayoutComesBackWithThePairSpacing();
    void storedSingleColumnLayoutWinsOverAStoredCheck7Off();
    void onePicturePerSheetHidesTheRowSpacing();
    void sheetCopiesWithDateNameShowTheGroupWithoutTheName();
    void indexOutsideItsListFallsBackToTheFirstStartValue();
    void checkValueOtherThanOneCountsAsOff();
    void shortFileReadsZerosWhereItEnds();
    void damagedFileStillBringsUpAUsableWindow();
    void unreadableSettingsPlaceStillBringsUpTheWindow();

    void endWritesTheExactRecordAndEndsTheProgram();
    void endedValuesComeBackAtTheNextStart();
    void endWithEmptyFirstNumberStoresOne();
    void endWithFirstNumberThatIsNoWholeNumberStoresOne();
    void endStoresAPastedNegativeFirstNumber();
    void closingTheWindowStoresNothing();
    void endThatCannotWriteSaysSoAndStillEnds();
};

void StoredSettingsTest::restoresEveryStoredValue()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes()
                                   .check(1, 1).check(2, 1).check(3, 1).check(5, 1).check(6, 1).check(9, 1)
                                   .check(7, 1)
                                   .combo(1, 5).combo(2, 9).combo(3, 9).combo(4, 19).combo(5, 3).combo(6, 0)
                                   .combo(7, 1).combo(8, 27).combo(9, 2).combo(10, 3).combo(11, 4).combo(12, 5)
                                   .combo(13, 7).combo(14, 6)
                                   .magnification("75    ").firstNumber(12).option1(0).option2(-1)
                                   .bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Check1->checkState(), Qt::Checked);
    QCOMPARE(form.Check2->checkState(), Qt::Checked);
    QCOMPARE(form.Check3->checkState(), Qt::Checked);
    QCOMPARE(form.Check4->checkState(), Qt::Unchecked);
    QCOMPARE(form.Check9->checkState(), Qt::Checked);
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    F"));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("    J"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("10"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("20"));
    QCOMPARE(form.Combo5->currentText(), QStringLiteral("3"));
    QCOMPARE(form.Combo7->currentText(), QStringLiteral("2"));
    QCOMPARE(form.Combo8->currentText(), QStringLiteral("AB"));
    QCOMPARE(form.Combo13->currentText(), QStringLiteral("3/14"));
    QCOMPARE(form.Combo14->currentText(), QStringLiteral("6"));
    QCOMPARE(form.Text1->text(), QStringLiteral("75 "));
    QCOMPARE(form.Text3->text(), QStringLiteral("12"));
    QVERIFY(!form.Option1->isChecked());
    QVERIFY(form.Option2->isChecked());
    // The caption groups follow their restored check boxes.
    QVERIFY(form.Combo7->isEnabled());
    QVERIFY(form.Text3->isEnabled());
    QVERIFY(form.Check9->isEnabled());
}

void StoredSettingsTest::blankMagnificationComesBackAs100()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().magnification("      ").bytes());
    QCOMPARE(fixture.start().Text1->text(), QStringLiteral("100"));
}

void StoredSettingsTest::magnificationKeepsItsFirstThreeCharacters()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().magnification("50    ").bytes());
    QCOMPARE(fixture.start().Text1->text(), QStringLiteral("50 "));
    fixture.writeSettingsBytes(SettingsBytes().magnification("123456").bytes());
    QCOMPARE(fixture.start().Text1->text(), QStringLiteral("100")); // "123" is above the limit
    fixture.writeSettingsBytes(SettingsBytes().magnification("012345").bytes());
    QCOMPARE(fixture.start().Text1->text(), QStringLiteral("012"));
}

void StoredSettingsTest::firstNumberMinusOneComesBackAsOneAndZeroStaysZero()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().firstNumber(-1).bytes());
    QCOMPARE(fixture.start().Text3->text(), QStringLiteral("1"));
    fixture.writeSettingsBytes(SettingsBytes().firstNumber(0).bytes());
    QCOMPARE(fixture.start().Text3->text(), QStringLiteral("0"));
    fixture.writeSettingsBytes(SettingsBytes().firstNumber(-7).bytes());
    QCOMPARE(fixture.start().Text3->text(), QStringLiteral("-7"));
}

void StoredSettingsTest::firstNumberKeepsItsFirstFourCharacters()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().firstNumber(32767).bytes());
    QCOMPARE(fixture.start().Text3->text(), QStringLiteral("3276"));
}

void StoredSettingsTest::bothStylesUnselectedComeBackAsNo1()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().option1(0).option2(0).bytes());
    Form1& form = fixture.start();
    QVERIFY(form.Option1->isChecked());
    QVERIFY(!form.Option2->isChecked());
    // Both stored as selected: the later one wins, as it would when clicked in that order.
    fixture.writeSettingsBytes(SettingsBytes().option1(-1).option2(-1).bytes());
    Form1& again = fixture.start();
    QVERIFY(!again.Option1->isChecked());
    QVERIFY(again.Option2->isChecked());
}

void StoredSettingsTest::storedSideBySideLayoutComesBackWithThePairSpacing()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().check(7, 1).check(8, 1).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Check7->checkState(), Qt::Unchecked);
    QCOMPARE(form.Check8->checkState(), Qt::Checked);
    QVERIFY(form.Combo14->isVisible());
    QVERIFY(form.Label33->isVisible());
    QVERIFY(form.Label34->isVisible());
}

void StoredSettingsTest::storedSingleColumnLayoutWinsOverAStoredCheck7Off()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().check(7, 0).check(8, 0).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Check7->checkState(), Qt::Checked);
    QCOMPARE(form.Check8->checkState(), Qt::Unchecked);
    QVERIFY(!form.Combo14->isVisible());
}

void StoredSettingsTest::onePicturePerSheetHidesTheRowSpacing()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().combo(6, 1).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("1"));
    QVERIFY(!form.Combo5->isVisible());
    QVERIFY(!form.Label4->isVisible());
    QVERIFY(!form.Label21->isVisible());
    QCOMPARE(form.Label2->text(), QStringLiteral("コピー元SHEET選択"));
}

void StoredSettingsTest::sheetCopiesWithDateNameShowTheGroupWithoutTheName()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().combo(6, 2).check(4, 1).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Label2->text(), QStringLiteral("コピー元SHEET選択"));
    for (QWidget* w : std::initializer_list<QWidget*>{form.Label17, form.Shape4, form.Check4, form.Line11,
                                                      form.Line14, form.Line15, form.Combo5})
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(!form.Text2->isVisible());
    QCOMPARE(form.Check4->checkState(), Qt::Checked);

    // Stored "ALL" with Check4 on: the group stays hidden whatever Check4 says.
    fixture.writeSettingsBytes(SettingsBytes().combo(6, 0).check(4, 1).bytes());
    Form1& all = fixture.start();
    QCOMPARE(all.Label2->text(), QStringLiteral("挿入SHEET選択"));
    QVERIFY(!all.Check4->isVisible());
    QVERIFY(!all.Shape4->isVisible());
}

void StoredSettingsTest::indexOutsideItsListFallsBackToTheFirstStartValue()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes()
                                   .combo(1, 256).combo(2, 300).combo(3, -1).combo(4, 4).combo(6, 301)
                                   .combo(13, 8).combo(14, -32768).combo(7, 12)
                                   .bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    A"));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("    A"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("5")); // in range: kept
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("ALL"));
    QCOMPARE(form.Combo13->currentText(), QStringLiteral("2001年3月14日"));
    QCOMPARE(form.Combo14->currentText(), QStringLiteral("0"));
    QCOMPARE(form.Combo7->currentText(), QStringLiteral("13"));
    QVERIFY(fixture.messages.messages.empty());
}

void StoredSettingsTest::checkValueOtherThanOneCountsAsOff()
{
    Form1Fixture fixture;
    fixture.writeSettingsBytes(SettingsBytes().check(2, 2).check(5, 255).check(6, 1).check(8, 2).bytes());
    Form1& form = fixture.start();
    QCOMPARE(form.Check2->checkState(), Qt::Unchecked);
    QVERIFY(!form.Combo7->isEnabled());
    QCOMPARE(form.Check5->checkState(), Qt::Unchecked);
    QVERIFY(!form.Text3->isEnabled());
    QCOMPARE(form.Check6->checkState(), Qt::Checked);
    QVERIFY(form.Combo11->isEnabled());
    QCOMPARE(form.Check7->checkState(), Qt::Checked);
    QCOMPARE(form.Check8->checkState(), Qt::Unchecked);
}

void StoredSettingsTest::shortFileReadsZerosWhereItEnds()
{
    Form1Fixture fixture;
    // Check1 on, Check8 on, Combo1 index 3, then the file ends in the middle of Combo2.
    fixture.writeSettingsBytes(QByteArray("\x01\x00\x00\x00\x00\x00\x00\x01\x00\x03\x00\x07", 12));
    Form1& form = fixture.start();
    QCOMPARE(form.Check1->checkState(), Qt::Checked);
    QCOMPARE(form.Check8->checkState(), Qt::Checked);
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    D"));
    // Combo2's low byte 7 is there, its high byte is missing and reads as zero.
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("    H"));
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("ALL"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
    QCOMPARE(form.Text3->text(), QStringLiteral("0"));
    QVERIFY(form.Option1->isChecked());
    // Reading does not change the file.
    QCOMPARE(fixture.readSettingsBytes().size(), qsizetype(12));
}

void StoredSettingsTest::damagedFileStillBringsUpAUsableWindow()
{
    Form1Fixture fixture;
    QByteArray garbage;
    for (int i = 0; i < 300; ++i)
        garbage.append(char((i * 151 + 77) & 0xFF));
    fixture.writeSettingsBytes(garbage);
    Form1& form = fixture.start();
    QVERIFY(form.isVisible());
    for (QComboBox* combo : form.findChildren<QComboBox*>())
        QVERIFY2(combo->currentIndex() >= 0 && combo->currentIndex() < combo->count(),
                 qPrintable(combo->objectName()));
    QVERIFY(form.Option1->isChecked() != form.Option2->isChecked());
    QVERIFY(form.Check7->isChecked() != form.Check8->isChecked());
    QVERIFY(form.Text1->text().size() <= 3);
    QVERIFY(form.Text3->text().size() <= 4);
    // The window still works: a click changes an option.
    const Qt::CheckState before = form.Check3->checkState();
    click(form.Check3);
    QVERIFY(form.Check3->checkState() != before);
}

void StoredSettingsTest::unreadableSettingsPlaceStillBringsUpTheWindow()
{
    Form1Fixture fixture;
    // The settings folder's name is taken by a plain file: nothing can be created there.
    const auto folder = fixture.settingsFile().parent_path();
    std::filesystem::create_directories(folder.parent_path());
    { std::ofstream(folder.string()) << "not a folder"; }
    Form1& form = fixture.start();
    QVERIFY(form.isVisible());
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("ALL"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
}

namespace {

// Sets options the way the user would.
void chooseOptions(Form1& form)
{
    click(form.Check1);                       // on
    click(form.Check5);                       // on
    click(form.Check8);                       // side by side: Check7 off
    QVERIFY(chooseItem(form.Combo1, 2));      // "    C"
    QVERIFY(chooseItem(form.Combo2, 27));     // "  AB"
    QVERIFY(chooseItem(form.Combo3, 4));      // "5"
    QVERIFY(chooseItem(form.Combo4, 299));    // "300"
    QVERIFY(chooseItem(form.Combo5, 2));      // "2"
    QVERIFY(chooseItem(form.Combo6, 258));    // "258"
    QVERIFY(chooseItem(form.Combo14, 1));     // "1"
    click(form.Option2);
    eraseWithKeys(form.Text1);
    typeText(form.Text1, QStringLiteral("85"));
    eraseWithKeys(form.Text3);
    typeText(form.Text3, QStringLiteral("260"));
}

} // namespace

void StoredSettingsTest::endWritesTheExactRecordAndEndsTheProgram()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    chooseOptions(form);
    click(form.Command3);
    QCOMPARE(fixture.endProgramCalls, 1);
    QVERIFY(fixture.messages.messages.empty());
    const QByteArray expected(
        "\x01\x00\x00\x00\x01\x00\x00\x01\x00"        // Check1 … Check9
        "\x02\x00\x1b\x00\x04\x00\x2b\x01\x02\x00"    // Combo1 2, Combo2 27, Combo3 4, Combo4 299, Combo5 2
        "\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00"    // Combo6 258, Combo7 … Combo10 0
        "\x00\x00\x00\x00\x00\x00\x01\x00"            // Combo11, Combo12, Combo13 0, Combo14 1
        "85    "                                      // magnification, blank padded
        "\x04\x01"                                    // first number 260
        "\x00\x00\xff\xff",                           // "No.1" off, " 1" on
        49);
    QCOMPARE(fixture.readSettingsBytes(), expected);
}

void StoredSettingsTest::endedValuesComeBackAtTheNextStart()
{
    Form1Fixture fixture;
    chooseOptions(fixture.start());
    click(fixture.form().Command3);
    Form1& form = fixture.start();
    QCOMPARE(form.Check1->checkState(), Qt::Checked);
    QCOMPARE(form.Check7->checkState(), Qt::Unchecked);
    QCOMPARE(form.Check8->checkState(), Qt::Checked);
    QVERIFY(form.Combo14->isVisible());
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    C"));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("  AB"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("5"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("300"));
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("258"));
    QCOMPARE(form.Combo14->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Text1->text(), QStringLiteral("85 "));
    QCOMPARE(form.Text3->text(), QStringLiteral("260"));
    QVERIFY(form.Option2->isChecked());
    QVERIFY(form.Text3->isEnabled());
}

void StoredSettingsTest::endWithEmptyFirstNumberStoresOne()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    eraseWithKeys(form.Text3);
    click(form.Command3);
    QCOMPARE(form.Text3->text(), QStringLiteral("1"));
    const QByteArray bytes = fixture.readSettingsBytes();
    QCOMPARE(bytes.size(), qsizetype(49));
    QCOMPARE(bytes.mid(43, 2), QByteArray("\x01\x00", 2));
    // Magnification "100" is stored with three blanks.
    QCOMPARE(bytes.mid(37, 6), QByteArray("100   "));
    QCOMPARE(fixture.start().Text3->text(), QStringLiteral("1"));
}

void StoredSettingsTest::endWithFirstNumberThatIsNoWholeNumberStoresOne()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    form.Text3->selectAll();
    pasteInto(form.Text3, QStringLiteral("1.5"));
    click(form.Command3);
    QCOMPARE(fixture.readSettingsBytes().mid(43, 2), QByteArray("\x01\x00", 2));
    QCOMPARE(fixture.endProgramCalls, 1);
}

void StoredSettingsTest::endStoresAPastedNegativeFirstNumber()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    click(form.Check5);
    form.Text3->selectAll();
    pasteInto(form.Text3, QStringLiteral("-5"));
    click(form.Command3);
    QCOMPARE(fixture.readSettingsBytes().mid(43, 2), QByteArray("\xfb\xff", 2));
}

void StoredSettingsTest::closingTheWindowStoresNothing()
{
    Form1Fixture fixture;
    const QByteArray stored = SettingsBytes().combo(1, 7).combo(2, 7).magnification("90    ").bytes();
    fixture.writeSettingsBytes(stored);
    Form1& form = fixture.start();
    chooseOptions(form);
    QVERIFY(form.close());
    QCOMPARE(fixture.endProgramCalls, 0);
    QCOMPARE(fixture.readSettingsBytes(), stored);
    Form1& next = fixture.start();
    QCOMPARE(next.Combo1->currentText(), QStringLiteral("    H"));
    QCOMPARE(next.Text1->text(), QStringLiteral("90 "));
}

void StoredSettingsTest::endThatCannotWriteSaysSoAndStillEnds()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    // Take the settings folder away and put a plain file in its place.
    const auto folder = fixture.settingsFile().parent_path();
    std::filesystem::remove_all(folder);
    { std::ofstream(folder.string()) << "not a folder"; }
    click(form.Command3);
    QCOMPARE(fixture.messages.messages.size(), std::size_t(1));
    QCOMPARE(fixture.messages.messages[0].title, QStringLiteral("Tavorin"));
    QVERIFY(fixture.messages.messages[0].text.contains(QStringLiteral("保存できませんでした")));
    QCOMPARE(fixture.endProgramCalls, 1);
}

QTEST_MAIN(StoredSettingsTest)
#include "StoredSettings_test.moc"
