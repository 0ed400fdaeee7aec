#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/records/RecordReader.h"

#include "support/BiffStreamBuilder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::BiffStreamBuilder;

namespace {

std::vector<std::uint8_t> filled(std::size_t size, std::uint8_t first = 0)
{
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<std::uint8_t> asVector(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

// Raw bytes for a header whose length field may lie.
std::vector<std::uint8_t> header(std::uint16_t type, std::uint16_t length)
{
    std::vector<std::uint8_t> bytes;
    BiffStreamBuilder::putU16(bytes, type);
    BiffStreamBuilder::putU16(bytes, length);
    return bytes;
}

TEST(RecordReaderSequence, GivesTypeDataAndAbsoluteOffsetOfEachRecord)
{
    BiffStreamBuilder stream;
    stream.record(0x0809, filled(16)).record(0x0042, {0xE4, 0x04}).record(0x000A, {});
    RecordReader records(stream.bytes());

    auto bof = records.next();
    ASSERT_TRUE(bof.ok()) << bof.error().describe();
    EXPECT_EQ(bof->type, 0x0809);
    EXPECT_EQ(bof->offset, 0u);
    EXPECT_EQ(asVector(bof->data), filled(16));

    auto codePage = records.next();
    ASSERT_TRUE(codePage.ok());
    EXPECT_EQ(codePage->type, 0x0042);
    EXPECT_EQ(codePage->offset, 20u); // 4 + 16
    EXPECT_EQ(asVector(codePage->data), (std::vector<std::uint8_t>{0xE4, 0x04}));

    auto eof = records.next();
    ASSERT_TRUE(eof.ok());
    EXPECT_EQ(eof->offset, 26u);
    EXPECT_TRUE(eof->data.empty());
    EXPECT_TRUE(records.atEnd());
}

TEST(RecordReaderSequence, PeekTypeDoesNotMove)
{
    BiffStreamBuilder stream;
    stream.record(0x0085, filled(3)).record(0x003C, filled(2));
    RecordReader records(stream.bytes());
    EXPECT_EQ(records.peekType(), std::optional<std::uint16_t>(0x0085));
    EXPECT_EQ(records.position(), 0u);
    ASSERT_TRUE(records.next().ok());
    EXPECT_EQ(records.peekType(), std::optional<std::uint16_t>(0x003C));
    ASSERT_TRUE(records.next().ok());
    EXPECT_EQ(records.peekType(), std::nullopt);
}

TEST(RecordReaderSequence, SeekMovesToARecordAndRefusesPositionsPastTheEnd)
{
    BiffStreamBuilder stream;
    stream.record(0x0001, filled(10)).record(0x0002, filled(5));
    RecordReader records(stream.bytes());
    ASSERT_TRUE(records.seek(14).ok());
    auto second = records.next();
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second->type, 0x0002);
    EXPECT_FALSE(records.seek(stream.size() + 1).ok());
}

TEST(RecordReaderLimits, DataOfExactly8224BytesIsAccepted)
{
    BiffStreamBuilder stream;
    stream.record(0x00FC, filled(8224));
    RecordReader records(stream.bytes());
    auto record = records.next();
    ASSERT_TRUE(record.ok()) << record.error().describe();
    EXPECT_EQ(record->data.size(), 8224u);
}

TEST(RecordReaderLimits, LengthOverTheLimitIsAnErrorNamingTypeAndOffset)
{
    BiffStreamBuilder stream;
    stream.record(0x0001, filled(6));
    auto bytes = stream.bytes();
    auto bad = header(0x00FC, 8225);
    bytes.insert(bytes.end(), bad.begin(), bad.end());
    bytes.resize(bytes.size() + 8225);
    RecordReader records(bytes);
    ASSERT_TRUE(records.next().ok());
    auto record = records.next();
    ASSERT_FALSE(record.ok());
    EXPECT_EQ(record.error().recordType, std::optional<std::uint16_t>(0x00FC));
    EXPECT_EQ(record.error().offset, std::optional<std::uint64_t>(10));
    EXPECT_NE(record.error().message.find("8224"), std::string::npos) << record.error().message;
}

TEST(RecordReaderLimits, DataRunningPastTheEndIsAnError)
{
    auto bytes = header(0x0085, 20);
    bytes.resize(bytes.size() + 19);
    RecordReader records(bytes);
    auto record = records.next();
    ASSERT_FALSE(record.ok());
    EXPECT_EQ(record.error().recordType, std::optional<std::uint16_t>(0x0085));
    EXPECT_EQ(record.error().offset, std::optional<std::uint64_t>(0));
}

TEST(RecordReaderLimits, TruncatedHeaderAndEmptyStreamAreErrors)
{
    std::vector<std::uint8_t> threeBytes{0x09, 0x08, 0x10};
    RecordReader truncated(threeBytes);
    EXPECT_FALSE(truncated.next().ok());
    EXPECT_EQ(truncated.peekType(), std::nullopt);

    RecordReader empty(std::span<const std::uint8_t>{});
    EXPECT_TRUE(empty.atEnd());
    EXPECT_FALSE(empty.next().ok());
}

TEST(RecordReaderContinue, JoinsContinueRecordsAndKeepsTheirBoundaries)
{
    BiffStreamBuilder stream;
    stream.record(0x00FC, filled(8224, 0)).record(0x003C, filled(100, 7)).record(0x003C, filled(3, 9));
    stream.record(0x00FF, filled(10));
    RecordReader records(stream.bytes());

    auto sst = records.nextContinued();
    ASSERT_TRUE(sst.ok()) << sst.error().describe();
    EXPECT_EQ(sst->type, 0x00FC);
    EXPECT_EQ(sst->offset, 0u);
    std::vector<std::uint8_t> expected = filled(8224, 0);
    auto second = filled(100, 7);
    auto third = filled(3, 9);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), third.begin(), third.end());
    EXPECT_EQ(sst->data, expected);
    ASSERT_EQ(sst->pieces.size(), 3u);
    EXPECT_EQ(sst->pieces[0].dataOffset, 0u);
    EXPECT_EQ(sst->pieces[1].dataOffset, 8224u);
    EXPECT_EQ(sst->pieces[1].streamOffset, 8228u);
    EXPECT_EQ(sst->pieces[1].type, 0x003C);
    EXPECT_EQ(sst->pieces[2].dataOffset, 8324u);
    EXPECT_EQ(sst->pieces[2].streamOffset, 8228u + 104u);
    EXPECT_EQ(sst->end, 8228u + 104u + 7u);

