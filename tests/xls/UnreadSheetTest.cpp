// Sheets that nobody asks for are not read when a workbook opens: they are written back as
// they were, moved as a whole, with the stream positions in them (INDEX) and in the shared
// string table's index (EXTSST) following them. What the readers see must not change.

#include "EngineTestSupport.h"
#include "support/StreamLayout.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/model/CellEditor.h"
#include "platform/xls/model/SheetCopier.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/records/WorkbookRecordType.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::vector<std::uint8_t> workbookStreamOf(const std::filesystem::path& path)
{
    auto file = WorkbookFile::open(path);
    EXPECT_TRUE(file.ok()) << path;
    if (!file)
        return {};
    auto stream = file->compoundFile().readStream(file->workbookStream());
    EXPECT_TRUE(stream.ok()) << path;
    return stream ? *stream : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> writtenStream(const WorkbookModel& model)
{
    WorkbookStreamWriter writer(model);
    MemoryOutputSink sink;
    EXPECT_TRUE(writer.write(sink).ok());
    return sink.take();
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

// Two worksheets of 100 rows each (numbers, and texts in the shared string table: several
// DBCELL blocks and EXTSST buckets), made from plain.xls by the engine itself.
std::filesystem::path twoSheetWorkbook(const test::TemporaryFolder& folder)
{
    auto document = test::openDocument(test::workbookFixture("plain.xls"));
    if (!document)
        return {};
    auto& model = document->model();
    auto copy = SheetCopier(model).copyAfter(0, 0);
    EXPECT_TRUE(copy.ok());
    for (std::size_t sheet : {std::size_t{0}, std::size_t{1}}) {
        CellEditor cells(model, *model.sheets[sheet]);
        for (std::uint32_t row = 0; row < 100; ++row) {
            EXPECT_TRUE(cells.setNumber(row, 0, row * 1.5 + static_cast<double>(sheet)).ok());
            auto text = u"写真 " + QString::number(row + 1000 * sheet).toStdU16String();
            EXPECT_TRUE(cells.setText(row, 2, text).ok());
        }
    }
    auto path = folder / "two-sheets.xls";
    EXPECT_TRUE(document->saveAs(path).ok());
    return path;
}

QJsonObject poiSheet(const QJsonObject& report, int index, bool withName = true)
{
    auto sheet = report["sheets"].toArray()[index].toObject();
    if (!withName)
        sheet.remove("name");
    return sheet;
}

} // namespace

// Every fixture whose own positions are right still has them right after open + save.
TEST(UnreadSheets, SavedFixturesKeepTheirStreamPositionsTrue)
{
    test::TemporaryFolder folder;
    int checked = 0;
    for (const char* name : {"ledger.xls", "plain.xls", "jp_ledger.xls", "namesdemo.xls", "issue20.xls",
                             "formula_test_sjmachin.xls", "SimpleWithImages.xls", "SheetWithDrawing.xls",
                             "DrawingContinue.xls", "27364.xls", "50298.xls", "unicodeNameRecord.xls",
                             "picture_in_cell.xls", "hidden_layout.xls"}) {
        auto original = workbookStreamOf(test::workbookFixture(name));
        if (!test::streamLayoutProblems(original).empty())
            continue; // written so by another program; kept as it is
        auto document = test::openDocument(test::workbookFixture(name));
        ASSERT_TRUE(document);
        ASSERT_TRUE(document->saveAs(folder / name).ok());
        EXPECT_EQ(joined(test::streamLayoutProblems(workbookStreamOf(folder / name))), "") << name;
        ++checked;
    }
    EXPECT_GE(checked, 8);
}

// A longer sheet name makes the globals grow, so every sheet behind them moves. The sheets that
// were never read come out byte for byte but for their INDEX positions, the shared strings as
// they were but for EXTSST's positions, and every position agrees with the new layout.
TEST(UnreadSheets, MoveWithGrowingGlobals)
{
    test::TemporaryFolder folder;
    auto source = twoSheetWorkbook(folder);
    ASSERT_FALSE(source.empty());
    auto before = workbookStreamOf(source);
    ASSERT_EQ(joined(test::streamLayoutProblems(before)), "");

    auto document = test::openDocument(source);
    ASSERT_TRUE(document);
    auto& model = document->model();
    ASSERT_TRUE(model.sheets[0]->unread && model.sheets[1]->unread) << "opening reads no sheet";
    model.sheets[0]->name = u"写真台帳 二〇〇一年三月十四日";
    auto after = writtenStream(model);
    EXPECT_EQ(joined(test::streamLayoutProblems(after)), "");

    auto sheetBefore = test::sheetBytes(before, 1);
    auto sheetAfter = test::sheetBytes(after, 1);
    ASSERT_FALSE(sheetBefore.empty());
    ASSERT_EQ(sheetBefore.size(), sheetAfter.size());
    EXPECT_NE(sheetBefore.data() - before.data(), sheetAfter.data() - after.data()) << "the sheet did not move";
    std::size_t differing = 0;
    for (std::size_t i = 0; i < sheetBefore.size(); ++i)
        differing += sheetBefore[i] != sheetAfter[i];
    EXPECT_GT(differing, 0u) << "INDEX positions were not moved";
    EXPECT_LE(differing, 4u * 8) << "more than INDEX positions changed";

    ASSERT_TRUE(document->saveAs(folder / "renamed.xls").ok());
    auto poiBefore = test::poiContent(source);
    auto poiAfter = test::poiContent(folder / "renamed.xls");
    EXPECT_EQ(poiSheet(poiAfter, 0, false), poiSheet(poiBefore, 0, false));
    EXPECT_EQ(poiSheet(poiAfter, 1), poiSheet(poiBefore, 1));
    EXPECT_EQ(poiSheet(poiAfter, 0)["name"].toString(), QString("写真台帳 二〇〇一年三月十四日"));
    EXPECT_EQ(test::oracleContent("xlrd_dump.py", folder / "renamed.xls")["sheets"].toArray()[1],
              test::oracleContent("xlrd_dump.py", source)["sheets"].toArray()[1]);
}

// A text added on the first sheet makes the shared string table grow: the second sheet, never
// read, moves behind it and still reads the same.
TEST(UnreadSheets, MoveBehindAGrowingStringTable)
{
    test::TemporaryFolder folder;
    auto source = twoSheetWorkbook(folder);
    ASSERT_FALSE(source.empty());
    auto document = test::openDocument(source);
    ASSERT_TRUE(document);
    auto& model = document->model();
    CellEditor cells(model, *model.sheets[0]);
    ASSERT_TRUE(cells.setText(150, 1, u"新しい文字列 added after opening").ok());
    EXPECT_FALSE(model.sheets[0]->unread);
    EXPECT_TRUE(model.sheets[1]->unread);
    ASSERT_TRUE(document->saveAs(folder / "grown.xls").ok());
    EXPECT_EQ(joined(test::streamLayoutProblems(workbookStreamOf(folder / "grown.xls"))), "");

    auto poiBefore = test::poiContent(source);
    auto poiAfter = test::poiContent(folder / "grown.xls");
    EXPECT_EQ(poiSheet(poiAfter, 1), poiSheet(poiBefore, 1));
    auto cellsAfter = poiSheet(poiAfter, 0)["cells"].toArray();
    EXPECT_EQ(cellsAfter.size(), poiSheet(poiBefore, 0)["cells"].toArray().size() + 1);
    bool found = false;
    for (const auto& cell : cellsAfter)
        found = found || (cell.toObject()["cell"].toString() == "B151" &&
                          cell.toObject()["value"].toString() == QString("新しい文字列 added after opening"));
    EXPECT_TRUE(found);
}

// A damaged record inside a sheet nobody asks for does not stop the workbook from opening or
// saving: the sheet goes back as it was. Asking for it gives an error naming the record, and the
// sheet stays as it was for the next save.
TEST(UnreadSheets, DamageInsideASheetShowsOnlyWhenItIsRead)
{
    test::TemporaryFolder folder;
    auto source = twoSheetWorkbook(folder);
    ASSERT_FALSE(source.empty());
    auto stream = workbookStreamOf(source);
    auto sheet = test::sheetBytes(stream, 1);
    ASSERT_FALSE(sheet.empty());
    // The second sheet's first NUMBER becomes a MULBLANK whose size does not fit its columns.
    std::size_t offset = static_cast<std::size_t>(sheet.data() - stream.data());
    std::optional<std::size_t> damaged;
    for (std::size_t at = offset; at + 4 <= offset + sheet.size(); at += 4 + ByteReader::u16At(stream, at + 2)) {
        if (ByteReader::u16At(stream, at) == RecordType::Number) {
            damaged = at;
            setU16(stream, at, RecordType::MulBlank);
            break;
        }
    }
    ASSERT_TRUE(damaged);

    auto model = WorkbookModel::read(stream);
    ASSERT_TRUE(model.ok()) << model.error().describe();
    EXPECT_EQ(writtenStream(*model), stream) << "an untouched workbook is written back as it was";

    auto loaded = model->load(*model->sheets[1]);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().recordType, RecordType::MulBlank);
    EXPECT_EQ(loaded.error().offset, *damaged);
    CellEditor second(*model, *model->sheets[1]);
    EXPECT_FALSE(second.setNumber(0, 5, 1.0).ok());
    EXPECT_TRUE(model->sheets[1]->unread) << "a sheet that failed to read stays as it was";

    CellEditor first(*model, *model->sheets[0]);
    ASSERT_TRUE(first.setNumber(0, 5, 2.5).ok());
    auto written = writtenStream(*model);
    EXPECT_EQ(joined(test::streamLayoutProblems(written)), "");
    auto sheetAfter = test::sheetBytes(written, 1);
    EXPECT_EQ(sheetAfter.size(), sheet.size());
}
