// BIFF records as the format lays them out, written by hand with BiffStreamBuilder: the reader
// joins CONTINUE records keeping where each piece lay; the writer lays records end to end and cuts
// long data into CONTINUE records of 8224 bytes. (Damaged records: WorkbookListingTest's table.)

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/records/RecordWriter.h"

#include "support/BiffStreamBuilder.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::BiffStreamBuilder;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes filled(std::size_t size, std::uint8_t first = 0)
{
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

Bytes joined(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(RecordReader, JoinsContinueRecordsKeepingWhereEachPieceLay)
{
    BiffStreamBuilder stream;
    stream.record(0x0042, {0xE4, 0x04})
        .record(0x00FC, filled(8224))
        .record(0x003C, filled(100, 7))
        .record(0x003C, filled(3, 9));
    RecordReader records(stream.bytes());
    auto codePage = records.next();
    ASSERT_TRUE(codePage.ok()) << codePage.error().describe();
    EXPECT_EQ(Bytes(codePage->data.begin(), codePage->data.end()), (Bytes{0xE4, 0x04}));

    auto sst = records.nextContinued();
    ASSERT_TRUE(sst.ok()) << sst.error().describe();
    EXPECT_EQ(sst->offset, 6u);
    EXPECT_EQ(sst->data, joined(joined(filled(8224), filled(100, 7)), filled(3, 9)));
    ASSERT_EQ(sst->pieces.size(), 3u);
    EXPECT_EQ(sst->pieces[1].dataOffset, 8224u);
    EXPECT_EQ(sst->pieces[1].streamOffset, 6u + 8228);
    EXPECT_EQ(sst->pieces[2].dataOffset, 8324u);
    EXPECT_EQ(sst->pieces[2].streamOffset, 6u + 8228 + 104);
    EXPECT_EQ(sst->end, 6u + 8228 + 104 + 7);
}

// Small records (far more than a buffer), long data cut into CONTINUE records, raw bytes: all arrive in
// order, offset() counts from the base at every step, and the last ones when the writer goes away.
TEST(RecordWriter, LaysRecordsEndToEndAndCutsLongDataIntoContinueRecords)
{
    MemoryOutputSink sink;
    BiffStreamBuilder expected;
    const Bytes longData = filled(70000, 7);
    {
        RecordWriter out(sink, 1000);
        for (int i = 0; i < 20000; ++i) {
            ASSERT_EQ(out.offset(), 1000u + expected.size());
            out.write(0x0203, filled(14, static_cast<std::uint8_t>(i)));
            expected.record(0x0203, filled(14, static_cast<std::uint8_t>(i)));
        }
        out.write(0x00FC, longData);
        for (std::size_t done = 0; done < longData.size(); done += 8224)
            expected.record(done == 0 ? 0x00FC : 0x003C,
                            Bytes(longData.begin() + static_cast<std::ptrdiff_t>(done),
                                  longData.begin() +
                                      static_cast<std::ptrdiff_t>(std::min(done + 8224, longData.size()))));
        out.writeBytes(std::vector<std::uint8_t>{0xEC, 0x00, 0x02, 0x00, 0xAA, 0xBB});
        expected.record(0x00EC, {0xAA, 0xBB});
        EXPECT_EQ(out.offset(), 1000u + expected.size());
    }
    EXPECT_EQ(sink.bytes(), expected.bytes());
}

} // namespace
