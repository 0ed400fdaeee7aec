// A run whose workbook cannot be written: the run still goes through to its final message, that
// message says the workbook was not saved, and the file on disk keeps every byte it had, with
// nothing left beside it. The cases work for root too (CI runs as root): a file or folder
// without write permission counts as read-only whoever runs the program, and a file-size limit
// makes the write itself fail as a full disk would.

#include "support/EngineRun.h"

#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <utility>
#include <sys/resource.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

RunOptions twoPicturesOn(const std::filesystem::path& book)
{
    RunOptions options = EngineRun::optionsFor(book, {QStringLiteral("Sheet1"), QStringLiteral("My Sheet")});
    options.startColumn = 2;
    options.endColumn = 4;
    options.startRow = 3;
    options.endRow = 10;
    options.startRowIndex = 2;
    options.endRowIndex = 9;
    options.picturesPerSheet = 1;
    options.sheetNameText = QStringLiteral("Photo");
    options.numberCaption = {true, 2, 2};
    options.pictures.push_back(EngineRun::pictureRow(pictureFixture("land.jpg"), QStringLiteral("○")));
    options.pictures.push_back(EngineRun::pictureRow(pictureFixture("tall.tif"), QStringLiteral("→")));
    return options;
}

void expectReportedNotSaved(const EngineRun& engine, const RunOutcome& outcome, const QString& name)
{
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::Completed);
    EXPECT_FALSE(outcome.saved);
    EXPECT_FALSE(outcome.saveError.isEmpty());
    ASSERT_EQ(engine.messages.size(), 1u);
    const QString& text = engine.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("  処理終了！"))) << text.toStdString();
    EXPECT_TRUE(text.contains(name + QStringLiteral(" は保存されませんでした。"))) << text.toStdString();
    EXPECT_EQ(engine.messages[0].title, QStringLiteral("確認"));
    ASSERT_FALSE(engine.progress.empty());
    EXPECT_EQ(engine.progress.back(), 100.0f) << "the run reaches its completion";
}

// Makes writes beyond `bytes` fail with EFBIG for as long as it lives, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = std::min(bytes, previous_.rlim_max);
        active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

} // namespace

