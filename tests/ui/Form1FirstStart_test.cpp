// The main window as it comes up when nothing has been stored yet: every control, its first
// value, the option lists, the keyboard order and the window itself.
#include "app/Form1.h"
#include "app/ShapeBox.h"
#include "support/Form1Fixture.h"
#include "support/FormProbes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

using namespace tavorin;
using namespace tavorin::test;

class Form1FirstStartTest : public QObject {
    Q_OBJECT

private slots:
    void createsTheSettingsFileEmptyWithoutWritingIt();
    void optionsShowTheirFirstStartValues();
    void captionGroupsAreOffAndDisabled();
    void sheetNameGroupAndPairSpacingAreHidden();
    void columnChoosersListTheWorksheetColumnsInBothForms();
    void numberChoosersListTheirNumbers();
    void dateFormatsListTheEightSamples();
    void everyNamedControlExistsWithItsCaption();
    void windowHasItsCaptionSizeAndIcon();
    void controlsSitWhereTheLayoutPutsThem();
    void focusStartsInTheNameListAndTabFollowsTheKeyboardOrder();
    void progressBarIsHiddenAndStartIsEnabled();
};

void Form1FirstStartTest::createsTheSettingsFileEmptyWithoutWritingIt()
{
    Form1Fixture fixture;
    QVERIFY(!std::filesystem::exists(fixture.settingsFile()));
    fixture.create();
    QVERIFY(std::filesystem::exists(fixture.settingsFile()));
    QCOMPARE(std::filesystem::file_size(fixture.settingsFile()), std::uintmax_t{0});
}

void Form1FirstStartTest::optionsShowTheirFirstStartValues()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("    A"));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("    A"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo4->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo5->currentText(), QStringLiteral("0"));
    QCOMPARE(form.Combo6->currentText(), QStringLiteral("ALL"));
    QCOMPARE(form.Text1->text(), QStringLiteral("100"));
    QCOMPARE(form.Combo7->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo8->currentText(), QStringLiteral("  A"));
    QCOMPARE(form.Combo13->currentText(), QStringLiteral("2001年3月14日"));
    QCOMPARE(form.Text3->text(), QStringLiteral("0"));
    QVERIFY(form.Option1->isChecked());
    QVERIFY(!form.Option2->isChecked());
    QCOMPARE(form.Combo9->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo10->currentText(), QStringLiteral("  A"));
    QCOMPARE(form.Combo12->currentText(), QStringLiteral("1"));
    QCOMPARE(form.Combo11->currentText(), QStringLiteral("  A"));
    QCOMPARE(form.Combo14->currentText(), QStringLiteral("0"));
    QCOMPARE(form.Check7->checkState(), Qt::Checked);
    for (QCheckBox* box : {form.Check1, form.Check2, form.Check3, form.Check4, form.Check5, form.Check6,
                           form.Check8, form.Check9})
        QVERIFY2(box->checkState() == Qt::Unchecked, qPrintable(box->objectName()));
    QVERIFY(form.Text2->text().isEmpty());
    // Every combo box has a selected item.
    for (QComboBox* combo : form.findChildren<QComboBox*>())
        QVERIFY2(combo->currentIndex() == 0, qPrintable(combo->objectName()));
    // The lists are empty.
    for (QListWidget* list : {form.List1, form.List2, form.List3, form.List4, form.List5})
        QCOMPARE(list->count(), 0);
    QVERIFY(form.Label1->text().isEmpty());
    QVERIFY(form.DATACount->text().isEmpty());
    QCOMPARE(form.TextA->text(), QStringLiteral("TextA"));
    QVERIFY(fixture.messages.messages.empty());
}

void Form1FirstStartTest::captionGroupsAreOffAndDisabled()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    for (QWidget* w : std::initializer_list<QWidget*>{
             form.Combo7, form.Label18, form.Combo8, form.Combo13, form.Label19, form.Label12,  // date
             form.Combo9, form.Label23, form.Combo10, form.Label24, form.Option1, form.Option2, form.Text3,
             form.Combo11, form.Label25, form.Combo12, form.Label26, form.Check9})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    for (QWidget* w : std::initializer_list<QWidget*>{form.Check2, form.Check5, form.Check6, form.Combo1,
                                                      form.Combo6, form.Text1, form.Command1})
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    // The disabled first-number field has the light 3D face as background.
    QCOMPARE(form.Text3->palette().color(QPalette::Base), QApplication::palette(form.Text3).color(QPalette::Midlight));
}

