// The run on the native engine around its picture loop: the checks before it, a spreadsheet application
// holding the workbook, the names of the copies, pictures that cannot be placed, and a workbook that
// cannot be read or written: the run then goes through to its final message, which says the workbook was
// not saved, and the file keeps every byte it had with nothing left beside it. The causes work for root
// too (CI runs as root): a file or folder without write permission is read-only whoever runs the program,
// and a file-size limit fails the write as a full disk would.

#include "RunLayout.h"

#include "platform/xls/XlsApplication.h"
#include "run/InsertionRun.h"
#include "run/SheetNaming.h"

#include "support/EngineRun.h"
#include "support/ExcelGrid.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/PlacementChecks.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace tavorin;
using namespace tavorin::test;
namespace fs = std::filesystem;

namespace {

// Two pictures, one per copy named Photo(n), with numbers above them.
RunOptions twoPicturesOn(const fs::path& book)
{
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    options.picturesPerSheet = 1;
    options.sheetNameText = "Photo";
    options.numberCaption = {true, 2, 2};
    options.pictures = {EngineRun::pictureRow(pictureFixture("land.jpg"), "○"),
                        EngineRun::pictureRow(pictureFixture("tall.tif"), "→")};
    return options;
}

struct CheckCase {
    const char* name;
    bool workbookChosen, picturesListed;
    int picturesPerSheet;
    bool sheetNameFromDate;
    const char* sheetNameText;
    const char* refusal;  // one line per missing input; empty: the run goes on
    const char* copyName; // and makes this copy
};

class RunChecks : public ::testing::TestWithParam<CheckCase> {};

// A refused run says every missing input at once and touches nothing; a run that may start names its
// copies after the sheet name, blank or not, or after today's date when asked to.
TEST_P(RunChecks, RefuseMissingInputsTogetherOrLetTheRunGoOn)
{
    const CheckCase& c = GetParam();
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    const Bytes before = fileBytes(book);
    RunOptions options = twoPicturesOn(book);
    options.workbookChosen = c.workbookChosen;
    options.pictures.resize(c.picturesListed ? 2 : 0);
    options.picturesPerSheet = c.picturesPerSheet;
    options.sheetNameFromDate = c.sheetNameFromDate;
    options.sheetNameText = c.sheetNameText;
    EngineRun engine;
    const RunOutcome outcome = engine.run(options);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].title, "確認");
    EXPECT_EQ(engine.messages[0].text, *c.refusal ? c.refusal : "  処理終了！");
    EXPECT_EQ(outcome.stage, *c.refusal ? RunOutcome::Stage::MissingInput : RunOutcome::Stage::Completed);
    if (*c.refusal) {
        EXPECT_EQ(fileBytes(book), before);
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
    } else if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), QStringList({"Sheet1", "My Sheet"}) + (*c.copyName ? QStringList{c.copyName} : QStringList{}));
    }
}

