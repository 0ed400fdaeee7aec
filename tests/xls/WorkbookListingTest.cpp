// Which worksheets a workbook lists, judged by xlrd, and the files that are refused, by the
// listing and by opening alike, with a message that says what the file is.

#include "EngineTestSupport.h"

#include "platform/xls/XlsApplication.h"
#include "platform/xls/model/WorkbookFile.h"

#include "support/BiffStreamBuilder.h"
#include "support/CompoundFileBuilder.h"

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

QStringList asQStrings(const std::vector<std::u16string>& names)
{
    QStringList list;
    for (const auto& name : names)
        list << QString::fromStdU16String(name);
    return list;
}

// xlrd's sheet_names(); --tolerant takes the Workbook stream out with olefile when xlrd 1.2
// refuses overlapping sector chains that Excel accepts.
QStringList xlrdSheetNames(const std::filesystem::path& path)
{
    auto result = runReader("xlrd_sheets.py", {"--tolerant", QString::fromStdString(path.string())});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << "xlrd: " << result.standardError.toStdString();
    return result.standardOutput.split('\n', Qt::SkipEmptyParts);
}

class WorkbookListing : public testing::TestWithParam<const char*> {};

TEST_P(WorkbookListing, ListsTheWorksheetsXlrdLists)
{
    const auto path = workbookFixture(GetParam());
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(asQStrings(*names), xlrdSheetNames(path));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, WorkbookListing,
                         testing::Values("27364.xls", "50298.xls", "DrawingContinue.xls", "SheetWithDrawing.xls",
                                         "SimpleWithImages.xls", "formula_test_sjmachin.xls", "issue20.xls",
                                         "jp_ledger.xls", "ledger.xls", "namesdemo.xls", "picture_in_cell.xls",
                                         "plain.xls", "unicodeNameRecord.xls", "corrupted_error.xls"));

// Hidden sheets are listed, charts, macro sheets and modules are not; one-byte names are Latin-1
// whatever the code page says; a globals substream without its EOF ends at the first sheet.
TEST(WorkbookListing, HiddenSheetsAreListedChartsMacrosAndModulesAreNot)
{
    TemporaryFolder folder;
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Visible").boundSheet(u"Chart1", 2);
    stream.boundSheet(u"Hidden", 0, 1).boundSheet(u"Very hidden", 0, 2).boundSheet(u"Macro1", 1);
    stream.boundSheet(u"Module1", 6).boundSheet(u"Stra\u00DFe", 0, 0, false).boundSheet(u"台帳").eof();
    writeFile(folder / "kinds.xls", workbookFileWith(stream.bytes()));
    auto names = WorkbookFile::worksheetNames(folder / "kinds.xls");
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(asQStrings(*names), (QStringList{"Visible", "Hidden", "Very hidden", "Stra\u00DFe", "台帳"}));
    EXPECT_EQ(asQStrings(*names), xlrdSheetNames(folder / "kinds.xls"));

    BiffStreamBuilder withoutEof;
    withoutEof.bof().record(0x0042, {0xE3, 0x03}).boundSheet(u"").boundSheet(u"Sheet1").bof(0x0600, 0x0010).eof();
    writeFile(folder / "no-eof.xls", workbookFileWith(withoutEof.bytes()));
    auto unended = WorkbookFile::worksheetNames(folder / "no-eof.xls");
    ASSERT_TRUE(unended.ok()) << unended.error().describe();
    EXPECT_EQ(asQStrings(*unended), QStringList{"Sheet1"}) << "an empty name is not listed";
}

Bytes fixtureBytes(const char* name, std::size_t keep = SIZE_MAX)
{
    Bytes bytes = fileBytes(workbookFixture(name));
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}
Bytes text(std::string_view content) { return Bytes(content.begin(), content.end()); }
Bytes globals(BiffStreamBuilder stream) { return workbookFileWith(stream.bytes()); }

