// The record writer gathers records in a buffer before handing them to its sink: the bytes that
// arrive are the records in order, offsets count what was written (buffered or not), a failing
// sink is reported and stops the writing, and a measuring writer counts exactly what a real
// one writes.

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/records/RecordWriter.h"

#include "support/BiffStreamBuilder.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::BiffStreamBuilder;

namespace {

constexpr std::uint16_t number = 0x0203;
constexpr std::uint16_t continueType = 0x003C;

std::vector<std::uint8_t> filled(std::size_t size, std::uint8_t first)
{
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// Accepts a given number of bytes, then fails every write; counts the calls it gets.
class FailingSink final : public OutputSink {
public:
    explicit FailingSink(std::size_t capacity) : capacity_(capacity) {}
    Status write(std::span<const std::uint8_t> bytes) override
    {
        ++calls;
        if (received.size() + bytes.size() > capacity_)
            return Error{"disk full", "file", {}, {}};
        received.insert(received.end(), bytes.begin(), bytes.end());
        return success();
    }
    Status finish() override { return success(); }
    std::uint64_t written() const override { return received.size(); }

    std::vector<std::uint8_t> received;
    int calls = 0;

private:
    std::size_t capacity_;
};

} // namespace

// 20000 records of 14 bytes (far more than one buffer) arrive as the same records laid end to
// end, and offset() tells the stream position from the base at every step.
TEST(RecordWriterOutput, ManySmallRecordsArriveInOrder)
{
    MemoryOutputSink sink;
    BiffStreamBuilder expected;
    {
        RecordWriter out(sink, 1000);
        for (int i = 0; i < 20000; ++i) {
            auto data = filled(14, static_cast<std::uint8_t>(i));
            EXPECT_EQ(out.offset(), 1000u + expected.size());
            out.write(number, data);
            expected.record(number, data);
        }
        EXPECT_EQ(out.offset(), 1000u + expected.size());
        EXPECT_TRUE(out.flush().ok());
        EXPECT_EQ(sink.bytes(), expected.bytes());
    }
}

// Whatever is still buffered reaches the sink when the writer goes away.
TEST(RecordWriterOutput, TheLastRecordsArriveWithoutAnExplicitFlush)
{
    MemoryOutputSink sink;
    {
        RecordWriter out(sink, 0);
        out.write(number, filled(10, 1));
    }
    BiffStreamBuilder expected;
    expected.record(number, filled(10, 1));
    EXPECT_EQ(sink.bytes(), expected.bytes());
}

// Data longer than one record (and longer than the buffer) goes on in CONTINUE records of at
// most 8224 bytes, between small records written before and after it.
TEST(RecordWriterOutput, LongDataIsCutIntoContinueRecordsInPlace)
{
    MemoryOutputSink sink;
    auto longData = filled(70000, 7);
    {
        RecordWriter out(sink, 0);
        out.write(number, filled(3, 0));
        out.write(0x00FC, longData);
        out.write(number, filled(5, 9));
        EXPECT_TRUE(out.flush().ok());
    }
    BiffStreamBuilder expected;
    expected.record(number, filled(3, 0));
    for (std::size_t done = 0; done < longData.size(); done += 8224) {
        std::size_t piece = std::min<std::size_t>(8224, longData.size() - done);
        expected.record(done == 0 ? 0x00FC : continueType,
                        std::vector<std::uint8_t>(longData.begin() + static_cast<std::ptrdiff_t>(done),
                                                  longData.begin() + static_cast<std::ptrdiff_t>(done + piece)));
    }
    expected.record(number, filled(5, 9));
    EXPECT_EQ(sink.bytes(), expected.bytes());
}

// Raw bytes given between records keep their place among them.
TEST(RecordWriterOutput, RawBytesKeepTheirPlace)
{
    MemoryOutputSink sink;
    std::vector<std::uint8_t> raw{0xEC, 0x00, 0x02, 0x00, 0xAA, 0xBB};
    {
        RecordWriter out(sink, 0);
        out.write(number, filled(2, 1));
        out.writeBytes(raw);
        out.write(number, filled(2, 3));
    }
    BiffStreamBuilder expected;
    expected.record(number, filled(2, 1));
    expected.record(0x00EC, {0xAA, 0xBB});
    expected.record(number, filled(2, 3));
    EXPECT_EQ(sink.bytes(), expected.bytes());
}

// A measuring writer ends at the offset a real one reaches with the same records.
TEST(RecordWriterMeasuring, CountsWhatARealWriterWrites)
{
    MemoryOutputSink sink;
    RecordWriter real(sink, 512);
    auto measuring = RecordWriter::measuring(512);
    for (std::size_t size : {0u, 1u, 8224u, 8225u, 20000u, 65536u, 14u}) {
        auto data = filled(size, 3);
        real.write(number, data);
        measuring.write(number, data);
        EXPECT_EQ(measuring.offset(), real.offset()) << "after data of " << size << " bytes";
    }
    EXPECT_TRUE(real.flush().ok());
    EXPECT_EQ(measuring.offset(), 512u + sink.bytes().size());
    EXPECT_TRUE(measuring.flush().ok());
}

// A sink that fails: the failure is reported after the flush, nothing reaches the sink after it,
// and the writer does not keep calling a sink that has failed.
TEST(RecordWriterFailure, ASinkFailureIsReportedAndStopsTheWriting)
{
    FailingSink sink(100 * 1024);
    BiffStreamBuilder expected;
    {
        RecordWriter out(sink, 0);
        for (int i = 0; i < 50000; ++i) {
            out.write(number, filled(14, static_cast<std::uint8_t>(i)));
            expected.record(number, filled(14, static_cast<std::uint8_t>(i)));
        }
        const Status& status = out.flush();
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().message, "disk full");
        int callsAtFailure = sink.calls;
        out.write(number, filled(14, 0));
        EXPECT_FALSE(out.flush().ok());
        EXPECT_EQ(sink.calls, callsAtFailure);
    }
    // What did arrive is the start of the stream, nothing out of order.
    ASSERT_LE(sink.received.size(), 100u * 1024);
    EXPECT_TRUE(std::equal(sink.received.begin(), sink.received.end(), expected.bytes().begin()));
}
