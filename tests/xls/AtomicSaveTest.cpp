// Saving replaces the workbook atomically: a failure at any point leaves the file on disk byte
// for byte and no temporary file behind.

#include "EngineTestSupport.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"
#include "platform/xls/XlsWorkbook.h"

#include <sys/stat.h>

#include <fstream>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

// Passes bytes on to a real file until a given count, then fails like a full disk.
class FailingSink final : public OutputSink {
public:
    FailingSink(std::unique_ptr<OutputSink> inner, std::uint64_t limit) : inner_(std::move(inner)), limit_(limit) {}
    Status write(std::span<const std::uint8_t> bytes) override
    {
        if (inner_->written() + bytes.size() > limit_)
            return Error{"No space left on device", "file", {}, {}};
        return inner_->write(bytes);
    }
    Status finish() override
    {
        if (inner_->written() >= limit_)
            return Error{"No space left on device", "file", {}, {}};
        return inner_->finish();
    }
    std::uint64_t written() const override { return inner_->written(); }

private:
    std::unique_ptr<OutputSink> inner_;
    std::uint64_t limit_;
};

std::vector<std::string> folderListing(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path copyFixture(const test::TemporaryFolder& folder, const char* name)
{
    auto path = folder / name;
    std::filesystem::copy_file(test::workbookFixture(name), path);
    return path;
}

struct Edited {
    XlsApplication application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
};

// The workbook at path with one sheet copy and a caption, so that a save has something to write.
std::unique_ptr<Edited> edit(const std::filesystem::path& path)
{
    auto edited = std::make_unique<Edited>();
    auto workbook = edited->application.openWorkbook(path);
    EXPECT_TRUE(workbook.ok());
    if (!workbook)
        return nullptr;
    edited->workbook = *workbook;
    auto sheet = edited->workbook->sheetAt(1);
    EXPECT_TRUE(sheet.ok() && (*sheet)->copyAfter(**sheet).ok());
    EXPECT_TRUE((*sheet)->setMergeAreaValue({5, 5}, std::string("caption")).ok());
    EXPECT_TRUE(edited->application.setDisplayAlerts(false).ok());
    return edited;
}

} // namespace

TEST(AtomicSave, WriterFailureLeavesTheOriginalAndNoTemporaryFile)
{
    test::TemporaryFolder folder;
    auto path = copyFixture(folder, "SimpleWithImages.xls");
    auto original = test::fileBytes(path);
    auto listing = folderListing(folder.path());
    std::uint64_t size = 0;
    {
        auto edited = edit(path);
        ASSERT_TRUE(edited);
        auto document = dynamic_cast<XlsWorkbook&>(*edited->workbook).document();
        ASSERT_TRUE(document.ok());
        MemoryOutputSink whole;
        ASSERT_TRUE((*document)->write(whole).ok());
        size = whole.written();
    }
    // From the header to the last byte; at the full size, finishing (sync) fails.
    for (std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{511}, std::uint64_t{4096},
                                size / 2, size - 1, size}) {
        auto edited = edit(path);
        ASSERT_TRUE(edited);
        auto* workbook = dynamic_cast<XlsWorkbook*>(edited->workbook.get());
        ASSERT_NE(workbook, nullptr);
        workbook->setSinkFactory([limit](const std::filesystem::path& file) -> Result<std::unique_ptr<OutputSink>> {
            auto sink = FileOutputSink::create(file);
            if (!sink)
                return sink.error();
            return std::unique_ptr<OutputSink>(std::make_unique<FailingSink>(std::move(*sink), limit));
        });
        auto status = edited->workbook->saveAs(path);
        EXPECT_FALSE(status.ok()) << "limit " << limit;
        EXPECT_EQ(test::fileBytes(path), original) << "limit " << limit;
        EXPECT_EQ(folderListing(folder.path()), listing) << "limit " << limit;
    }
}