void Form1FirstStartTest::sheetNameGroupAndPairSpacingAreHidden()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QCOMPARE(form.Label2->text(), QStringLiteral("挿入SHEET選択"));
    for (QWidget* w : std::initializer_list<QWidget*>{form.Text2, form.Label17, form.Shape4,
                                                      form.Check4, form.Line11, form.Line14, form.Line15,
                                                      form.Combo14, form.Label33, form.Label34})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    for (QWidget* w : std::initializer_list<QWidget*>{form.Combo5, form.Label4, form.Label21, form.Check7,
                                                      form.Check8})
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
}

void Form1FirstStartTest::columnChoosersListTheWorksheetColumnsInBothForms()
{
    Form1Fixture fixture;
    Form1& form = fixture.create();
    for (QComboBox* combo : {form.Combo1, form.Combo2}) {
        QCOMPARE(combo->count(), 256);
        QCOMPARE(combo->itemText(0), QStringLiteral("    A"));
        QCOMPARE(combo->itemText(25), QStringLiteral("    Z"));
        QCOMPARE(combo->itemText(26), QStringLiteral("  AA"));
        QCOMPARE(combo->itemText(233), QStringLiteral("  HZ"));
        QCOMPARE(combo->itemText(234), QStringLiteral("  IA"));
        QCOMPARE(combo->itemText(255), QStringLiteral("  IV"));
    }
    for (QComboBox* combo : {form.Combo8, form.Combo10, form.Combo11}) {
        QCOMPARE(combo->count(), 256);
        QCOMPARE(combo->itemText(0), QStringLiteral("  A"));
        QCOMPARE(combo->itemText(26), QStringLiteral("AA"));
        QCOMPARE(combo->itemText(255), QStringLiteral("IV"));
    }
    // The long and short form name the same column at every index.
    for (int i = 0; i < 256; ++i)
        QCOMPARE(form.Combo1->itemText(i).trimmed(), form.Combo8->itemText(i).trimmed());
}

void Form1FirstStartTest::numberChoosersListTheirNumbers()
{
    Form1Fixture fixture;
    Form1& form = fixture.create();
    for (QComboBox* combo : {form.Combo3, form.Combo4, form.Combo7, form.Combo9, form.Combo12}) {
        QCOMPARE(combo->count(), 300);
        QCOMPARE(combo->itemText(0), QStringLiteral("1"));
        QCOMPARE(combo->itemText(99), QStringLiteral("100"));
        QCOMPARE(combo->itemText(299), QStringLiteral("300"));
    }
    for (QComboBox* combo : {form.Combo5, form.Combo14}) {
        QCOMPARE(combo->count(), 301);
        QCOMPARE(combo->itemText(0), QStringLiteral("0"));
        QCOMPARE(combo->itemText(300), QStringLiteral("300"));
    }
    QCOMPARE(form.Combo6->count(), 301);
    QCOMPARE(form.Combo6->itemText(0), QStringLiteral("ALL"));
    QCOMPARE(form.Combo6->itemText(1), QStringLiteral("1"));
    QCOMPARE(form.Combo6->itemText(300), QStringLiteral("300"));
}

void Form1FirstStartTest::dateFormatsListTheEightSamples()
{
    Form1Fixture fixture;
    Form1& form = fixture.create();
    const QStringList expected{
        QStringLiteral("2001年3月14日"),   QStringLiteral("2001/3/14"),       QStringLiteral("2001/3/14 1:30 PM"),
        QStringLiteral("2001/3/14 13:30"), QStringLiteral("平成13年3月14日"), QStringLiteral("H13.3.14"),
        QStringLiteral("3月14日"),         QStringLiteral("3/14")};
    QCOMPARE(itemsOf(form.Combo13), expected);
}

