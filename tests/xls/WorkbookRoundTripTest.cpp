// Opening and saving a workbook without changing it gives a file that independent readers see
// as the same workbook, with every other stream of the compound file unchanged.

#include "EngineTestSupport.h"

#include "platform/xls/model/WorkbookStreamWriter.h"

using namespace tavorin;
using namespace tavorin::xls;

namespace {

const char* const readableFixtures[] = {
    "ledger.xls",       "plain.xls",           "jp_ledger.xls",       "namesdemo.xls",
    "issue20.xls",      "formula_test_sjmachin.xls", "SimpleWithImages.xls", "SheetWithDrawing.xls",
    "DrawingContinue.xls", "27364.xls",       "50298.xls",           "unicodeNameRecord.xls",
    "picture_in_cell.xls",
};

} // namespace

class UntouchedWorkbook : public ::testing::TestWithParam<const char*> {};

TEST_P(UntouchedWorkbook, ReadsTheSameInPoiAndKeepsOtherStreams)
{
    test::TemporaryFolder folder;
    auto original = test::workbookFixture(GetParam());
    auto document = test::openDocument(original);
    ASSERT_TRUE(document);
    auto saved = folder / "saved.xls";
    auto status = document->saveAs(saved);
    ASSERT_TRUE(status.ok()) << status.error().describe();

    EXPECT_EQ(test::poiContent(original), test::poiContent(saved));

    // Every stream but the rewritten Workbook stream is byte-identical, the root CLSID too.
    auto before = test::streamListing(original);
    auto after = test::streamListing(saved);
    auto withoutWorkbook = [](QStringList lines) {
        lines.removeIf([](const QString& line) { return line.startsWith("Workbook\t"); });
        return lines;
    };
    EXPECT_EQ(withoutWorkbook(before), withoutWorkbook(after));
    EXPECT_EQ(before.size(), after.size());
}

// xlrd and LibreOffice also see the same sheets, cells, formats, merged areas, sizes and names.
// Both files lie in one folder: links to other workbooks are relative to it.
TEST_P(UntouchedWorkbook, ReadsTheSameInXlrdAndLibreOffice)
{
    test::TemporaryFolder folder;
    auto original = folder / "original.xls";
    std::filesystem::copy_file(test::workbookFixture(GetParam()), original);
    auto document = test::openDocument(original);
    ASSERT_TRUE(document);
    auto saved = folder / "saved.xls";
    ASSERT_TRUE(document->saveAs(saved).ok());
    EXPECT_EQ(test::oracleContent("xlrd_dump.py", original), test::oracleContent("xlrd_dump.py", saved));
    EXPECT_EQ(test::oracleContent("lo_dump.py", original), test::oracleContent("lo_dump.py", saved));
}

// Saving what was saved gives the same Workbook stream again: nothing drifts from save to save.
TEST_P(UntouchedWorkbook, SecondSaveWritesTheSameStream)
{
    test::TemporaryFolder folder;
    auto first = test::openDocument(test::workbookFixture(GetParam()));
    ASSERT_TRUE(first);
    ASSERT_TRUE(first->saveAs(folder / "once.xls").ok());
    auto second = test::openDocument(folder / "once.xls");
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->saveAs(folder / "twice.xls").ok());
    EXPECT_EQ(test::fileBytes(folder / "once.xls"), test::fileBytes(folder / "twice.xls"));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, UntouchedWorkbook, ::testing::ValuesIn(readableFixtures));

// The stream announced to the compound-file writer is exactly as long as the one written.
TEST(WorkbookStream, MeasuredSizeIsWrittenSize)
{
    for (const char* name : readableFixtures) {
        auto document = test::openDocument(test::workbookFixture(name));
        ASSERT_TRUE(document);
        WorkbookStreamWriter writer(document->model());
        MemoryOutputSink sink;
        ASSERT_TRUE(writer.write(sink).ok()) << name;
        EXPECT_EQ(sink.written(), writer.size()) << name;
    }
}
