#include "platform/xls/records/RecordReader.h"
#include "platform/xls/model/WorkbookGlobals.h"

#include "support/BiffStreamBuilder.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::BiffStreamBuilder;

namespace {

Result<WorkbookGlobals> readGlobals(const BiffStreamBuilder& stream)
{
    RecordReader records(stream.bytes());
    return WorkbookGlobals::read(records);
}

std::vector<std::u16string> worksheetNames(const BiffStreamBuilder& stream)
{
    auto globals = readGlobals(stream);
    EXPECT_TRUE(globals.ok()) << globals.error().describe();
    return globals.ok() ? globals->worksheetNames() : std::vector<std::u16string>{};
}

TEST(WorkbookGlobalsSheets, WorksheetsInTabOrderHiddenOnesKept)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Zeta").boundSheet(u"Alpha", 0, 1).boundSheet(u"Very", 0, 2).boundSheet(u"台帳").eof();
    EXPECT_EQ(worksheetNames(stream), (std::vector<std::u16string>{u"Zeta", u"Alpha", u"Very", u"台帳"}));
}

TEST(WorkbookGlobalsSheets, ChartsMacroSheetsAndModulesAreLeftOut)
{
    BiffStreamBuilder stream;
    stream.bof()
        .boundSheet(u"Chart1", 2)
        .boundSheet(u"Sheet1")
        .boundSheet(u"Macro1", 1)
        .boundSheet(u"Module1", 6)
        .boundSheet(u"Sheet2")
        .eof();
    EXPECT_EQ(worksheetNames(stream), (std::vector<std::u16string>{u"Sheet1", u"Sheet2"}));
    auto globals = readGlobals(stream);
    ASSERT_TRUE(globals.ok());
    ASSERT_EQ(globals->sheets.size(), 5u);
    EXPECT_EQ(globals->sheets[0].kind, BoundSheet::Kind::Chart);
    EXPECT_EQ(globals->sheets[3].kind, BoundSheet::Kind::VisualBasicModule);
}

TEST(WorkbookGlobalsSheets, OneByteNamesAreLatin1WhateverTheCodePage)
{
    BiffStreamBuilder stream;
    stream.bof().record(0x0042, {0xE3, 0x03}); // CODEPAGE 995 would not matter for BIFF8
    stream.boundSheet(u"Caf\u00E9 \u00C6", 0, 0, false).eof();
    auto globals = readGlobals(stream);
    ASSERT_TRUE(globals.ok()) << globals.error().describe();
    EXPECT_EQ(globals->codePage, 995);
    EXPECT_EQ(globals->worksheetNames(), (std::vector<std::u16string>{u"Caf\u00E9 \u00C6"}));
}

TEST(WorkbookGlobalsSheets, PositionAndVisibilityAreKept)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"A", 0, 1, true, 0x12345).eof();
    auto globals = readGlobals(stream);
    ASSERT_TRUE(globals.ok());
    EXPECT_EQ(globals->sheets[0].position, 0x12345u);
    EXPECT_EQ(globals->sheets[0].visibility, BoundSheet::Visibility::Hidden);
    EXPECT_EQ(globals->end, stream.size());
}

TEST(WorkbookGlobalsSheets, ReadingStopsAtTheGlobalsEof)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Sheet1").eof();
    std::size_t globalsEnd = stream.size();
    // A sheet substream with a record that would be an error if it were read.
    stream.bof(0x0600, 0x0010).record(0x0085, {1, 2});
    auto globals = readGlobals(stream);
    ASSERT_TRUE(globals.ok()) << globals.error().describe();
    EXPECT_EQ(globals->end, globalsEnd);
}

TEST(WorkbookGlobalsSheets, AnEmptyNameIsNotListed)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"").boundSheet(u"Sheet1").eof();
    EXPECT_EQ(worksheetNames(stream), (std::vector<std::u16string>{u"Sheet1"}));
}