void Form1FirstStartTest::everyNamedControlExistsWithItsCaption()
{
    Form1Fixture fixture;
    Form1& form = fixture.create();
    const struct {
        const char* name;
        const char* caption;
    } labels[] = {
        {"Label11", "画像ファイル (Drag＆Drop)"}, {"Label15", "回転"}, {"Label3", "Files"},
        {"Label20", "  Ｅｘｃｅｌファイル (Drag ＆ Drop)"}, {"Label17", "挿入SHEET名"},
        {"Label6", "START列"}, {"Label5", "END列"}, {"Label8", "ＳＴＡＲＴ行"}, {"Label9", "ＥＮＤ行"},
        {"Label7", "画 像"}, {"Label18", "行"}, {"Label19", "列"}, {"Label12", "形式"}, {"Label23", "行"},
        {"Label24", "列"}, {"Label26", "行"}, {"Label25", "列"}, {"Label4", " 画像 間隔"}, {"Label21", "行"},
        {"Label10", " 1SHEET 挿入数"}, {"Label22", "枚"}, {"Label13", " 画像 倍率"}, {"Label14", "％"},
        {"Label35", "挿入形式"}, {"Label30", "①"}, {"Label31", "②"}, {"Label32", "③"}, {"Label27", "①"},
        {"Label28", "②"}, {"Label29", "③"}, {"Label33", " 画像 間隔"}, {"Label34", "列"},
        {"Label16", "○： 　　０°→： 　９０°↓： １８０°←：－９０°"},
    };
    for (const auto& label : labels) {
        auto* found = form.findChild<QLabel*>(QString::fromLatin1(label.name));
        QVERIFY2(found != nullptr, label.name);
        QCOMPARE(found->text(), QString::fromUtf8(label.caption));
    }
    const struct {
        const char* name;
        const char* caption;
    } buttons[] = {{"Command1", "START"}, {"Command2", "Ｖｅｒ"}, {"Command3", "ＥＮＤ"}, {"LISTClear", "Clear"},
                   {"Check1", "同一ファイル名挿入除外"}, {"Check2", "画像作成日"}, {"Check3", "ソート"},
                   {"Check4", "日付け適用"}, {"Check5", "連番"}, {"Check6", "ファイル名"}, {"Check7", ""},
                   {"Check8", ""}, {"Check9", "拡張子なし"}, {"Option1", "No.1"}, {"Option2", " 1"}};
    for (const auto& button : buttons) {
        auto* found = form.findChild<QAbstractButton*>(QString::fromLatin1(button.name));
        QVERIFY2(found != nullptr, button.name);
        QCOMPARE(found->text(), QString::fromUtf8(button.caption));
    }
    QCOMPARE(form.findChild<QGroupBox*>(QStringLiteral("Frame1"))->title(), QStringLiteral("挿入画像指定"));
    QCOMPARE(form.findChild<QGroupBox*>(QStringLiteral("Frame3"))->title(), QStringLiteral("貼り付け先"));
    QVERIFY(form.findChild<QGroupBox*>(QStringLiteral("Frame2"))->title().isEmpty());
    QCOMPARE(form.List2->toolTip(), QStringLiteral(" ﾘｽﾄ項目をDrag＆Dropすることで順番の変更が可能 "));
    for (const char* name : {"List1", "List2", "List3", "List4", "List5"})
        QVERIFY2(form.findChild<QListWidget*>(QString::fromLatin1(name)) != nullptr, name);
    for (const char* name : {"Text1", "Text2", "Text3", "TextA"})
        QVERIFY2(form.findChild<QLineEdit*>(QString::fromLatin1(name)) != nullptr, name);
    for (int n = 1; n <= 14; ++n) {
        auto* combo = form.findChild<QComboBox*>(QStringLiteral("Combo%1").arg(n));
        QVERIFY(combo != nullptr);
        QVERIFY(combo->isEditable());
    }
    for (const char* name : {"Shape1", "Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7", "Line11",
                             "Line14", "Line15", "Image1", "ProgressBar1"})
        QVERIFY2(form.findChild<QWidget*>(QString::fromLatin1(name)) != nullptr, name);
    // The picture preview lies in the option frame.
    QCOMPARE(form.Image1->parentWidget(), form.Frame2);
}

