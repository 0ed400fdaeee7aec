// The workbook drop on its six targets and the sheet listing: what Label1, List1 and TextA show
// after a drop, what is refused silently, and the one message when a spreadsheet application runs.
#include "app/Form1.h"
#include "lists/WorkbookSelection.h"
#include "support/Form1Fixture.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"
#include "support/WorkbookDrops.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

namespace {

QStringList itemsOf(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

std::filesystem::path copyFixture(const TemporaryFolder& folder, const std::string& fixture, const std::string& as)
{
    auto target = folder / std::filesystem::u8path(as);
    std::filesystem::copy_file(workbookFixture(fixture), target);
    return target;
}

const QStringList ledgerSheets{"Sheet1", "My Sheet"};

} // namespace

class WorkbookDropTest : public QObject {
    Q_OBJECT

private slots:
    void aWorkbookWithADefinedNameListsOnlyItsSheets();
    void everyOneOfTheSixTargetsTakesTheWorkbook();
    void lowerAndUpperCaseXlsAreListed();
    void mixedCaseAndXlsxEmptyTheSelectionWithoutAMessage();
    void aDropOfTwoWorkbooksListsTheFirst();
    void aRunningSpreadsheetApplicationKeepsThePreviousListing();
    void aDropOnStartListsAndStartsNothing();
    void aPictureDroppedOnTheSheetListEmptiesBoth();
    void aDamagedOrForeignWorkbookShowsItsNameWithAnEmptyList();
    void aDropWithoutAFileChangesNothing();
    void aJapaneseFileNameWithBlanksIsShownAndListed();
    void theWorkbookIsNotHeldOpenAfterTheListing();
    void listingAgainReadsTheFileAnew();
};

void WorkbookDropTest::aWorkbookWithADefinedNameListsOnlyItsSheets()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    auto ledger = workbookFixture("ledger.xls"); // defined name "Data", Print_Area on Sheet1
    QVERIFY(dropFiles(form.Label20, {ledger}));
    QCOMPARE(form.TextA->text(), pathText(ledger));
    QCOMPARE(form.Label1->text(), QStringLiteral(" ledger.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(form.List1->currentRow(), 0);
    QVERIFY(form.List1->currentItem()->isSelected());
    QVERIFY(form.List1->isVisible());
    QVERIFY(fixture.messages.messages.empty());
    QCOMPARE(fixture.runningApplications.asked.size(), std::size_t{1});
    QCOMPARE(fixture.runningApplications.asked.front(), ledger);
}

void WorkbookDropTest::everyOneOfTheSixTargetsTakesTheWorkbook()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    const QList<QWidget*> targets{form.Label20, form.Label1, form.Label2, form.List1, form.Command1, form.Frame2};
    for (QWidget* target : targets) {
        form.Label1->setText(QString());
        form.List1->clear();
        QVERIFY2(dropFiles(target, {workbookFixture("namesdemo.xls")}), qPrintable(target->objectName()));
        QCOMPARE(form.Label1->text(), QStringLiteral(" namesdemo.xls"));
        QCOMPARE(itemsOf(form.List1), (QStringList{"Sheet1", "Sheet2", "Sheet3", "Seamus O'Reilly"}));
    }
    QVERIFY(fixture.messages.messages.empty());
}

void WorkbookDropTest::lowerAndUpperCaseXlsAreListed()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    for (const char* name : {"Book1.xls", "Book1.XLS"}) {
        TemporaryFolder own;
        auto copy = copyFixture(own, "ledger.xls", name);
        form.List1->clear();
        dropFiles(form.List1, {copy});
        QCOMPARE(form.Label1->text(), QStringLiteral(" ") + name);
        QCOMPARE(itemsOf(form.List1), ledgerSheets);
    }
}

void WorkbookDropTest::mixedCaseAndXlsxEmptyTheSelectionWithoutAMessage()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    for (const char* name : {"Book1.Xls", "Book1.xlsx", "Book1"}) {
        dropFiles(form.Label20, {workbookFixture("ledger.xls")});
        QCOMPARE(itemsOf(form.List1), ledgerSheets);
        auto copy = copyFixture(folder, "ledger.xls", name);
        dropFiles(form.Label20, {copy});
        QCOMPARE(form.TextA->text(), pathText(copy));
        QCOMPARE(form.Label1->text(), QString());
        QCOMPARE(form.List1->count(), 0);
    }
    QVERIFY(fixture.messages.messages.empty());
}

