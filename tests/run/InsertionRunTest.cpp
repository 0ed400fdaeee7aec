// The insertion run on the native engine, worked out by hand and judged by Apache POI (each picture's anchor,
// in points by Excel's own column and row rules, is the frame the placement rule gives for its block),
// LibreOffice (each picture sits centred in its block; captions show as their formats say) and xlrd (every
// sheet loads whole, every stream position is right).

#include "run/InsertionRun.h"
#include "run/RotationMark.h"

#include "support/EngineRun.h"
#include "support/ExcelGrid.h"
#include "support/Files.h"
#include "support/MetafileSamples.h"
#include "support/Oracles.h"
#include "support/PlacementChecks.h"
#include "support/RunBlock.h"
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

// A caption cell the run must have written: a text or a date (its serial number), with its number format.
struct ExpectedCaption {
    QString sheet, cell;
    QJsonValue value;
    QString format;
};

struct Scenario {
    RunOptions options;
    std::vector<ExpectedPicture> pictures;
    std::vector<ExpectedCaption> captions;
};

struct Source {
    std::filesystem::path path;
    double width, height; // points: pixels at 96 dpi, or the metafile's frame
};

const Source land{pictureFixture("land.jpg"), 240, 180}, portrait{pictureFixture("portrait.png"), 180, 240},
    square{pictureFixture("square.bmp"), 112.5, 112.5}, wide{pictureFixture("wide.gif"), 150, 75},
    tall{pictureFixture("tall.tif"), 75, 225};

const QStringList sheetsAfter{"Sheet1", "My Sheet", "Photo(1)", "Photo(2)", "Photo(3)"};

// ledger.xls (Arial 10, columns of 64 and 32 pixels in turn): pairs of blocks B3:D11 and F3:H11 one row
// apart, three per copy named Photo(n) after "My Sheet", at "80%"; nine pictures of every kind the engine
// takes, the marks in turn; above each block "No." numbers from a blank first number (the run fills in 1)
// and the name without extension (the right block's H2 lies in the merged G2:H2), below it the date
// (format 3) in the narrow column B; all shifted with their blocks.
Scenario everyKindInPairs(const std::filesystem::path& workbook, const MetafileSamples& metafiles)
{
    Scenario s{EngineRun::optionsFor(workbook, {"Sheet1", "My Sheet"}), {}, {}};
    RunOptions& o = s.options;
    setBlock(o, 2, 4, 3, 11, 1);
    o.picturesPerSheet = 3;
    o.singleColumnForm = false;
    o.twoColumnForm = true;
    o.pairGap = 1;
    o.sheetNameText = "Photo";
    o.magnificationText = "80%";
    o.dateCaption = {true, 12, 2};
    o.dateFormat = 3;
    o.numberCaption = {true, 2, 1};
    o.firstNumberText = "";
    o.nameCaption = {true, 2, 4};
    o.nameWithoutExtension = true;
    const Source sources[] = {land, portrait, square, wide, tall, {metafiles.wmf, 72, 72}, {metafiles.emf, 144, 72},
                              {metafiles.wmz, 72, 72}, {metafiles.emz, 144, 72}};
    const char* names[] = {" land", " portrait", " square", " wide", " tall", " square", " wide", " square", " wide"};
    // Per copy: the left and the right block of the first block row, the left one of the second.
    const struct {
        int top, left;
        const char *date, *number, *name;
    } places[] = {{3, 2, "B12", "A2", "D2"}, {3, 6, "F12", "E2", "G2"}, {13, 2, "B22", "A12", "D12"}};
    for (int k = 0; k < 9; ++k) {
        const QString sheet = sheetsAfter[2 + k / 3];
        const auto& place = places[k % 3];
        const Source& source = sources[k];
        o.pictures.push_back(EngineRun::pictureRow(source.path, rotationMarkFor(90 * (k % 4))));
        s.pictures.push_back({source.path, 90 * (k % 4), source.width, source.height, sheet, k % 3, place.top,
                              place.left, place.top + 8, place.left + 2});
        s.captions.push_back({sheet, place.date, 36964.5625, "yyyy/m/d h:mm;@"}); // 2001-03-14 13:30
        s.captions.push_back({sheet, place.number, QStringLiteral("No.%1").arg(k + 1), "General"});
        s.captions.push_back({sheet, place.name, names[k], "General"});
    }
    return s;
}

