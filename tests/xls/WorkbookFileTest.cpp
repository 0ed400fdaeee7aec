#include "platform/xls/records/BiffString.h"
#include "platform/xls/model/WorkbookFile.h"

#include "support/BiffStreamBuilder.h"
#include "support/CompoundFileBuilder.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::BiffStreamBuilder;

namespace {

QStringList asQStrings(const std::vector<std::u16string>& names)
{
    QStringList list;
    for (const auto& name : names)
        list << QString::fromStdU16String(name);
    return list;
}

QStringList xlrdSheetNames(const std::filesystem::path& path, bool tolerant = false)
{
    QStringList arguments{QString::fromStdString(path.string())};
    if (tolerant)
        arguments.prepend("--tolerant");
    auto result = test::runOracle("xlrd_sheets.py", arguments);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    return result.standardOutput.split('\n', Qt::SkipEmptyParts);
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WorkbookListingAgainstXlrd : public testing::TestWithParam<const char*> {};

TEST_P(WorkbookListingAgainstXlrd, SameWorksheetNamesInTheSameOrder)
{
    auto path = test::workbookFixture(GetParam());
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(asQStrings(*names), xlrdSheetNames(path));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, WorkbookListingAgainstXlrd,
                         testing::Values("27364.xls", "50298.xls", "DrawingContinue.xls", "SheetWithDrawing.xls",
                                         "SimpleWithImages.xls", "formula_test_sjmachin.xls", "issue20.xls",
                                         "jp_ledger.xls", "ledger.xls", "namesdemo.xls", "picture_in_cell.xls",
                                         "plain.xls", "unicodeNameRecord.xls"),
                         [](const auto& parameter) {
                             std::string name = parameter.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(WorkbookListingNames, QuotedAndSpacedNamesComeOutPlainAndDefinedNamesDoNot)
{
    auto ledger = WorkbookFile::worksheetNames(test::workbookFixture("ledger.xls"));
    ASSERT_TRUE(ledger.ok());
    // ledger.xls has a defined name "Data" that must not appear.
    EXPECT_EQ(asQStrings(*ledger), (QStringList{"Sheet1", "My Sheet"}));
    auto names = WorkbookFile::worksheetNames(test::workbookFixture("namesdemo.xls"));
    ASSERT_TRUE(names.ok());
    EXPECT_TRUE(asQStrings(*names).contains("Seamus O'Reilly"));
}

// The overlapping sector chains of corrupted_error.xls make xlrd 1.2 refuse it, yet Excel opens
// it (xlrd 2 tolerates it); its Workbook stream itself is whole, so its sheets are listed.
TEST(WorkbookListingNames, OverlappingRootChainStillListsLikeATolerantReader)
{
    auto path = test::workbookFixture("corrupted_error.xls");
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(asQStrings(*names), xlrdSheetNames(path, true));
}

TEST(WorkbookListingNames, HiddenSheetsKeptChartsLeftOutAsXlrdReadsThem)
{
    test::TemporaryFolder folder;
    BiffStreamBuilder stream;
    stream.bof()
        .boundSheet(u"Visible")
        .boundSheet(u"Chart1", 2)
        .boundSheet(u"Hidden", 0, 1)
        .boundSheet(u"Module1", 6)
        .boundSheet(u"Stra\u00DFe", 0, 0, false)
        .boundSheet(u"\u53F0\u5E33")
        .eof();
    auto path = folder / "synthetic.xls";
    writeFile(path, test::workbookFileWith(stream.bytes()));
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_TRUE(names.ok()) << names.error().describe();
    EXPECT_EQ(asQStrings(*names), (QStringList{"Visible", "Hidden", "Stra\u00DFe", "\u53F0\u5E33"}));
    EXPECT_EQ(asQStrings(*names), xlrdSheetNames(path));
}

// What a refused file gives: an error whose message says what the file is.
void expectRefusal(const std::filesystem::path& path, const std::string& reason)
{
    auto names = WorkbookFile::worksheetNames(path);
    ASSERT_FALSE(names.ok()) << path;
    EXPECT_NE(names.error().message.find(reason), std::string::npos) << names.error().describe();
}

TEST(WorkbookListingRefusals, OldAndEncryptedFixtures)
{
    expectRefusal(test::workbookFixture("biff4_no_format_no_window2.xls"), "Excel 4.0 or older");
    expectRefusal(test::workbookFixture("xor-encryption-abc.xls"), "encrypted");
}

TEST(WorkbookListingRefusals, FilesThatAreNotWorkbooks)
{
    test::TemporaryFolder folder;
    auto html = folder / "page.xls";
    writeFile(html, std::vector<std::uint8_t>{'\n', ' ', '<', 'h', 't', 'm', 'l', '>', '<', '/', 'h', 't', 'm', 'l', '>'});
    expectRefusal(html, "HTML");
    auto text = folder / "notes.xls";
    writeFile(text, std::vector<std::uint8_t>{'a', ';', 'b', '\n', '1', ';', '2', '\n'});
    expectRefusal(text, "not an Excel 97-2003 workbook");
    auto zip = folder / "new.xls";
    writeFile(zip, std::vector<std::uint8_t>{'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0});
    expectRefusal(zip, "ZIP");
    auto empty = folder / "empty.xls";
    writeFile(empty, {});
    expectRefusal(empty, "empty");
    expectRefusal(folder / "missing.xls", "cannot open");
}

TEST(WorkbookListingRefusals, CompoundFilesWithoutAWorkbookStream)
{
    test::TemporaryFolder folder;
    BiffStreamBuilder biff5;
    biff5.bof(0x0500).boundSheet(u"Sheet1").eof();
    test::CompoundFileBuilder excel95;
    excel95.addStream(u"Book", biff5.bytes());
    writeFile(folder / "excel95.xls", excel95.build());
    expectRefusal(folder / "excel95.xls", "Excel 5.0/95");

    test::CompoundFileBuilder document;
    document.addStream(u"WordDocument", std::vector<std::uint8_t>(5000, 0));
    writeFile(folder / "letter.xls", document.build());
    expectRefusal(folder / "letter.xls", "no Workbook stream");
}

TEST(WorkbookListingRefusals, Biff5GlobalsInAWorkbookStream)
{
    test::TemporaryFolder folder;
    BiffStreamBuilder biff5;
    biff5.bof(0x0500).boundSheet(u"Sheet1").eof();
    writeFile(folder / "biff7.xls", test::workbookFileWith(biff5.bytes()));
    expectRefusal(folder / "biff7.xls", "Excel 5.0/95");
}

TEST(WorkbookListingRefusals, ATruncatedWorkbookIsRefusedWithoutACrash)
{
    test::TemporaryFolder folder;
    auto bytes = fileBytes(test::workbookFixture("ledger.xls"));
    for (std::size_t keep : {std::size_t{8}, std::size_t{512}, std::size_t{600}, bytes.size() / 2, bytes.size() - 600}) {
        auto path = folder / ("cut" + std::to_string(keep) + ".xls");
        writeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep)));
        auto names = WorkbookFile::worksheetNames(path);
        EXPECT_FALSE(names.ok()) << "kept " << keep << " bytes";
    }
}

TEST(WorkbookListingRefusals, AWorkbookStreamWhoseChainLoopsIsDamaged)
{
    // The chain loops back near the end of a 100 KB stream, within its declared size: the globals at the front would read,
    // but the workbook cannot be loaded, so it is not listed.
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Sheet1").eof();
    auto workbookStream = stream.bytes();
    workbookStream.resize(100 * 1024, 0);
    test::CompoundFileBuilder builder;
    builder.addStream(u"Workbook", workbookStream);
    auto bytes = builder.build();
    // Follow the stream's chain in the FAT ([MS-CFB]: the first FAT sector is listed at 76, the
    // directory starts at the sector named at 48, an entry's start sector is at 116) to the
    // sector 12 before its end, and point it back into the middle of the stream.
    auto u32 = [&](std::size_t at) {
        return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
               std::uint32_t{bytes[at + 3]} << 24;
    };
    auto sectorOffset = [](std::uint32_t sector) { return 512 + std::size_t{sector} * 512; };
    auto fatEntry = [&](std::uint32_t sector) {
        return sectorOffset(u32(76 + 4 * (sector / 128))) + 4 * (sector % 128);
    };
    const std::size_t directory = sectorOffset(u32(48));
    std::uint32_t sector = u32(directory + 128 + 116); // the root's first child: the only stream
    for (int step = 0; step < 200 - 12; ++step)
        sector = u32(fatEntry(sector));
    const std::uint32_t back = sector - 50; // the writer lays a stream's sectors out in a row
    for (int i = 0; i < 4; ++i)
        bytes[fatEntry(sector) + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(back >> (8 * i));
    auto workbook = WorkbookFile::open(ByteSource::fromBytes(bytes));
    ASSERT_TRUE(workbook.ok()) << workbook.error().describe();
    auto globals = workbook->readGlobals();
    ASSERT_FALSE(globals.ok());
    EXPECT_NE(globals.error().message.find("damaged"), std::string::npos) << globals.error().describe();
}

// A source that counts what is read from it.
class CountingSource : public ByteSource {
public:
    explicit CountingSource(std::vector<std::uint8_t> bytes) : inner_(fromBytes(std::move(bytes))) {}
    std::uint64_t size() const override { return inner_->size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) const override
    {
        *bytesRead_ += out.size();
        return inner_->read(offset, out);
    }
    std::shared_ptr<std::uint64_t> counter() const { return bytesRead_; }

private:
    std::unique_ptr<ByteSource> inner_;
    std::shared_ptr<std::uint64_t> bytesRead_ = std::make_shared<std::uint64_t>(0);
};

TEST(WorkbookListingCost, ListingReadsTheGlobalsAndNotTheSheets)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Small").boundSheet(u"Big").eof();
    stream.bof(0x0600, 0x0010);
    std::vector<std::uint8_t> cells(8000, 0x41);
    while (stream.size() < 4 * 1024 * 1024)
        stream.record(0x00FF, cells); // stands for the cell records of a large sheet
    stream.eof();
    auto file = test::workbookFileWith(stream.bytes());
    auto source = std::make_unique<CountingSource>(file);
    auto counter = source->counter();

    auto workbook = WorkbookFile::open(std::move(source));
    ASSERT_TRUE(workbook.ok()) << workbook.error().describe();
    auto globals = workbook->readGlobals();
    ASSERT_TRUE(globals.ok()) << globals.error().describe();
    EXPECT_EQ(asQStrings(globals->worksheetNames()), (QStringList{"Small", "Big"}));
    // Header, FAT and directory (about 33 KB for this file), one chunk of records, the last sector.
    EXPECT_LT(*counter, 128u * 1024u) << "of " << file.size() << " bytes";
}

} // namespace