void WorkbookDropTest::aDropOfTwoWorkbooksListsTheFirst()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    auto first = workbookFixture("ledger.xls");
    dropFiles(form.Label2, {first, workbookFixture("namesdemo.xls")});
    QCOMPARE(form.TextA->text(), pathText(first));
    QCOMPARE(form.Label1->text(), QStringLiteral(" ledger.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
}

void WorkbookDropTest::aRunningSpreadsheetApplicationKeepsThePreviousListing()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    dropFiles(form.Label20, {workbookFixture("ledger.xls")});
    form.List1->setCurrentRow(1);

    fixture.runningApplications.running = true;
    auto second = workbookFixture("namesdemo.xls");
    dropFiles(form.Label20, {second});
    QCOMPARE(fixture.messages.messages.size(), std::size_t{1});
    QCOMPARE(fixture.messages.messages[0].text, QStringLiteral("Excel が起動中です。"));
    QCOMPARE(fixture.messages.messages[0].title, QStringLiteral("Tavorin"));
    QCOMPARE(form.Label1->text(), QStringLiteral(" ledger.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(form.List1->currentRow(), 1);
    // The new path is kept; the next listing works on it.
    QCOMPARE(form.TextA->text(), pathText(second));
    QCOMPARE(fixture.runningApplications.asked.back(), second);
}

void WorkbookDropTest::aDropOnStartListsAndStartsNothing()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    QSignalSpy clicks(form.Command1, &QPushButton::clicked);
    QSignalSpy presses(form.Command1, &QPushButton::pressed);
    dropFiles(form.Command1, {workbookFixture("ledger.xls")});
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(presses.count(), 0);
    QVERIFY(fixture.messages.messages.empty());
    QVERIFY(form.isEnabled());
}

void WorkbookDropTest::aPictureDroppedOnTheSheetListEmptiesBoth()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    dropFiles(form.Label20, {workbookFixture("ledger.xls")});
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    dropFiles(form.List1, {pictureFixture("land.jpg")});
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(form.List1->count(), 0);
    QVERIFY(fixture.messages.messages.empty());
}

void WorkbookDropTest::aDamagedOrForeignWorkbookShowsItsNameWithAnEmptyList()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    auto ledger = workbookFixture("ledger.xls");
    auto size = std::filesystem::file_size(ledger);
    auto damaged = copyFixture(folder, "ledger.xls", "damaged.xls");
    std::filesystem::resize_file(damaged, size / 2);
    auto html = folder / "report.xls";
    std::ofstream(html) << "<html><body><table><tr><td>1</td></tr></table></body></html>";
    auto old = copyFixture(folder, "biff4_no_format_no_window2.xls", "old.xls");
    auto encrypted = copyFixture(folder, "xor-encryption-abc.xls", "secret.xls");

    for (const auto& file : {damaged, html, old, encrypted}) {
        dropFiles(form.Label20, {ledger});
        QCOMPARE(form.List1->count(), 2);
        dropFiles(form.Label20, {file});
        QCOMPARE(form.Label1->text(), QStringLiteral(" ") + pathText(file.filename()));
        QCOMPARE(form.List1->count(), 0);
        QVERIFY(form.List1->isVisible());
    }
    QVERIFY(fixture.messages.messages.empty());
}

void WorkbookDropTest::aDropWithoutAFileChangesNothing()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    dropFiles(form.Label20, {workbookFixture("ledger.xls")});
    const QString path = form.TextA->text();

    QMimeData text;
    text.setText(QStringLiteral("Sheet9"));
    QVERIFY(!dropData(form.Label1, text));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/book.xls"))});
    dropData(form.List1, web);

    QCOMPARE(form.TextA->text(), path);
    QCOMPARE(form.Label1->text(), QStringLiteral(" ledger.xls"));
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    QCOMPARE(fixture.runningApplications.asked.size(), std::size_t{1});
}

void WorkbookDropTest::aJapaneseFileNameWithBlanksIsShownAndListed()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    auto copy = copyFixture(folder, "jp_ledger.xls", "台帳 2026.xls");
    dropFiles(form.Frame2, {copy});
    QCOMPARE(form.Label1->text(), QStringLiteral(" 台帳 2026.xls"));
    QCOMPARE(itemsOf(form.List1), QStringList{QStringLiteral("台帳")});
}

void WorkbookDropTest::theWorkbookIsNotHeldOpenAfterTheListing()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    auto ledger = std::filesystem::canonical(workbookFixture("ledger.xls"));
    dropFiles(form.Label20, {ledger});
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        auto target = std::filesystem::read_symlink(descriptor.path(), error);
        QVERIFY2(error || target != ledger, "the workbook is still open");
    }
}

void WorkbookDropTest::listingAgainReadsTheFileAnew()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    auto book = copyFixture(folder, "ledger.xls", "book.xls");
    dropFiles(form.Label20, {book});
    QCOMPARE(itemsOf(form.List1), ledgerSheets);
    std::filesystem::copy_file(workbookFixture("namesdemo.xls"), book,
                               std::filesystem::copy_options::overwrite_existing);
    form.workbookSelection()->listSheets();
    QCOMPARE(itemsOf(form.List1), (QStringList{"Sheet1", "Sheet2", "Sheet3", "Seamus O'Reilly"}));
    QCOMPARE(form.List1->currentRow(), 0);
}

QTEST_MAIN(WorkbookDropTest)
#include "WorkbookDrop_test.moc"