// Every sheet holds its pictures and no others; a copy carries the template's cells, merged caption fields
// and column widths (a date entered in a narrow column leaves its width as it was).
void expectSheetsAsPoiReadsThem(const QJsonObject& poi, const Scenario& scenario)
{
    const QJsonObject original = sheetNamed(poi, "Sheet1", "POI");
    for (const QString& name : sheetsAfter) {
        const QJsonObject sheet = sheetNamed(poi, name, "POI");
        EXPECT_EQ(sheet["pictures"].toArray().size(), std::count_if(scenario.pictures.begin(), scenario.pictures.end(),
                                                                    [&](const auto& p) { return p.sheet == name; }))
            << name.toStdString();
        if (name.startsWith("Photo")) {
            EXPECT_EQ(cellOf(sheet, "A1"), cellOf(original, "A1")) << name.toStdString();
            EXPECT_EQ(sheet["merged"], original["merged"]) << name.toStdString();
            EXPECT_EQ(sheet["columns"], original["columns"]) << name.toStdString();
        }
    }
}

TEST(InsertionRun, EveryPictureAndCaptionLandsWhereTheRulesPutIt)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    const Scenario scenario = everyKindInPairs(book, writeMetafileSamples(folder.path()));
    EngineRun engine;
    const RunOutcome outcome = engine.run(scenario.options);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 9);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].text, "  処理終了！");
    EXPECT_EQ(engine.messages[0].title, "確認");
    if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), sheetsAfter);
    }
    auto poi = poiReport(book), shown = libreOfficeReport(book);
    ASSERT_TRUE(poi && shown);
    expectSheetsAsPoiReadsThem(*poi, scenario);
    for (const auto& expected : scenario.pictures) {
        SCOPED_TRACE(expected.path.filename().string() + " on " + expected.sheet.toStdString());
        const QJsonObject poiSheet = sheetNamed(*poi, expected.sheet, "POI");
        const QJsonObject shownSheet = sheetNamed(*shown, expected.sheet, "LibreOffice");
        expectAnchoredInBlock(*poi, poiSheet, poiSheet["pictures"][expected.slot].toObject(), expected, 0.8);
        expectShownInBlock(shownSheet, shownSheet["graphics"][expected.slot].toObject(), expected, 0.8);
    }
    for (const auto& caption : scenario.captions) {
        SCOPED_TRACE(caption.sheet.toStdString() + "!" + caption.cell.toStdString());
        const QJsonObject poiCell = cellOf(sheetNamed(*poi, caption.sheet, "POI"), caption.cell);
        const QJsonObject shownCell = cellOf(sheetNamed(*shown, caption.sheet, "LibreOffice"), caption.cell);
        const bool date = caption.value.isDouble();
        EXPECT_EQ(poiCell["type"].toString(), date ? "number" : "text");
        EXPECT_EQ(poiCell["value"], caption.value);
        EXPECT_EQ(poiCell["format"].toString(), caption.format);
        EXPECT_EQ(shownCell["type"].toString(), date ? "value" : "text");
        EXPECT_EQ(shownCell["text"], date ? QJsonValue("2001/3/14 13:30") : caption.value);
    }
}