    auto after = records.next();
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after->type, 0x00FF);
}

TEST(RecordReaderContinue, ARecordWithoutContinueIsOnePiece)
{
    BiffStreamBuilder stream;
    stream.record(0x0085, filled(12)).record(0x0085, filled(12));
    RecordReader records(stream.bytes());
    auto first = records.nextContinued();
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->pieces.size(), 1u);
    EXPECT_EQ(first->data, filled(12));
    EXPECT_EQ(records.position(), 16u);
}

TEST(RecordReaderContinue, OtherContinuationTypesCanBeNamed)
{
    // A drawing group goes on in further MSODRAWINGGROUP records as well as in CONTINUE.
    BiffStreamBuilder stream;
    stream.record(0x00EB, filled(8)).record(0x00EB, filled(4)).record(0x003C, filled(2)).record(0x00FC, filled(1));
    RecordReader records(stream.bytes());
    const std::uint16_t drawingGroup[] = {0x00EB, 0x003C};
    auto joined = records.nextContinued(drawingGroup);
    ASSERT_TRUE(joined.ok());
    EXPECT_EQ(joined->data.size(), 14u);
    ASSERT_EQ(joined->pieces.size(), 3u);
    EXPECT_EQ(joined->pieces[1].type, 0x00EB);
    EXPECT_EQ(joined->pieces[2].type, 0x003C);
}

TEST(RecordReaderContinue, ABrokenContinueIsAnErrorAtItsOffset)
{
    BiffStreamBuilder stream;
    stream.record(0x00FC, filled(8));
    auto bytes = stream.bytes();
    auto bad = header(0x003C, 50);
    bytes.insert(bytes.end(), bad.begin(), bad.end());
    bytes.resize(bytes.size() + 10);
    RecordReader records(bytes);
    auto joined = records.nextContinued();
    ASSERT_FALSE(joined.ok());
    EXPECT_EQ(joined.error().recordType, std::optional<std::uint16_t>(0x003C));
    EXPECT_EQ(joined.error().offset, std::optional<std::uint64_t>(12));
    EXPECT_NE(joined.error().message.find("0x00FC"), std::string::npos) << joined.error().message;
}

// Reading lazily from the compound file, whatever the chunk size, gives the same records as
// reading the whole stream into memory first.
TEST(RecordReaderOverCompoundStream, GivesTheSameRecordsAsTheStreamInMemory)
{
    for (const char* name : {"ledger.xls", "DrawingContinue.xls", "namesdemo.xls"}) {
        auto file = CompoundFile::open(test::workbookFixture(name));
        ASSERT_TRUE(file.ok()) << file.error().describe();
        auto entry = file->find("Workbook");
        ASSERT_TRUE(entry.has_value());
        auto whole = file->readStream(*entry);
        ASSERT_TRUE(whole.ok());
        for (std::size_t chunk : {std::size_t{5}, std::size_t{1000}, RecordReader::defaultChunkSize}) {
            auto stream = file->stream(*entry);
            ASSERT_TRUE(stream.ok());
            RecordReader lazy(*stream, chunk);
            RecordReader inMemory(*whole);
            std::size_t count = 0;
            while (!inMemory.atEnd()) {
                auto expected = inMemory.next();
                ASSERT_TRUE(expected.ok()) << name << ": " << expected.error().describe();
                auto actual = lazy.next();
                ASSERT_TRUE(actual.ok()) << name << ": " << actual.error().describe();
                ASSERT_EQ(actual->type, expected->type);
                ASSERT_EQ(actual->offset, expected->offset);
                ASSERT_EQ(asVector(actual->data), asVector(expected->data)) << name << " record " << count;
                ++count;
            }
            EXPECT_TRUE(lazy.atEnd());
            EXPECT_GT(count, 20u) << name;
        }
    }
}

} // namespace