TEST(AtomicSave, ReadOnlyFolderOrFileIsNotTouched)
{
    test::TemporaryFolder folder;
    auto path = copyFixture(folder, "ledger.xls");
    auto original = test::fileBytes(path);
    auto edited = edit(path);
    ASSERT_TRUE(edited);

    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_FALSE(edited->workbook->saveAs(path).ok());
    EXPECT_EQ(test::fileBytes(path), original);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(edited->workbook->saveAs(path).ok());
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(test::fileBytes(path), original);
    EXPECT_EQ(folderListing(folder.path()), std::vector<std::string>{"ledger.xls"});

    EXPECT_FALSE(edited->workbook->saveAs(folder / "no such folder" / "x.xls").ok());
}

// A successful save replaces the file in place (same name, same permissions), leaves nothing
// else, and the new file has the change. Saving again over the file it wrote itself is no
// change by another program.
TEST(AtomicSave, SuccessReplacesTheFileKeepingItsPermissions)
{
    test::TemporaryFolder folder;
    auto path = copyFixture(folder, "ledger.xls");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    auto edited = edit(path);
    ASSERT_TRUE(edited);
    ASSERT_TRUE(edited->workbook->saveAs(path).ok());
    ASSERT_TRUE(edited->workbook->saveAs(path).ok());
    EXPECT_EQ(folderListing(folder.path()), std::vector<std::string>{"ledger.xls"});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    auto report = test::poiContent(path);
    EXPECT_EQ(report["sheets"].toArray().size(), 3);
}

// Another program saves the workbook while this one writes its own: the temporary file goes, the
// workbook stays as the other program wrote it, and the error says that it changed.
TEST(AtomicSave, AWorkbookSavedByAnotherProgramWhileWritingIsNotReplaced)
{
    test::TemporaryFolder folder;
    auto path = copyFixture(folder, "ledger.xls");
    const auto theirs = test::fileBytes(test::workbookFixture("plain.xls"));
    auto edited = edit(path);
    ASSERT_TRUE(edited);
    auto* workbook = dynamic_cast<XlsWorkbook*>(edited->workbook.get());
    ASSERT_NE(workbook, nullptr);
    workbook->setSinkFactory([&](const std::filesystem::path& file) -> Result<std::unique_ptr<OutputSink>> {
        std::ofstream(folder / "theirs.tmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(theirs.data()), static_cast<std::streamsize>(theirs.size()));
        std::filesystem::rename(folder / "theirs.tmp", path);
        auto sink = FileOutputSink::create(file);
        if (!sink)
            return sink.error();
        return std::unique_ptr<OutputSink>(std::move(*sink));
    });
    auto status = edited->workbook->saveAs(path);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(isChangedOnDisk(status.error())) << status.error().describe();
    EXPECT_EQ(test::fileBytes(path), theirs);
    EXPECT_EQ(folderListing(folder.path()), std::vector<std::string>{"ledger.xls"});
}

// With alerts on, replacing a file would ask; nobody can answer, so nothing is written.
TEST(AtomicSave, AlertsOnDoNotReplaceAFile)
{
    test::TemporaryFolder folder;
    auto path = copyFixture(folder, "plain.xls");
    auto original = test::fileBytes(path);
    auto edited = edit(path);
    ASSERT_TRUE(edited);
    ASSERT_TRUE(edited->application.setDisplayAlerts(true).ok());
    EXPECT_FALSE(edited->workbook->saveAs(path).ok());
    EXPECT_EQ(test::fileBytes(path), original);
    EXPECT_TRUE(edited->workbook->saveAs(folder / "new.xls").ok());
}

// After Quit the workbook and its sheets are gone: every operation fails, nothing crashes.
TEST(AtomicSave, NothingWorksAfterQuit)
{
    test::TemporaryFolder folder;
    auto edited = edit(copyFixture(folder, "plain.xls"));
    ASSERT_TRUE(edited);
    auto sheet = edited->workbook->sheetAt(1);
    ASSERT_TRUE(sheet.ok());
    ASSERT_TRUE(edited->application.quit().ok());
    EXPECT_FALSE(edited->workbook->saveAs(folder / "after.xls").ok());
    EXPECT_FALSE((*sheet)->setMergeAreaValue({1, 1}, 1.0).ok());
    EXPECT_FALSE((*sheet)->name().ok());
    EXPECT_FALSE(edited->application.openWorkbook(folder / "plain.xls").ok());
    EXPECT_FALSE(std::filesystem::exists(folder / "after.xls"));
}