bool runOnePicture(const std::filesystem::path& book, const QStringList& listed, int dateFormat)
{
    RunOptions options = EngineRun::optionsFor(book, listed);
    setBlock(options, 2, 4, 3, 3);
    options.picturesPerSheet = 1;
    options.sheetNameText = "日付";
    options.dateCaption = {true, 2, 2};
    options.dateFormat = dateFormat;
    options.numberCaption = {true, 2, 3};
    options.firstNumberText = "5";
    options.numberWithPrefix = false;
    options.pictures.push_back(EngineRun::pictureRow(land.path, "○"));
    EngineRun engine;
    return engine.run(options).saved;
}

// Runs one after another on jp_ledger.xls, each naming its copy after the copies listed (the window lists
// the sheets again after each run) and putting it after the last of them; a stale list offers a name the
// workbook holds: the copy keeps Excel's "台帳 (2)" and still takes its picture. LibreOffice shows each date
// as the sample the option panel offers for its format (the last one's is format 0), and the plain number.
TEST(InsertionRunAfterRun, EachCopyTakesTheNextFreeNameAndShowsItsDateFormat)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "jp_ledger.xls");
    const QStringList samples{"2001年3月14日",   "2001/3/14", "2001/3/14 1:30 PM", "2001/3/14 13:30",
                              "平成13年3月14日", "H13.3.14",  "3月14日",           "3/14"};
    QStringList sheets{"台帳"};
    for (int format = 0; format < 8; ++format) {
        ASSERT_TRUE(runOnePicture(book, sheets, format)) << "format " << format;
        sheets << QStringLiteral("日付(%1)").arg(format + 1);
    }
    ASSERT_TRUE(runOnePicture(book, {"台帳"}, 0));
    sheets.insert(1, "台帳 (2)");
    if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), sheets);
    }
    auto shown = libreOfficeReport(book);
    ASSERT_TRUE(shown.has_value());
    for (qsizetype copy = 1; copy < sheets.size(); ++copy) {
        const QJsonObject sheet = sheetNamed(*shown, sheets[copy], "LibreOffice");
        SCOPED_TRACE(sheets[copy].toStdString());
        EXPECT_EQ(cellOf(sheet, "B2")["text"].toString(), samples[std::max<qsizetype>(copy - 2, 0)]);
        EXPECT_EQ(std::pair(cellOf(sheet, "C2")["type"].toString(), cellOf(sheet, "C2")["value"].toDouble()),
                  std::pair(QString("value"), 5.0));
        EXPECT_EQ(sheet["graphics"].toArray().size(), 1);
    }
}

RunOptions twoPicturesOn(const fs::path& book)
{
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    options.picturesPerSheet = 1;
    options.sheetNameText = "Photo";
    options.numberCaption = {true, 2, 2};
    options.pictures = {EngineRun::pictureRow(land.path, "○"), EngineRun::pictureRow(tall.path, "→")};
    return options;
}

struct CheckCase {
    const char* name;
    bool workbookChosen, picturesListed;
    int picturesPerSheet;
    const char* sheetNameText; // nothing: copies named after today's date
    const char* refusal;       // one line per missing input; empty: the run goes on
    const char* copyName;      // and makes this copy
};
class RunChecks : public ::testing::TestWithParam<CheckCase> {};
// A refused run says every missing input at once and touches nothing; a run that may start names its
// copies after the sheet name, blank or not, or after today's date when asked to. (Each missing input
// alone, through the window: WorkbookAndStart_test.)
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
    options.sheetNameFromDate = !c.sheetNameText;
    options.sheetNameText = c.sheetNameText ? c.sheetNameText : "";
    EngineRun engine;
    const RunOutcome outcome = engine.run(options);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0].title, "確認");
    EXPECT_EQ(engine.messages[0].text, *c.refusal ? c.refusal : "  処理終了！");
    EXPECT_EQ(outcome.stage, *c.refusal ? RunOutcome::Stage::MissingInput : RunOutcome::Stage::Completed);
    if (*c.refusal) {
        EXPECT_EQ(fileBytes(book), before);
    } else if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole),
                  QStringList({"Sheet1", "My Sheet"}) + (*c.copyName ? QStringList{c.copyName} : QStringList{}));
    }
}

