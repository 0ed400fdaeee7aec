// Which worksheets a workbook lists, judged by xlrd, and the files that are refused, by the
// listing and by opening alike, with a message that says what the file is.

#include "EngineTestSupport.h"
#include "support/DamagedWorkbooks.h"

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
                         testing::Values("27364.xls", "50298.xls", "DrawingContinue.xls",
                                         "SheetWithDrawing.xls", "SimpleWithImages.xls",
                                         "formula_test_sjmachin.xls", "issue20.xls", "jp_ledger.xls",
                                         "ledger.xls", "namesdemo.xls", "picture_in_cell.xls", "plain.xls",
                                         "unicodeNameRecord.xls", "corrupted_error.xls"));

// Hidden sheets are listed, charts, macro sheets and modules are not; one-byte names are Latin-1.
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
}

Bytes fixtureBytes(const char* name, std::size_t keep = SIZE_MAX)
{
    Bytes bytes = fileBytes(workbookFixture(name));
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}
Bytes text(std::string_view content)
{
    return Bytes(content.begin(), content.end());
}
Bytes globals(const BiffStreamBuilder& stream, Bytes tail = {})
{
    Bytes bytes = stream.bytes();
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return workbookFileWith(bytes);
}

// A record header whose length lies: only `present` bytes of data follow.
Bytes lyingRecord(std::uint16_t type, std::uint16_t length, std::size_t present)
{
    Bytes bytes;
    BiffStreamBuilder::putU16(bytes, type);
    BiffStreamBuilder::putU16(bytes, length);
    bytes.resize(bytes.size() + present);
    return bytes;
}

struct Refusal {
    const char* name;
    std::optional<Bytes> file; // none: no such file
    const char* reason;
    const char* reasonWhenOpened = nullptr; // when opening reads further and finds more to say
};

Bytes damaged(CompoundDamage damage)
{
    return damagedWorkbook(workbookFixture("SimpleWithImages.xls"), damage);
}

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
    {"Excel95BookStream",
     compoundFileWith(u"Book", BiffStreamBuilder().bof(0x0500).boundSheet(u"Sheet1").eof().bytes()),
     "Excel 5.0/95"},
    {"Biff5InWorkbookStream", globals(BiffStreamBuilder().bof(0x0500).boundSheet(u"Sheet1").eof()),
     "Excel 5.0/95"},
    {"NoWorkbookStream", compoundFileWith(u"WordDocument", Bytes(5000, 0)), "no Workbook stream"},
    {"SheetSubstreamFirst", globals(BiffStreamBuilder().bof(0x0600, 0x0010).eof()),
     "does not begin with the workbook globals"},
    {"NoBof", globals(BiffStreamBuilder().boundSheet(u"Sheet1").eof()), "does not begin with a BOF"},
    {"NoEof", globals(BiffStreamBuilder().bof().boundSheet(u"Sheet1")), "without an EOF"},
    {"SheetNameLongerThanItsRecord",
     globals(BiffStreamBuilder().bof().record(0x0085, {0, 0, 0, 0, 0, 0, 10, 1, 'A', 0, 'B', 0}).eof()),
     "0x0085"},
    {"ShortSheetRecord", globals(BiffStreamBuilder().bof().record(0x0085, {0, 0, 0}).eof()), "too short"},
    {"RecordOverTheLimit", globals(BiffStreamBuilder().bof(), lyingRecord(0x00FC, 8225, 8225)), "8224"},
    {"RecordPastTheEnd", globals(BiffStreamBuilder().bof(), lyingRecord(0x0085, 20, 19)), "0x0085"},
    {"ContinuePastTheEnd",
     globals(BiffStreamBuilder().bof().record(0x00FC, Bytes(8, 0)), lyingRecord(0x003C, 50, 10)), "0x003C"},
    {"CutInHalf", fixtureBytes("ledger.xls", 6000), ""},
    {"ChainLoopsNearTheEnd", workbookWithALoopNearItsEnd(), "damaged", "loops"},
    {"ChainLoopsAtOnce", damaged(CompoundDamage::ChainLoopsAtOnce), "loops"},
    {"ChainLeavesTheFile", damaged(CompoundDamage::ChainLeavesTheFile), "outside the file"},
    {"ChainEndsEarly", damaged(CompoundDamage::ChainEndsEarly), "runs past the end of the stream"},
    {"DirectorySiblingIsItself", damaged(CompoundDamage::SiblingIsItself), "twice"},
    {"DirectorySiblingBeyondIt", damaged(CompoundDamage::SiblingBeyondTheDirectory), "beyond the directory"},
    {"TooManyFatSectors", damaged(CompoundDamage::TooManyFatSectors), ""},
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
    EXPECT_NE(names.error().describe().find(GetParam().reason), std::string::npos)
        << names.error().describe();
    XlsApplication application;
    auto opened = application.openWorkbook(path);
    ASSERT_FALSE(opened.ok());
    const char* reason = GetParam().reasonWhenOpened ? GetParam().reasonWhenOpened : GetParam().reason;
    EXPECT_NE(opened.error().describe().find(reason), std::string::npos) << opened.error().describe();
}

std::string refusalName(const testing::TestParamInfo<Refusal>& refusal)
{
    return refusal.param.name;
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedWorkbook, testing::ValuesIn(refusals), refusalName);

} // namespace
