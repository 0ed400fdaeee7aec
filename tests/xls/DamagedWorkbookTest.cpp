// Damaged workbooks never crash the engine: overwritten streams and every input that once broke a
// reader (tests/crashers) are read or refused with a reason. (Damaged files: WorkbookListingTest.)

#include "EngineTestSupport.h"

#include "platform/xls/model/WorkbookGlobals.h"
#include "platform/xls/model/WorkbookModel.h"
#include "platform/xls/records/RecordReader.h"

#include <random>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

template <typename T> void expectSaysWhy(const Result<T>& result)
{
    if (!result.ok()) {
        EXPECT_FALSE(result.error().describe().empty());
    }
}

// Workbook streams cut short or with bytes overwritten are refused with a reason, or read (every
// sheet in half of the rounds) and then written exactly as long as measured.
TEST(DamagedWorkbook, OverwrittenStreamsAreRefusedOrWrittenWhole)
{
    std::mt19937 generator(20011314);
    for (const char* name : {"ledger.xls", "50298.xls", "DrawingContinue.xls", "formula_test_sjmachin.xls"}) {
        const Bytes pristine = workbookStreamOf(workbookFixture(name));
        ASSERT_FALSE(pristine.empty());
        for (int round = 0; round < 150; ++round) {
            Bytes stream = pristine;
            if (round % 3 == 0)
                stream.resize(generator() % stream.size());
            else
                for (int flips = 0; flips < 1 + round % 7; ++flips)
                    stream[generator() % stream.size()] = static_cast<std::uint8_t>(generator());
            auto model = WorkbookModel::read(std::move(stream));
            expectSaysWhy(model);
            if (!model)
                continue;
            for (std::size_t i = 0; round % 2 == 1 && i < model->sheets.size(); ++i)
                expectSaysWhy(model->load(*model->sheets[i]));
            WorkbookStreamWriter writer(*model);
            MemoryOutputSink sink;
            EXPECT_TRUE(writer.write(sink).ok()) << name << " round " << round;
            EXPECT_EQ(sink.written(), writer.size()) << name << " round " << round;
        }
    }
}

std::vector<std::filesystem::path> recordedInputs()
{
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(TAVORIN_CRASHERS_DIR))
        if (entry.is_regular_file() && entry.path().extension() != ".md")
            inputs.push_back(entry.path());
    for (const char* damaged :
         {"corrupted_error.xls", "biff4_no_format_no_window2.xls", "xor-encryption-abc.xls"})
        inputs.push_back(workbookFixture(damaged));
    return inputs;
}

// Each input goes through the readers as the fuzzers drive them: the compound file, the globals,
// every record.
TEST(CrasherReplay, EveryRecordedInputIsReadOrRefusedWithoutCrashing)
{
    for (const auto& input : recordedInputs()) {
        SCOPED_TRACE(input.filename().string());
        const Bytes bytes = fileBytes(input);
        auto file = CompoundFile::open(ByteSource::fromBytes(bytes));
        expectSaysWhy(file);
        for (std::uint32_t i = 0; file && i < file->entries().size(); ++i)
            if (file->entries()[i].isStream() && file->entries()[i].size <= 64 * 1024 * 1024)
                expectSaysWhy(file->readStream(i));
        auto workbook = WorkbookFile::open(ByteSource::fromBytes(bytes));
        expectSaysWhy(workbook);
        if (workbook)
            expectSaysWhy(workbook->readGlobals());
        RecordReader globals(bytes);
        expectSaysWhy(WorkbookGlobals::read(globals));
        RecordReader all(bytes);
        while (!all.atEnd()) {
            auto record = all.nextContinued();
            expectSaysWhy(record);
            if (!record)
                break;
            ASSERT_GT(record->end, record->offset);
        }
    }
}

} // namespace