void Form1FirstStartTest::windowHasItsCaptionSizeAndIcon()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QCOMPARE(form.windowTitle(), QStringLiteral("   Tavorin"));
    // 8895 × 8130 twips at 15 twips a pixel.
    QCOMPARE(form.size(), QSize(593, 542));
    const QList<QSize> iconSizes = form.windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(32, 32)));
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    // Faces: bold Gothic by default, bold italic Mincho on the decorative buttons.
    QVERIFY(form.Combo1->font().bold());
    QVERIFY(form.Combo1->font().families().contains(QStringLiteral("ＭＳ Ｐゴシック")));
    QVERIFY(form.Combo1->font().families().contains(QStringLiteral("IPAPGothic")));
    for (QWidget* w : std::initializer_list<QWidget*>{form.Command2, form.Command3, form.LISTClear, form.Label3}) {
        QVERIFY2(w->font().italic() && w->font().bold(), qPrintable(w->objectName()));
        QVERIFY(w->font().families().contains(QStringLiteral("IPAPMincho")));
        QCOMPARE(w->font().pointSizeF(), 12.0);
    }
    QCOMPARE(form.DATACount->font().pointSizeF(), 14.25);
    QCOMPARE(form.Label7->font().pointSizeF(), 27.75);
}

void Form1FirstStartTest::controlsSitWhereTheLayoutPutsThem()
{
    Form1Fixture fixture;
    Form1& form = fixture.create();
    // Twips / 15, relative to the container.
    QCOMPARE(form.Frame2->geometry(), QRect(288, 8, 302, 531));
    QCOMPARE(form.List2->geometry(), QRect(41, 40, 216, 169));
    QCOMPARE(form.Combo6->geometry(), QRect(135, 374, 57, 24));
    QCOMPARE(form.Command3->geometry(), QRect(516, 1, 73, 20));
    QCOMPARE(form.Command1->geometry(), QRect(8, 69, 71, 68));
    QCOMPARE(form.List3->parentWidget(), &form);
    QVERIFY(form.TextA->isHidden());
    QVERIFY(form.List3->isHidden());
    // Colours of the list columns and the choosers.
    QCOMPARE(form.List2->palette().color(QPalette::Base), QColor(194, 220, 200));
    QCOMPARE(form.List5->palette().color(QPalette::Base), QColor(167, 205, 175));
    QCOMPARE(form.List4->palette().color(QPalette::Base), QColor(215, 232, 218));
    QCOMPARE(form.Combo1->palette().color(QPalette::Base), QColor(255, 192, 128));
    QCOMPARE(form.Combo3->palette().color(QPalette::Base), QColor(128, 255, 128));
    QCOMPARE(form.Label20->palette().color(QPalette::Window), QColor(255, 255, 128));
    QCOMPARE(form.Label7->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

void Form1FirstStartTest::focusStartsInTheNameListAndTabFollowsTheKeyboardOrder()
{
    Form1Fixture fixture;
    fixture.start();
    QCOMPARE(focusedControlName(), QStringLiteral("List2"));
    // Hidden and disabled controls are skipped: at first start the three caption groups are
    // disabled, the sheet-name group and the pair spacing hidden.
    const QStringList expected{
        QStringLiteral("LISTClear"), QStringLiteral("Check1"),   QStringLiteral("Combo1"),
        QStringLiteral("Combo2"),    QStringLiteral("Combo3"),   QStringLiteral("Combo4"),
        QStringLiteral("Combo5"),    QStringLiteral("Combo6"),   QStringLiteral("Check3"),
        QStringLiteral("Command2"),  QStringLiteral("Command3"), QStringLiteral("Text1"),
        QStringLiteral("List4"),     QStringLiteral("Check2"),   QStringLiteral("Command1"),
        QStringLiteral("List1"),     QStringLiteral("Check5"),   QStringLiteral("Check6"),
        QStringLiteral("Check7"),    QStringLiteral("Check8"),   QStringLiteral("List5"),
        QStringLiteral("List2")};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(focusedControlName());
    }
    QCOMPARE(visited, expected);
}

void Form1FirstStartTest::progressBarIsHiddenAndStartIsEnabled()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QVERIFY(!form.ProgressBar1->isVisible());
    QCOMPARE(form.ProgressBar1->minimum(), 0);
    QCOMPARE(form.ProgressBar1->maximum(), 100);
    QVERIFY(form.Command1->isVisible());
    QVERIFY(form.Command1->isEnabled());
}

QTEST_MAIN(Form1FirstStartTest)
#include "Form1FirstStart_test.moc"
