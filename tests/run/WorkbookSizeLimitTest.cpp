// An Excel 97-2003 workbook larger than 2 GB (0x80000000 bytes, file or stream) opens nowhere: a run
// whose pictures would make one stops before it creates anything and says why, in the window's run and
// in tavorin-batch alike. The pictures are real JPEGs that end in long runs of zeros (held sparse, so the
// test costs no disk); reduced to a resolution, the same pictures fit. The size measured beforehand is the
// size the compound file writer then writes.

#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include "platform/xls/compound/CompoundFileWriter.h"
#include "platform/xls/compound/OutputSink.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// land.jpg with a comment segment that tells the copies apart, padded with zeros after its end to
// `size` bytes: every reader ignores what follows the end-of-image marker.
void writePaddedJpeg(const std::filesystem::path& path, char mark, std::uintmax_t size)
{
    Bytes bytes = fileBytes(pictureFixture("land.jpg"));
    bytes.insert(bytes.begin() + 2, {0xFF, 0xFE, 0x00, 0x03, static_cast<std::uint8_t>(mark)});
    writeFile(path, bytes);
    std::filesystem::resize_file(path, size);
}

struct LimitCase {
    const char* name;
    int pictures;           // each 240 MB
    bool batch;             // through tavorin-batch, else through the window's run
    int dpi = 0;            // pictures reduced: then the workbook fits and is written
};
class WorkbookSizeLimit : public ::testing::TestWithParam<LimitCase> {};
TEST_P(WorkbookSizeLimit, RefusesBeforeWritingAndSaysWhatMakesItFit)
{
    const LimitCase& c = GetParam();
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    RunOptions options = EngineRun::optionsFor(book, {QStringLiteral("Sheet1")});
    QStringList arguments{"insert", QString::fromStdString(book.string())};
    options.pictureDpi = c.dpi;
    if (c.dpi > 0)
        arguments << "--picture-dpi" << QString::number(c.dpi);
    for (int i = 0; i < c.pictures; ++i) {
        const auto picture = folder / ("photo" + std::to_string(i) + ".jpg");
        writePaddedJpeg(picture, static_cast<char>('a' + i), 240ull << 20);
        options.pictures.push_back(EngineRun::pictureRow(picture, QStringLiteral("○")));
        arguments << QString::fromStdString(picture.string());
    }
    const Bytes before = fileBytes(book);
    const auto namesBefore = namesIn(folder.path());
    QString reason;
    if (c.dpi > 0) {
        const ProcessResult result = runProcess(TAVORIN_BATCH_PATH, arguments);
        EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
        EXPECT_LT(std::filesystem::file_size(book), 1u << 20) << "nine small pictures";
        EXPECT_EQ(namesIn(folder.path()), namesBefore);
        return;
    }
    if (c.batch) {
        const ProcessResult result = runProcess(TAVORIN_BATCH_PATH, arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.standardOutput.isEmpty());
        reason = result.standardError;
    } else {
        EngineRun run;
        const RunOutcome outcome = run.run(options);
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(outcome.placed, c.pictures) << "every picture was placed; only the save is refused";
        ASSERT_EQ(run.messages.size(), 1u);
        reason = run.messages.front().text;
    }
    for (const char* said : {"Excel 97-2003", "2 GB", "画像を縮小", "--picture-dpi", "MB）"})
        EXPECT_TRUE(reason.contains(QString::fromUtf8(said))) << said << " in " << reason.toStdString();
    EXPECT_EQ(fileBytes(book), before);
    EXPECT_EQ(namesIn(folder.path()), namesBefore) << "no temporary file, no lock left";
}
INSTANTIATE_TEST_SUITE_P(Runs, WorkbookSizeLimit,
                         ::testing::Values(LimitCase{"NinePhotosOf240MBInTheRun", 9, false},
                                           LimitCase{"NinePhotosOf240MBInTavorinBatch", 9, true},
                                           LimitCase{"TheSameReducedFit", 9, true, 96}),
                         [](const auto& run) { return std::string(run.param.name); });

// What the writer measures is what it writes: whole sectors after a 512-byte header, the small streams
// packed into 64-byte units of the mini stream, FAT sectors for every sector (DIFAT sectors beyond 109).
struct SizeCase {
    std::vector<std::uint64_t> streams;
    std::uint64_t fileSize;  // by the format's arithmetic, worked out by hand
};
class CompoundFileSize : public ::testing::TestWithParam<SizeCase> {};
TEST_P(CompoundFileSize, IsTheSizeWritten)
{
    xls::CompoundFileWriter writer;
    char16_t name = u'a';
    for (std::uint64_t size : GetParam().streams)
        writer.addStream(xls::CompoundFileWriter::root, std::u16string(1, name++), Bytes(size, 7));
    auto measured = writer.fileSize();
    ASSERT_TRUE(measured.ok()) << measured.error().describe();
    xls::MemoryOutputSink out;
    ASSERT_TRUE(writer.write(out).ok());
    EXPECT_EQ(*measured, GetParam().fileSize);
    EXPECT_EQ(out.take().size(), GetParam().fileSize);
}
// One 4096-byte stream: header, 8 data sectors, 1 directory sector, 1 FAT sector = 11 sectors.
// 100 bytes: 2 mini sectors in 1 container sector, directory, MiniFAT, FAT = 5.
// 8 MiB: 16384 data sectors and a directory sector; 129 FAT sectors (16512 ids) cannot also list
// themselves and a DIFAT sector (16515), so 130 do: 16384 + 1 + 130 + 1 DIFAT sector.
// Both: 9 + 2 mini-stream sectors, directory, MiniFAT, FAT.
INSTANTIATE_TEST_SUITE_P(Layouts, CompoundFileSize,
                         ::testing::Values(SizeCase{{4096}, 11 * 512}, SizeCase{{100}, 5 * 512},
                                           SizeCase{{8u << 20}, (1 + 16384 + 1 + 130 + 1) * 512ull},
                                           SizeCase{{4097, 100, 64}, (1 + 9 + 1 + 1 + 1 + 1) * 512}));

} // namespace