// Places in a version 3 compound file (512-byte sectors), found from its header as the format
// describes it, not with the reader under test: FAT sectors are listed from 76, the directory
// starts at the sector named at 48; a directory entry (128 bytes) has its name's length at 64,
// its siblings at 68 and 72, its child at 76, its start sector at 116 and its size at 120.
std::uint32_t u32(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24; }
void putU32At(Bytes& b, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::size_t sectorAt(std::uint32_t sector) { return (std::size_t{sector} + 1) * 512; }
std::size_t fatEntry(const Bytes& b, std::uint32_t sector) { return sectorAt(u32(b, 76 + 4 * (sector / 128))) + 4 * (sector % 128); }
std::size_t directoryEntry(const Bytes& b, std::uint32_t entry)
{
    std::uint32_t sector = u32(b, 48);
    for (std::uint32_t i = 0; i < entry / 4; ++i)
        sector = u32(b, fatEntry(b, sector));
    return sectorAt(sector) + 128 * (entry % 4);
}
std::size_t workbookEntry(const Bytes& b)
{
    const std::uint8_t name[] = {'W', 0, 'o', 0, 'r', 0, 'k', 0, 'b', 0, 'o', 0, 'o', 0, 'k', 0, 0, 0};
    for (std::uint32_t entry = 1;; ++entry)
        if (std::equal(std::begin(name), std::end(name), b.begin() + static_cast<std::ptrdiff_t>(directoryEntry(b, entry))))
            return directoryEntry(b, entry);
}

// SimpleWithImages.xls with the Workbook stream's second sector, the root's first child's sibling
// or the header's count of FAT sectors changed (1 stands for the sector or entry itself).
Bytes simpleWithImages(std::uint32_t nextSector, std::size_t siblingField = 0, std::uint32_t sibling = 0)
{
    Bytes b = fileBytes(workbookFixture("SimpleWithImages.xls"));
    const std::uint32_t start = u32(b, workbookEntry(b) + 116), child = u32(b, directoryEntry(b, 0) + 76);
    if (nextSector != 0)
        putU32At(b, fatEntry(b, start), nextSector == 1 ? start : nextSector);
    if (siblingField != 0)
        putU32At(b, siblingField == 44 ? 44 : directoryEntry(b, child) + siblingField, sibling == 1 ? child : sibling);
    return b;
}

// A 100 KB Workbook stream whose chain loops back near its end: the globals at its front would
// read, but the workbook cannot be loaded.
Bytes loopingWorkbook()
{
    Bytes stream = BiffStreamBuilder().bof().boundSheet(u"Sheet1").eof().bytes();
    stream.resize(100 * 1024, 0);
    Bytes bytes = workbookFileWith(stream);
    std::uint32_t sector = u32(bytes, workbookEntry(bytes) + 116);
    for (int step = 0; step < 200 - 12; ++step)
        sector = u32(bytes, fatEntry(bytes, sector));
    putU32At(bytes, fatEntry(bytes, sector), sector - 50); // the writer lays a stream's sectors out in a row
    return bytes;
}


struct Refusal {
    const char* name;
    std::optional<Bytes> file; // none: no such file
    const char* reason;
    const char* reasonWhenOpened = nullptr; // when opening reads further and finds more to say
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

Bytes compoundFileWith(std::u16string stream, Bytes bytes)
{
    CompoundFileBuilder builder;
    builder.addStream(std::move(stream), std::move(bytes));
    return builder.build();
}

const Refusal refusals[] = {
    {"Biff4", fixtureBytes("biff4_no_format_no_window2.xls"), "Excel 4.0 or older"},
    {"Encrypted", fixtureBytes("xor-encryption-abc.xls"), "encrypted"},
    {"Html", text("\n <html><body>not a workbook</body></html>"), "HTML"},
    {"Text", text("a;b\n1;2\n"), "not an Excel 97-2003 workbook"},
    {"Zip", Bytes{'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0}, "ZIP"},
    {"Empty", Bytes{}, "empty"},
    {"Missing", std::nullopt, "cannot open"},
    {"Excel95BookStream", compoundFileWith(u"Book", BiffStreamBuilder().bof(0x0500).boundSheet(u"Sheet1").eof().bytes()), "Excel 5.0/95"},
    {"Biff5InWorkbookStream", globals(BiffStreamBuilder().bof(0x0500).boundSheet(u"Sheet1").eof()), "Excel 5.0/95"},
    {"NoWorkbookStream", compoundFileWith(u"WordDocument", Bytes(5000, 0)), "no Workbook stream"},
    {"SheetSubstreamFirst", globals(BiffStreamBuilder().bof(0x0600, 0x0010).eof()),
     "does not begin with the workbook globals"},
    {"NoBof", globals(BiffStreamBuilder().boundSheet(u"Sheet1").eof()), "does not begin with a BOF"},
    {"NoEof", globals(BiffStreamBuilder().bof().boundSheet(u"Sheet1")), "without an EOF"},
    {"SheetNameLongerThanItsRecord",
     globals(BiffStreamBuilder().bof().record(0x0085, {0, 0, 0, 0, 0, 0, 10, 1, 'A', 0, 'B', 0}).eof()), "0x0085"},
    {"ShortSheetRecord", globals(BiffStreamBuilder().bof().record(0x0085, {0, 0, 0}).eof()), "too short"},
    {"CutInHalf", fixtureBytes("ledger.xls", 6000), ""},
    {"ChainLoopsNearTheEnd", loopingWorkbook(), "damaged", "loops"},
    {"ChainLoopsAtOnce", simpleWithImages(1), "loops"},
    {"ChainLeavesTheFile", simpleWithImages(0x00FFFFF0), "outside the file"},
    {"ChainEndsEarly", simpleWithImages(0xFFFFFFFE), "runs past the end of the stream"},
    {"DirectorySiblingIsItself", simpleWithImages(0, 68, 1), "twice"},
    {"DirectorySiblingBeyondIt", simpleWithImages(0, 72, 5000), "beyond the directory"},
    {"TooManyFatSectors", simpleWithImages(0, 44, 0x40000000), ""},
};

class RefusedWorkbook : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedWorkbook, IsRefusedWithAReasonByTheListingAndByOpening)
{
    TemporaryFolder folder;
    const auto path = folder / "book.xls";
    if (GetParam().file)
        writeFile(path, *GetParam().file);
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_FALSE(names.ok()) << "listed as " << asQStrings(*names).join(", ").toStdString();
    EXPECT_NE(names.error().describe().find(GetParam().reason), std::string::npos) << names.error().describe();
    XlsApplication application;
    auto opened = application.openWorkbook(path);
    ASSERT_FALSE(opened.ok());
    const char* reason = GetParam().reasonWhenOpened ? GetParam().reasonWhenOpened : GetParam().reason;
    EXPECT_NE(opened.error().describe().find(reason), std::string::npos) << opened.error().describe();
}

std::string refusalName(const testing::TestParamInfo<Refusal>& refusal) { return refusal.param.name; }

INSTANTIATE_TEST_SUITE_P(Files, RefusedWorkbook, testing::ValuesIn(refusals), refusalName);

} // namespace
