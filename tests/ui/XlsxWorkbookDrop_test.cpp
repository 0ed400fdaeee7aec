// Excel 2007+ workbooks dropped on the window: listed like .xls ones whatever the case of their
// extension; an encrypted package and a binary workbook are refused with a message in Japanese.
#include "app/Form1.h"
#include "platform/xls/compound/CompoundFileWriter.h"
#include "platform/xls/compound/OutputSink.h"
#include "support/Form1Fixture.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"
#include "support/WorkbookDrops.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <fstream>

using namespace tavorin;
using namespace tavorin::test;

class XlsxWorkbookDropTest : public QObject {
    Q_OBJECT

private slots:
    void xlsxAndXlsmInAnyCaseAreListed();
    void encryptedAndBinaryWorkbooksAreRefusedWithAMessage();
};

void XlsxWorkbookDropTest::xlsxAndXlsmInAnyCaseAreListed()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    const std::pair<const char*, QStringList> cases[] = {
        {"jp_ledger.xlsx", {QStringLiteral("台帳")}}, {"ledger_macro.xlsm", {"Sheet1", "My Sheet"}}};
    for (const auto& [fixtureName, sheets] : cases) {
        for (const char* ending : {".xlsx", ".XLSM", ".Xlsx"}) {
            const auto copy = folder / (std::string("book") + ending);
            std::filesystem::copy_file(workbookFixture(fixtureName), copy, std::filesystem::copy_options::overwrite_existing);
            dropFiles(form.Label20, {copy});
            QCOMPARE(form.Label1->text(), QStringLiteral(" book") + ending);
            QStringList items;
            for (int i = 0; i < form.List1->count(); ++i)
                items << form.List1->item(i)->text();
            QCOMPARE(items, sheets);
            QCOMPARE(form.List1->currentRow(), 0);
        }
    }
    QVERIFY(fixture.messages.messages.empty());
}

void XlsxWorkbookDropTest::encryptedAndBinaryWorkbooksAreRefusedWithAMessage()
{
    Form1Fixture fixture;
    Form1& form = fixture.start();
    TemporaryFolder folder;
    xls::CompoundFileWriter file; // Office's form of a password-protected package
    file.addStream(xls::CompoundFileWriter::root, u"EncryptedPackage", std::vector<std::uint8_t>(4096, 7));
    xls::MemoryOutputSink out;
    QVERIFY(file.write(out).ok());
    const auto bytes = out.take();
    const auto secret = folder / "secret.xlsx";
    std::ofstream(secret, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
    const auto binary = folder / "book.xlsb";
    std::filesystem::copy_file(workbookFixture("StockPortfolio.xlsx"), binary);

    dropFiles(form.Label20, {secret});
    QCOMPARE(fixture.messages.messages.size(), std::size_t{1});
    QVERIFY(fixture.messages.messages[0].text.startsWith(QStringLiteral("暗号化された（パスワード付きの）ブックは開けません。")));
    QCOMPARE(form.List1->count(), 0);
    dropFiles(form.Label20, {binary});
    QCOMPARE(fixture.messages.messages.size(), std::size_t{2});
    QVERIFY(fixture.messages.messages[1].text.startsWith(QStringLiteral("バイナリ形式（.xlsb）のブックには対応していません。")));
    QCOMPARE(form.Label1->text(), QString());
    QCOMPARE(form.List1->count(), 0);
}

QTEST_MAIN(XlsxWorkbookDropTest)
#include "XlsxWorkbookDrop_test.moc"