std::string checkName(const ::testing::TestParamInfo<CheckCase>& info) { return info.param.name; }
INSTANTIATE_TEST_SUITE_P(, RunChecks, ::testing::Values(
    CheckCase{"NothingChosenAndNoSheetName", false, false, 2, "",
              "Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。\r\n挿入SHEET名を指定して下さい。", ""},
    CheckCase{"CopiesNamedAfterToday", true, true, 5, nullptr, "", "2026年12月7日(1)"},
    CheckCase{"CopiesNamedAfterABlank", true, true, 5, " ", "", " (1)"}), checkName);

// Open elsewhere: Excel's owner file keeps the program's own message; a spreadsheet program that
// has the workbook is named with it. Nothing starts and the workbook keeps its bytes.
TEST(InsertionRun, AWorkbookOpenElsewhereIsRefusedAndNothingStarts)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    const Bytes before = fileBytes(book);
    const std::tuple<WorkbookUser, QString, QString> cases[] = {
        {{WorkbookUser::Kind::ExcelOwnerFile, "Excel", {}}, "Excel が起動中です。", "Tavorin"},
        {{WorkbookUser::Kind::Process, "LibreOffice", {}},
         "ブック ledger.xls は LibreOffice で開かれています。\r\nLibreOffice で閉じてからもう一度実行してください。", "確認"}};
    for (const auto& [user, text, title] : cases) {
        EngineRun observer;
        RunEnvironment environment;
        environment.workbookOpenElsewhere = [&](const fs::path& path) {
            return path == book ? std::optional<WorkbookUser>(user) : std::nullopt;
        };
        environment.createApplication = [](FitFor) -> std::unique_ptr<SpreadsheetApplication> {
            ADD_FAILURE() << "no engine starts";
            return nullptr;
        };
        environment.observer = &observer;
        EXPECT_EQ(runInsertion(twoPicturesOn(book), environment).stage, RunOutcome::Stage::SpreadsheetRunning);
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_EQ(observer.messages[0].text, text);
        EXPECT_EQ(observer.messages[0].title, title);
    }
    EXPECT_EQ(fileBytes(book), before);
}