std::string checkName(const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(, RunChecks, ::testing::Values(
    CheckCase{"NothingChosenAndNoSheetName", false, false, 2, false, "",
              "Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。\r\n挿入SHEET名を指定して下さい。", ""},
    CheckCase{"NothingChosenAllOnOneSheet", false, false, 0, false, "",
              "Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。", ""},
    CheckCase{"NoWorkbook", false, true, 0, false, "", "Excelファイルを指定して下さい。", ""},
    CheckCase{"NoPictures", true, false, 0, false, "", "画像ファイルを指定して下さい。", ""},
    CheckCase{"CopiesWithoutAName", true, true, 5, false, "", "挿入SHEET名を指定して下さい。", ""},
    CheckCase{"AllOnTheTemplateNeedNoName", true, true, 0, false, "", "", ""},
    CheckCase{"CopiesNamedAfterToday", true, true, 5, true, "", "", "2026年12月7日(1)"},
    CheckCase{"CopiesNamedAfterABlank", true, true, 5, false, " ", "", " (1)"}), checkName);

// Only the first copy number is looked up among the listed sheets, by exact, case-sensitive comparison
// of the whole name; the copies count on from it.
TEST(SheetNaming, TheFirstCopyTakesTheFirstFreeNumberAndTodayHasNoWeekday)
{
    EXPECT_EQ(initialCopyCounter("写真", {"写真(1)", "Sheet1", "写真(2)"}), 2);
    EXPECT_EQ(initialCopyCounter("写真", {"写真(2)"}), 0);
    EXPECT_EQ(initialCopyCounter("Photo", {"photo(1)", "Photo(1) ", "Photo (1)"}), 0);
    const QDate sunday(2026, 12, 6);
    EXPECT_EQ(longDateWithoutWeekday(sunday, QLocale(QLocale::Japanese, QLocale::Japan)), "2026年12月6日");
    const QString english = longDateWithoutWeekday(sunday, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(english.contains("December 6") && english.contains("2026") && !english.contains("Sunday"))
        << english.toStdString();
}

TEST(InsertionRun, ARunningSpreadsheetApplicationIsRefusedAndNothingStarts)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    const Bytes before = fileBytes(book);
    EngineRun observer;
    int started = 0;
    RunEnvironment environment;
    environment.spreadsheetApplicationRunning = [&](const fs::path& path) { return path == book; };
    environment.createApplication = [&] {
        ++started;
        return std::make_unique<xls::XlsApplication>();
    };
    environment.observer = &observer;
    EXPECT_EQ(runInsertion(twoPicturesOn(book), environment).stage, RunOutcome::Stage::SpreadsheetRunning);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(std::pair(observer.messages[0].text, observer.messages[0].title), std::pair(QString("Excel が起動中です。"), QString("Tavorin")));
    EXPECT_EQ(started, 0);
    EXPECT_EQ(fileBytes(book), before);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
}

// broken.jpg is no picture: it is left out and named in the final message, its caption is written all
// the same, and the pictures around it are placed as ever. A text that is no mark leaves its picture as
// inserted: at its block's top-left cell, at its natural size. A first number that is no number writes
// no number caption. The bar moves after every picture.
TEST(InsertionRun, APictureThatCannotBeInsertedIsListedAndTheOthersArePlaced)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    setBlock(options, 2, 4, 3, 10, 1); // B3:D10, B12:D19, B21:D28, B30:D37
    options.nameCaption = {true, 2, 2};
    options.numberCaption = {true, 2, 3};
    options.firstNumberText = "12abc";
    const auto land = pictureFixture("land.jpg"), portrait = pictureFixture("portrait.png");
    options.pictures = {EngineRun::pictureRow(land, "○"), EngineRun::pictureRow(pictureFixture("broken.jpg"), "○"),
                        EngineRun::pictureRow(portrait, "?"), EngineRun::pictureRow(land, "←")};
    EngineRun engine;
    const RunOutcome outcome = engine.run(options);
    EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 3);
    ASSERT_EQ(outcome.unplaced.size(), 1u);
    EXPECT_EQ(outcome.unplaced[0].index, 1);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_TRUE(engine.messages[0].text.startsWith("  処理終了！\r\n\r\n配置できなかった画像：\r\nbroken.jpg … 画像を挿入できません"))
        << engine.messages[0].text.toStdString();
    EXPECT_EQ(engine.progress, (std::vector<float>{0, 25, 50, 75, 100}));
    expectSavedWhole(book);
    auto poi = poiReport(book);
    ASSERT_TRUE(poi.has_value());
    const QJsonObject sheet = sheetNamed(*poi, "Sheet1", "POI");
    const QJsonArray pictures = sheet["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 3);
    expectAnchoredInBlock(*poi, sheet, pictures[0].toObject(), {land, 0, 240, 180, "Sheet1", 0, 3, 2, 10, 4}, 1);
    expectAnchoredInBlock(*poi, sheet, pictures[2].toObject(), {land, 270, 240, 180, "Sheet1", 2, 30, 2, 37, 4}, 1);
    const auto grid = ExcelGrid::fromPoi(*poi, sheet);
    ASSERT_TRUE(grid.has_value());
    const PointRect block = grid->block(21, 2, 28, 4), asInserted = grid->anchorRect(pictures[1]["anchor"].toArray());
    EXPECT_NEAR(asInserted.left, block.left, 0.5);
    EXPECT_NEAR(asInserted.top, block.top, 0.5);
    EXPECT_NEAR(asInserted.width, 180, 0.5);
    EXPECT_NEAR(asInserted.height, 240, 0.5);
    EXPECT_EQ(cellOf(sheet, "B2")["value"], " land.jpg");
    EXPECT_EQ(cellOf(sheet, "B11")["value"], " broken.jpg");
    EXPECT_EQ(cellOf(sheet, "B20")["value"], " portrait.png");
    EXPECT_TRUE(cellOf(sheet, "C2").isEmpty()) << "no number caption";
}

// Runs with writes beyond `bytes` failing with EFBIG, as on a full disk.
RunOutcome runWithFileSizeLimit(EngineRun& engine, const RunOptions& options, rlim_t bytes)
{
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limited{std::min(bytes, previous.rlim_max), previous.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0) << "the file-size limit cannot be set";
    const RunOutcome outcome = engine.run(options);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    return outcome;
}