TEST(InsertionRunSaveFailure, AReadOnlyWorkbookIsReportedNotSavedAndKeepsItsBytes)
{
    TemporaryFolder folder;
    const auto book = folder / "ledger.xls";
    std::filesystem::copy_file(workbookFixture("ledger.xls"), book);
    std::filesystem::permissions(book, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    const std::string before = bytesOf(book);

    EngineRun engine;
    RunOutcome outcome = engine.run(twoPicturesOn(book));
    expectReportedNotSaved(engine, outcome, QStringLiteral("ledger.xls"));
    EXPECT_NE(outcome.saveError.indexOf(QStringLiteral("read-only")), -1) << outcome.saveError.toStdString();
    EXPECT_EQ(bytesOf(book), before);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
    std::filesystem::permissions(book, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

TEST(InsertionRunSaveFailure, AWorkbookInAReadOnlyFolderIsReportedNotSavedAndKeepsItsBytes)
{
    TemporaryFolder folder;
    const auto inner = folder / "locked";
    std::filesystem::create_directory(inner);
    const auto book = inner / "jp_ledger.xls";
    std::filesystem::copy_file(workbookFixture("jp_ledger.xls"), book);
    const std::string before = bytesOf(book);
    std::filesystem::permissions(inner, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                            std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);

    EngineRun engine;
    RunOptions options = twoPicturesOn(book);
    options.sheetNames = {QStringLiteral("台帳")};
    RunOutcome outcome = engine.run(options);
    std::filesystem::permissions(inner, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    expectReportedNotSaved(engine, outcome, QStringLiteral("jp_ledger.xls"));
    EXPECT_EQ(bytesOf(book), before);
    EXPECT_EQ(namesIn(inner), std::vector<std::string>{"jp_ledger.xls"});
}

// The disk fills while the new workbook is written: the half-written file is thrown away and the
// workbook stays as it was.
TEST(InsertionRunSaveFailure, AWriteThatFailsHalfwayLeavesTheWorkbookAsItWas)
{
    TemporaryFolder folder;
    const auto book = folder / "ledger.xls";
    std::filesystem::copy_file(workbookFixture("ledger.xls"), book);
    const std::string before = bytesOf(book);
    ASSERT_GT(before.size(), 4096u);

    EngineRun engine;
    RunOutcome outcome;
    {
        FileSizeLimit limit(before.size() / 2);
        if (!limit.active())
            GTEST_SKIP() << "the file-size limit cannot be set here";
        outcome = engine.run(twoPicturesOn(book));
    }
    expectReportedNotSaved(engine, outcome, QStringLiteral("ledger.xls"));
    EXPECT_EQ(bytesOf(book), before);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
}

// An encrypted workbook is not read: the message says so in the window's language, with what to
// do, and the file keeps its bytes.
TEST(InsertionRunSaveFailure, AnEncryptedWorkbookIsReportedWithWhatToDo)
{
    TemporaryFolder folder;
    const auto book = folder / "secret.xls";
    std::filesystem::copy_file(workbookFixture("xor-encryption-abc.xls"), book);
    const std::string before = bytesOf(book);

    EngineRun engine;
    RunOptions options = twoPicturesOn(book);
    options.sheetNames = {QStringLiteral("Sheet1")};
    RunOutcome outcome = engine.run(options);
    EXPECT_FALSE(outcome.saved);
    ASSERT_EQ(engine.messages.size(), 1u);
    const QString& text = engine.messages[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("secret.xls を読み込めませんでした。保存していません。"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("パスワードで保護（暗号化）されたブックです。"))) << text.toStdString();
    EXPECT_EQ(bytesOf(book), before);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"secret.xls"});
}

namespace {

// Another program saves the workbook while a run works on it.
struct OtherSave {
    const char* what;
    bool inPlace;     // it writes into the file rather than renaming a new one over it
    bool runWritesElsewhere;
};

class WorkbookChangedDuringTheRun : public ::testing::TestWithParam<OtherSave> {};

std::string nameOf(const ::testing::TestParamInfo<OtherSave>& info) { return info.param.what; }

void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

// The run does not save over the other program's work: it says so, and the folder holds the
// workbook as that program wrote it and nothing else. A run writing to another file goes on.
TEST_P(WorkbookChangedDuringTheRun, IsLeftAsTheOtherProgramWroteIt)
{
    const OtherSave& c = GetParam();
    TemporaryFolder folder;
    const auto book = folder / "ledger.xls";
    std::filesystem::copy_file(workbookFixture("ledger.xls"), book);
    const std::string theirs = bytesOf(workbookFixture("namesdemo.xls"));

    EngineRun engine;
    RunOptions options = twoPicturesOn(book);
    if (c.runWritesElsewhere)
        options.saveTo = folder / "result.xls";
    engine.onProgress = [&, saved = false](float) mutable {
        if (std::exchange(saved, true))
            return;
        if (c.inPlace) {
            writeBytes(book, theirs);
        } else {
            writeBytes(folder / "theirs.tmp", theirs);
            std::filesystem::rename(folder / "theirs.tmp", book);
        }
    };
    RunOutcome outcome = engine.run(options);
    EXPECT_EQ(bytesOf(book), theirs);
    if (c.runWritesElsewhere) {
        EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
        EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"ledger.xls", "result.xls"}));
        return;
    }
    EXPECT_FALSE(outcome.saved);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].text,
              QStringLiteral("  処理終了！\r\n\r\nledger.xls は実行中にほかのプログラムで変更されたため、保存していません。"
                             "変更されたブックはそのままです。"));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
}

INSTANTIATE_TEST_SUITE_P(OtherSaves, WorkbookChangedDuringTheRun,
                         ::testing::Values(OtherSave{"ReplacedByRename", false, false},
                                           OtherSave{"RewrittenInPlace", true, false},
                                           OtherSave{"ReplacedWhileTheRunWritesAnotherFile", false, true}),
                         nameOf);
