// An untouched workbook saved reads the same in POI and xlrd (every sheet loaded whole), keeps its other
// streams' bytes, has true stream positions and saves the same again. Sheets nobody asked for are
// written back as they were, moved whole, their INDEX positions and EXTSST following them.

#include "EngineTestSupport.h"

#include "platform/xls/model/SheetCopier.h"

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

QStringList withoutWorkbookStream(QStringList listing)
{
    listing.removeIf([](const QString& line) { return line.startsWith("Workbook\t"); });
    return listing;
}

Bytes writtenStream(const WorkbookModel& model)
{
    WorkbookStreamWriter writer(model);
    MemoryOutputSink sink;
    EXPECT_TRUE(writer.write(sink).ok());
    EXPECT_EQ(sink.written(), writer.size()) << "the size announced to the compound file is the size written";
    return sink.take();
}

class UntouchedWorkbook : public testing::TestWithParam<const char*> {};

TEST_P(UntouchedWorkbook, ReadsTheSameInPoiAndXlrdAndSavesTheSameAgain)
{
    TemporaryFolder folder; // both files in one folder: links to other workbooks are relative to it
    const auto original = copyWorkbook(folder.path(), GetParam(), "original.xls");
    const auto saved = folder / "saved.xls";
    auto document = openDocument(original);
    ASSERT_TRUE(document);
    (void)writtenStream(document->model());
    ASSERT_TRUE(document->saveAs(saved).ok());

    EXPECT_EQ(withoutFileName(poiReport(saved)), withoutFileName(poiReport(original)));
    EXPECT_EQ(withoutFileName(xlrdReport(saved)), withoutFileName(xlrdReport(original)));
    EXPECT_EQ(withoutWorkbookStream(streamListing(saved)), withoutWorkbookStream(streamListing(original)));
    if (streamLayoutProblems(workbookStreamOf(original)).empty()) { // else written so by another program
        EXPECT_EQ(layoutProblemsOf(saved), "");
    }

    auto again = openDocument(saved);
    ASSERT_TRUE(again);
    ASSERT_TRUE(again->saveAs(folder / "twice.xls").ok());
    EXPECT_EQ(fileBytes(folder / "twice.xls"), fileBytes(saved)) << "nothing drifts from save to save";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, UntouchedWorkbook,
                         testing::Values("ledger.xls", "plain.xls", "jp_ledger.xls", "namesdemo.xls",
                                         "issue20.xls", "formula_test_sjmachin.xls", "SimpleWithImages.xls",
                                         "SheetWithDrawing.xls", "DrawingContinue.xls", "27364.xls",
                                         "50298.xls", "unicodeNameRecord.xls", "picture_in_cell.xls"));

// Two worksheets of 100 rows each (numbers, and texts in the shared string table: several DBCELL
// blocks and EXTSST buckets), made from plain.xls by the engine and saved.
std::filesystem::path twoSheetWorkbook(const TemporaryFolder& folder)
{
    auto document = openDocument(workbookFixture("plain.xls"));
    if (!document)
        return {};
    auto& model = document->model();
    EXPECT_TRUE(SheetCopier(model).copyAfter(0, 0).ok());
    for (std::size_t sheet : {0u, 1u}) {
        CellEditor cells(model, *model.sheets[sheet]);
        for (std::uint32_t row = 0; row < 100; ++row) {
            EXPECT_TRUE(cells.setNumber(row, 0, row * 1.5 + static_cast<double>(sheet)).ok());
            EXPECT_TRUE(
                cells.setText(row, 2, u"写真 " + QString::number(row + 1000 * sheet).toStdU16String()).ok());
        }
    }
    EXPECT_TRUE(document->saveAs(folder / "two-sheets.xls").ok());
    return folder / "two-sheets.xls";
}

QJsonObject sheetAt(const QJsonObject& report, int index)
{
    return report["sheets"].toArray()[index].toObject();
}

// A longer sheet name grows the globals and a new text the string table: the second sheet, never read,
// moves byte for byte but for its INDEX positions, which agree with the new layout; readers see no change.
TEST(UnreadSheets, MoveWholeBehindGrowingGlobalsAndStrings)
{
    TemporaryFolder folder;
    const auto source = twoSheetWorkbook(folder);
    ASSERT_FALSE(source.empty());
    const Bytes before = workbookStreamOf(source);
    ASSERT_EQ(layoutProblemsOf(source), "");

    auto document = openDocument(source);
    ASSERT_TRUE(document);
    auto& model = document->model();
    ASSERT_TRUE(model.sheets[0]->unread && model.sheets[1]->unread) << "opening reads no sheet";
    model.sheets[0]->name = u"写真台帳 二〇〇一年三月十四日";
    ASSERT_TRUE(
        CellEditor(model, *model.sheets[0]).setText(150, 1, u"新しい文字列 added after opening").ok());
    EXPECT_TRUE(model.sheets[1]->unread);
    ASSERT_TRUE(document->saveAs(folder / "grown.xls").ok());
    const Bytes after = workbookStreamOf(folder / "grown.xls");
    EXPECT_EQ(layoutProblemsOf(folder / "grown.xls"), "");

    const auto sheetBefore = sheetBytes(before, 1), sheetAfter = sheetBytes(after, 1);
    ASSERT_FALSE(sheetBefore.empty());
    ASSERT_EQ(sheetBefore.size(), sheetAfter.size());
    EXPECT_GT(sheetAfter.data() - after.data(), sheetBefore.data() - before.data())
        << "the sheet did not move";
    std::size_t differing = 0;
    for (std::size_t i = 0; i < sheetBefore.size(); ++i)
        differing += sheetBefore[i] != sheetAfter[i];
    EXPECT_GT(differing, 0u) << "INDEX positions were not moved";
    EXPECT_LE(differing, 4u * 8) << "more than INDEX positions changed";

    const auto poiBefore = poiReport(source), poiAfter = poiReport(folder / "grown.xls");
    ASSERT_TRUE(poiBefore && poiAfter);
    EXPECT_EQ(sheetAt(*poiAfter, 1), sheetAt(*poiBefore, 1));
    EXPECT_EQ(sheetAt(*poiAfter, 0)["name"].toString(), QStringLiteral("写真台帳 二〇〇一年三月十四日"));
    EXPECT_EQ(cellOf(sheetAt(*poiAfter, 0), "B151")["value"].toString(),
              QStringLiteral("新しい文字列 added after opening"));
    EXPECT_EQ(cellOf(sheetAt(*poiAfter, 0), "C100")["value"].toString(), QStringLiteral("写真 99"));
    const auto xlrdBefore = xlrdReport(source), xlrdAfter = xlrdReport(folder / "grown.xls");
    ASSERT_TRUE(xlrdBefore && xlrdAfter);
    EXPECT_EQ(sheetAt(*xlrdAfter, 1), sheetAt(*xlrdBefore, 1));
}

} // namespace