// broken.jpg is no picture: it is named in the final message, its caption is written all the same, and
// the pictures around it are placed as ever (a blank magnification is taken as 100). A text that is no
// mark leaves its picture at its block's top-left cell at its natural size; a first number that is no
// number writes no number. The bar moves after every picture.
TEST(InsertionRun, APictureThatCannotBeInsertedIsListedAndTheOthersArePlaced)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls");
    RunOptions options = EngineRun::optionsFor(book, {"Sheet1", "My Sheet"});
    setBlock(options, 2, 4, 3, 10, 1); // B3:D10, B12:D19, B21:D28, B30:D37
    options.nameCaption = {true, 2, 2};
    options.numberCaption = {true, 2, 3};
    options.firstNumberText = "12abc";
    options.magnificationText = "  "; // the run fills in 100
    options.pictures = {EngineRun::pictureRow(land.path, "○"), EngineRun::pictureRow(pictureFixture("broken.jpg"), "○"),
                        EngineRun::pictureRow(portrait.path, "?"), EngineRun::pictureRow(land.path, "←")};
    EngineRun engine;
    const RunOutcome outcome = engine.run(options);
    EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 3);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_TRUE(engine.messages[0].text.startsWith("  処理終了！\r\n\r\n配置できなかった画像：\r\n"
                                                   "broken.jpg … 対応していない形式のファイルです"))
        << engine.messages[0].text.toStdString();
    // Placing fills the first half of the bar, saving the rest.
    ASSERT_GE(engine.progress.size(), 5u);
    EXPECT_EQ(std::vector<float>(engine.progress.begin(), engine.progress.begin() + 4), (std::vector<float>{0, 12.5, 25, 37.5}));
    EXPECT_TRUE(std::is_sorted(engine.progress.begin(), engine.progress.end()));
    EXPECT_EQ(engine.progress.back(), 100.0f);
    expectSavedWhole(book);
    auto poi = poiReport(book);
    ASSERT_TRUE(poi.has_value());
    const QJsonObject sheet = sheetNamed(*poi, "Sheet1", "POI");
    const QJsonArray pictures = sheet["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 3);
    expectAnchoredInBlock(*poi, sheet, pictures[0].toObject(), {land.path, 0, 240, 180, "", 0, 3, 2, 10, 4}, 1);
    expectAnchoredInBlock(*poi, sheet, pictures[2].toObject(), {land.path, 270, 240, 180, "", 2, 30, 2, 37, 4}, 1);
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

// The workbook is not written: it cannot be (read-only, a full disk, encrypted), or another program saves it
// during the run (by renaming a new file over it or by writing into it) and the run leaves that work alone.
enum class Cause { ReadOnlyFile, ReadOnlyFolder, DiskFullHalfway, Encrypted, ReplacedByRename, RewrittenInPlace };

struct FailureCase {
    const char* name;
    Cause cause;
    const char* message; // after "  処理終了！" and an empty line
};
class SaveFailure : public ::testing::TestWithParam<FailureCase> {};
TEST_P(SaveFailure, IsReportedAndLeavesTheWorkbookAsItWasOrAsTheOtherProgramWroteIt)
{
    const FailureCase& c = GetParam();
    TemporaryFolder folder;
    const fs::path place = folder / "book";
    fs::create_directory(place);
    const auto book =
        copyWorkbook(place, c.cause == Cause::Encrypted ? "xor-encryption-abc.xls" : "ledger.xls", "book.xls");
    const Bytes before = fileBytes(book), theirs = fileBytes(workbookFixture("namesdemo.xls"));
    const bool changed = c.cause == Cause::ReplacedByRename || c.cause == Cause::RewrittenInPlace;
    const fs::path readOnly = c.cause == Cause::ReadOnlyFile ? book : place;
    if (c.cause == Cause::ReadOnlyFile || c.cause == Cause::ReadOnlyFolder)
        fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    EngineRun engine;
    engine.onProgress = [&, saved = false](float) mutable {
        if (!changed || std::exchange(saved, true))
            return;
        writeFile(c.cause == Cause::RewrittenInPlace ? book : folder / "theirs.tmp", theirs);
        if (c.cause == Cause::ReplacedByRename)
            fs::rename(folder / "theirs.tmp", book);
    };
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
    EXPECT_EQ(fileBytes(book), changed ? theirs : before);
    EXPECT_EQ(namesIn(place), std::vector<std::string>{"book.xls"});
}

std::string failureName(const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; }
const char* changedOnDisk =
    "book.xls は実行中にほかのプログラムで変更されたため、保存していません。変更されたブックはそのままです。";
INSTANTIATE_TEST_SUITE_P(, SaveFailure, ::testing::Values(
    FailureCase{"ReadOnlyFile", Cause::ReadOnlyFile, "book.xls は保存されませんでした。\r\n"},
    FailureCase{"ReadOnlyFolder", Cause::ReadOnlyFolder, "book.xls は保存されませんでした。\r\n"},
    FailureCase{"DiskFullHalfway", Cause::DiskFullHalfway, "book.xls は保存されませんでした。\r\n"},
    FailureCase{"Encrypted", Cause::Encrypted, "book.xls を読み込めませんでした。保存していません。\r\n"
                "パスワードで保護（暗号化）されたブックです。Excel または LibreOffice で開いて保護を解除し、"
                "Excel 97-2003 形式で保存し直してから使ってください。"},
    FailureCase{"ReplacedByRename", Cause::ReplacedByRename, changedOnDisk},
    FailureCase{"RewrittenInPlace", Cause::RewrittenInPlace, changedOnDisk}),
    failureName);

} // namespace
