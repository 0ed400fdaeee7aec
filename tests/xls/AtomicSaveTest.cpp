// Saving replaces the workbook atomically: a failure at any point leaves the file on disk byte for
// byte and nothing else behind; a success keeps the file's name and permissions. (A workbook another
// program saves meanwhile: InsertionRunTest's SaveFailure table, through the whole run.)

#include "EngineTestSupport.h"

#include "platform/xls/XlsWorkbook.h"

#include <sys/stat.h>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

// Passes bytes on to a real file until a given count, then fails like a full disk.
class FullDiskSink final : public OutputSink {
  public:
    FullDiskSink(std::unique_ptr<OutputSink> inner, std::uint64_t limit)
        : inner_(std::move(inner)), limit_(limit)
    {
    }
    Status write(std::span<const std::uint8_t> bytes) override
    {
        if (inner_->written() + bytes.size() > limit_)
            return Error{"disk full", "file", {}, {}};
        return inner_->write(bytes);
    }
    Status finish() override
    {
        return inner_->written() >= limit_ ? Status(Error{"disk full", "file", {}, {}}) : inner_->finish();
    }
    std::uint64_t written() const override { return inner_->written(); }

  private:
    std::unique_ptr<OutputSink> inner_;
    std::uint64_t limit_;
};

// The workbook with a sheet copy and a caption, so that a save has something to write.
OpenedWorkbook edited(const TemporaryFolder& folder, const std::string& fixture)
{
    OpenedWorkbook opened = openCopy(folder, fixture);
    EXPECT_TRUE(opened.first && opened.first->copyAfter(*opened.first).ok());
    EXPECT_TRUE(opened.first && opened.first->setMergeAreaValue({5, 5}, std::string("caption")).ok());
    return opened;
}

XlsWorkbook& engineWorkbook(OpenedWorkbook& opened)
{
    return dynamic_cast<XlsWorkbook&>(*opened.workbook);
}

// From the header to the last byte; at the full size, finishing (the sync) fails.
TEST(AtomicSave, AWriterFailingAnywhereLeavesTheFileAndNothingElse)
{
    TemporaryFolder folder;
    const auto path = copyWorkbook(folder.path(), "SimpleWithImages.xls");
    const Bytes original = fileBytes(path);
    std::uint64_t size = 0;
    {
        OpenedWorkbook measured = openWorkbook(path);
        ASSERT_TRUE(measured.first && measured.first->copyAfter(*measured.first).ok());
        MemoryOutputSink whole;
        ASSERT_TRUE((*engineWorkbook(measured).document())->write(whole).ok());
        size = whole.written();
    }
    for (std::uint64_t limit :
         {std::uint64_t{0}, std::uint64_t{511}, std::uint64_t{4096}, size / 2, size - 1, size}) {
        OpenedWorkbook opened = openWorkbook(path);
        ASSERT_TRUE(opened.first && opened.first->copyAfter(*opened.first).ok());
        engineWorkbook(opened).setSinkFactory(
            [limit](const std::filesystem::path& file) -> Result<std::unique_ptr<OutputSink>> {
                auto sink = FileOutputSink::create(file);
                if (!sink)
                    return sink.error();
                return std::unique_ptr<OutputSink>(std::make_unique<FullDiskSink>(std::move(*sink), limit));
            });
        EXPECT_FALSE(opened.workbook->saveAs(opened.path).ok()) << "limit " << limit;
        EXPECT_EQ(fileBytes(opened.path), original) << "limit " << limit;
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"SimpleWithImages.xls"})
            << "limit " << limit;
    }
}

// Saved twice over the file it wrote itself (no change by another program): same name, same
// permissions, nothing else left, and the change in it.
TEST(AtomicSave, SuccessReplacesTheFileKeepingItsPermissions)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = edited(folder, "ledger.xls");
    std::filesystem::permissions(opened.path, std::filesystem::perms(0640));
    opened.save();
    opened.save();
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
    struct stat info {};
    ASSERT_EQ(::stat(opened.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(WorkbookFile::worksheetNames(opened.path)->size(), 3u) << "the copy is in it";
}

// A read-only file or folder, a missing folder, alerts on (replacing a file would ask, and nobody
// can answer): nothing is written. After Quit every operation fails and nothing crashes.
TEST(AtomicSave, RefusedSavesLeaveTheFileAndNothingWorksAfterQuit)
{
    namespace fs = std::filesystem;
    TemporaryFolder folder;
    OpenedWorkbook opened = edited(folder, "ledger.xls");
    const Bytes original = fileBytes(opened.path);
    fs::permissions(opened.path, fs::perms::owner_read);
    EXPECT_FALSE(opened.workbook->saveAs(opened.path).ok());
    fs::permissions(opened.path, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(opened.workbook->saveAs(opened.path).ok());
    fs::permissions(folder.path(), fs::perms::owner_all);
    EXPECT_FALSE(opened.workbook->saveAs(folder / "no such folder" / "x.xls").ok());
    ASSERT_TRUE(opened.application->setDisplayAlerts(true).ok());
    EXPECT_FALSE(opened.workbook->saveAs(opened.path).ok());
    EXPECT_EQ(fileBytes(opened.path), original);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
    EXPECT_TRUE(opened.workbook->saveAs(folder / "new.xls").ok()) << "a new file needs no answer";

    ASSERT_TRUE(opened.application->quit().ok());
    EXPECT_FALSE(opened.workbook->saveAs(folder / "after.xls").ok());
    EXPECT_FALSE(opened.first->setMergeAreaValue({1, 1}, 1.0).ok());
    EXPECT_FALSE(opened.first->name().ok());
    EXPECT_FALSE(opened.application->openWorkbook(opened.path).ok());
    EXPECT_FALSE(fs::exists(folder / "after.xls"));
}

} // namespace