enum class Cause { ReadOnlyFile, ReadOnlyFolder, DiskFullHalfway, Encrypted };

struct FailureCase {
    const char* name;
    Cause cause;
    const char* fixture;
    const char* message; // after "  処理終了！" and an empty line
};

class SaveFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SaveFailure, IsReportedAndLeavesTheWorkbookAsItWas)
{
    const FailureCase& c = GetParam();
    TemporaryFolder folder;
    const fs::path place = folder / "book";
    fs::create_directory(place);
    const auto book = copyWorkbook(place, c.fixture, "book.xls");
    const Bytes before = fileBytes(book);
    const fs::path readOnly = c.cause == Cause::ReadOnlyFile ? book : place;
    if (c.cause == Cause::ReadOnlyFile || c.cause == Cause::ReadOnlyFolder)
        fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    EngineRun engine;
    const RunOutcome outcome = c.cause == Cause::DiskFullHalfway
                                   ? runWithFileSizeLimit(engine, twoPicturesOn(book), before.size() / 2)
                                   : engine.run(twoPicturesOn(book));
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::Completed);
    EXPECT_FALSE(outcome.saved);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_TRUE(engine.messages[0].text.startsWith(QString("  処理終了！\r\n\r\n") + c.message))
        << engine.messages[0].text.toStdString();
    EXPECT_EQ(engine.messages[0].title, "確認");
    EXPECT_EQ(engine.progress.back(), 100.0f) << "the run reaches its completion";
    EXPECT_EQ(fileBytes(book), before);
    EXPECT_EQ(namesIn(place), std::vector<std::string>{"book.xls"});
}

std::string failureName(const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(, SaveFailure, ::testing::Values(
    FailureCase{"ReadOnlyFile", Cause::ReadOnlyFile, "ledger.xls", "book.xls は保存されませんでした。\r\n"},
    FailureCase{"ReadOnlyFolder", Cause::ReadOnlyFolder, "ledger.xls", "book.xls は保存されませんでした。\r\n"},
    FailureCase{"DiskFullHalfway", Cause::DiskFullHalfway, "ledger.xls", "book.xls は保存されませんでした。\r\n"},
    FailureCase{"Encrypted", Cause::Encrypted, "xor-encryption-abc.xls",
                "book.xls を読み込めませんでした。保存していません。\r\nパスワードで保護（暗号化）されたブックです。Excel または "
                "LibreOffice で開いて保護を解除し、Excel 97-2003 形式で保存し直してから使ってください。"}), failureName);

struct OtherSave {
    const char* name;
    bool inPlace, runWritesElsewhere;
};

class WorkbookChangedDuringTheRun : public ::testing::TestWithParam<OtherSave> {};

// Another program saves the workbook while the run works on it (at its first picture), by renaming a new
// file over it or by writing into it. The run does not save over that work and says so; a run that
// writes to another file goes on.
TEST_P(WorkbookChangedDuringTheRun, IsLeftAsTheOtherProgramWroteIt)
{
    const OtherSave& c = GetParam();
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    const Bytes theirs = fileBytes(workbookFixture("namesdemo.xls"));
    RunOptions options = twoPicturesOn(book);
    if (c.runWritesElsewhere)
        options.saveTo = folder / "result.xls";
    EngineRun engine;
    engine.onProgress = [&, saved = false](float) mutable {
        if (std::exchange(saved, true))
            return;
        writeFile(c.inPlace ? book : folder / "theirs.tmp", theirs);
        if (!c.inPlace)
            fs::rename(folder / "theirs.tmp", book);
    };
    const RunOutcome outcome = engine.run(options);
    EXPECT_EQ(fileBytes(book), theirs);
    EXPECT_EQ(outcome.saved, c.runWritesElsewhere) << outcome.saveError.toStdString();
    if (c.runWritesElsewhere) {
        EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"ledger.xls", "result.xls"}));
        expectSavedWhole(folder / "result.xls");
        return;
    }
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].text, "  処理終了！\r\n\r\nledger.xls は実行中にほかのプログラムで変更されたため、"
                                       "保存していません。変更されたブックはそのままです。");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"ledger.xls"});
}

std::string otherSaveName(const ::testing::TestParamInfo<OtherSave>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(, WorkbookChangedDuringTheRun,
                         ::testing::Values(OtherSave{"ReplacedByRename", false, false}, OtherSave{"RewrittenInPlace", true, false},
                                           OtherSave{"ReplacedWhileTheRunWritesAnotherFile", false, true}),
                         otherSaveName);

} // namespace