TEST(WorkbookGlobalsSheets, AMissingEofEndsTheGlobalsAtTheFirstSheet)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Sheet1");
    std::size_t sheetStart = stream.size();
    stream.bof(0x0600, 0x0010).eof();
    auto globals = readGlobals(stream);
    ASSERT_TRUE(globals.ok()) << globals.error().describe();
    EXPECT_EQ(globals->worksheetNames(), (std::vector<std::u16string>{u"Sheet1"}));
    EXPECT_EQ(globals->end, sheetStart);
}

// Refusals say why, so that the message helps the person who dropped the file.
void expectRefused(const BiffStreamBuilder& stream, const std::string& reason)
{
    auto globals = readGlobals(stream);
    ASSERT_FALSE(globals.ok());
    EXPECT_NE(globals.error().message.find(reason), std::string::npos) << globals.error().describe();
}

TEST(WorkbookGlobalsRefusals, Biff5IsNamed)
{
    BiffStreamBuilder stream;
    stream.bof(0x0500).boundSheet(u"Sheet1").eof();
    expectRefused(stream, "Excel 5.0/95");
}

TEST(WorkbookGlobalsRefusals, Biff4IsNamed)
{
    BiffStreamBuilder stream;
    stream.record(0x0409, {0x00, 0x00, 0x10, 0x00, 0, 0}).eof();
    expectRefused(stream, "Excel 4.0 or older");
}

TEST(WorkbookGlobalsRefusals, EncryptionIsNamedWithTheRecordAndOffset)
{
    BiffStreamBuilder stream;
    stream.bof();
    std::size_t filePassAt = stream.size();
    stream.record(0x002F, {0, 0, 1, 2, 3, 4}).boundSheet(u"\u4E00\u4E01").eof();
    auto globals = readGlobals(stream);
    ASSERT_FALSE(globals.ok());
    EXPECT_NE(globals.error().message.find("encrypted"), std::string::npos);
    EXPECT_EQ(globals.error().recordType, std::optional<std::uint16_t>(0x002F));
    EXPECT_EQ(globals.error().offset, std::optional<std::uint64_t>(filePassAt));
}

TEST(WorkbookGlobalsRefusals, ASheetSubstreamFirstIsNotAWorkbook)
{
    BiffStreamBuilder stream;
    stream.bof(0x0600, 0x0010).eof();
    expectRefused(stream, "does not begin with the workbook globals");
}

TEST(WorkbookGlobalsRefusals, AStreamWithoutBofIsRefused)
{
    BiffStreamBuilder stream;
    stream.boundSheet(u"Sheet1").eof();
    expectRefused(stream, "does not begin with a BOF");
}

TEST(WorkbookGlobalsRefusals, GlobalsWithoutEofAreRefused)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Sheet1");
    expectRefused(stream, "without an EOF");
}

TEST(WorkbookGlobalsRefusals, ASheetNameLongerThanItsRecordIsAnErrorAtThatRecord)
{
    BiffStreamBuilder stream;
    stream.bof().boundSheet(u"Sheet1");
    std::size_t badAt = stream.size();
    // lbPlyPos, hsState, dt, cch = 10, wide, but only two characters.
    stream.record(0x0085, {0, 0, 0, 0, 0, 0, 10, 1, 'A', 0, 'B', 0}).eof();
    auto globals = readGlobals(stream);
    ASSERT_FALSE(globals.ok());
    EXPECT_EQ(globals.error().recordType, std::optional<std::uint16_t>(0x0085));
    EXPECT_EQ(globals.error().offset, std::optional<std::uint64_t>(badAt));
}

TEST(WorkbookGlobalsRefusals, AShortSheetRecordIsAnError)
{
    BiffStreamBuilder stream;
    stream.bof().record(0x0085, {0, 0, 0}).eof();
    expectRefused(stream, "too short");
}

} // namespace
