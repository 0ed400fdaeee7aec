// Every input that once broke a reader (tests/crashers, each named after the fault it found) and
// the damaged fixtures go through the readers as the fuzzers drive them. Under the sanitizer
// build this is where a regression shows.
#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/model/WorkbookGlobals.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An error must say something; a success must be usable.
template <typename T>
void expectSaysWhy(const Result<T>& result)
{
    if (!result.ok()) {
        EXPECT_FALSE(result.error().describe().empty());
    }
}

void replayCompoundFile(const std::vector<std::uint8_t>& bytes)
{
    auto file = CompoundFile::open(ByteSource::fromBytes(bytes));
    expectSaysWhy(file);
    if (!file)
        return;
    const auto& entries = file->entries();
    for (std::uint32_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isStorage())
            (void)file->children(i);
        if (entries[i].isStream() && entries[i].size <= 64 * 1024 * 1024)
            expectSaysWhy(file->readStream(i));
    }
}

void replayWorkbook(const std::vector<std::uint8_t>& bytes)
{
    auto workbook = WorkbookFile::open(ByteSource::fromBytes(bytes));
    expectSaysWhy(workbook);
    if (workbook) {
        auto globals = workbook->readGlobals();
        expectSaysWhy(globals);
    }
    RecordReader records(bytes);
    expectSaysWhy(WorkbookGlobals::read(records));
    RecordReader all(bytes);
    while (!all.atEnd()) {
        auto record = all.nextContinued();
        expectSaysWhy(record);
        if (!record)
            break;
        ASSERT_GT(record->end, record->offset);
    }
}

std::vector<std::filesystem::path> replayInputs()
{
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(TAVORIN_CRASHERS_DIR))
        if (entry.is_regular_file() && entry.path().extension() != ".md")
            inputs.push_back(entry.path());
    for (const char* damaged : {"corrupted_error.xls", "biff4_no_format_no_window2.xls", "xor-encryption-abc.xls"})
        inputs.push_back(test::workbookFixture(damaged));
    return inputs;
}

TEST(CrasherReplay, EveryRecordedInputIsReadOrRefusedWithoutCrashing)
{
    auto inputs = replayInputs();
    ASSERT_FALSE(inputs.empty());
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        auto bytes = fileBytes(input);
        replayCompoundFile(bytes);
        replayWorkbook(bytes);
    }
}

} // namespace
