#include "run/InsertionRun.h"
#include "run/RunObserver.h"

#include "support/RecordingSpreadsheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

using namespace tavorin;
using test::RecordingSpreadsheet;

namespace {

// What the window would have seen of a run.
class RecordingObserver final : public RunObserver {
public:
    struct Message {
        QString text;
        QString title;
    };
    std::vector<Message> messages;
    std::vector<QString> filledFields;
    std::vector<float> progress;
    int started = 0;
    int finished = 0;
    int listings = 0;

    void showMessage(const QString& text, const QString& title) override { messages.push_back({text, title}); }
    void blankFieldsFilled(const QString& magnification, const QString& firstNumber) override
    {
        filledFields = {magnification, firstNumber};
    }
    void runStarted() override { ++started; }
    void progressChanged(float value) override { progress.push_back(value); }
    void runFinished() override { ++finished; }
    void listSheetsAgain() override { ++listings; }
};

class InsertionRunTest : public ::testing::Test {
protected:
    InsertionRunTest()
    {
        useWorkbookSheets({"Sheet1", "Sheet2"});
        options_.workbookChosen = true;
        options_.workbookPath = "/books/ledger.xls";
        options_.sheetNames = {"Sheet1", "Sheet2"};
        options_.selectedSheet = 0;
    }

    // The workbook that the run opens: these sheets, every column 50 pt wide, every row 20 pt high.
    void useWorkbookSheets(std::vector<std::string> names)
    {
        recorder_ = std::make_unique<RecordingSpreadsheet>(std::move(names));
        recorder_->setColumnWidthPoints(50);
        recorder_->setRowHeightPoints(20);
        recorder_->setDefaultNaturalSize(200, 100);
    }

    void addPictures(int count, const QString& mark = QStringLiteral("○"))
    {
        for (int i = 0; i < count; ++i) {
            QString name = QStringLiteral("p%1.jpg").arg(options_.pictures.size());
            options_.pictures.push_back(PictureRow{" " + name, "/photos/" + name, mark});
        }
    }

    RunOutcome run()
    {
        RunEnvironment environment;
        environment.workbookOpenElsewhere = [this](const std::filesystem::path&) {
            return running_ ? std::optional<WorkbookUser>(WorkbookUser{WorkbookUser::Kind::ExcelOwnerFile, "Excel", {}})
                            : std::nullopt;
        };
        environment.createApplication = [this](FitFor) {
            ++applicationsCreated_;
            return recorder_->makeApplication();
        };
        environment.fileCreationTime = [](const std::filesystem::path&) {
            return std::optional<CalendarDateTime>(CalendarDateTime{2001, 3, 14, 13, 30, 0, 0});
        };
        environment.longDateToday = [] { return QStringLiteral("2026年12月7日"); };
        environment.observer = &observer_;
        return runInsertion(options_, environment);
    }

    // The recorded calls that contain a piece of text, in order.
    std::vector<std::string> callsWith(const std::string& piece) const
    {
        std::vector<std::string> found;
        for (const auto& call : recorder_->calls())
            if (call.find(piece) != std::string::npos)
                found.push_back(call);
        return found;
    }

    std::unique_ptr<RecordingSpreadsheet> recorder_;
    RecordingObserver observer_;
    RunOptions options_;
    bool running_ = false;
    int applicationsCreated_ = 0;
};

} // namespace

TEST_F(InsertionRunTest, MissingInputsAreReportedTogetherAndNothingStarts)
{
    options_.workbookChosen = false;
    options_.picturesPerSheet = 2;
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::MissingInput);
    ASSERT_EQ(observer_.messages.size(), 1u);
    EXPECT_EQ(observer_.messages[0].title, QStringLiteral("確認"));
    EXPECT_EQ(observer_.messages[0].text,
              QStringLiteral("Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。\r\n"
                             "挿入SHEET名を指定して下さい。"));
    EXPECT_TRUE(observer_.filledFields.empty());
    EXPECT_EQ(observer_.started, 0);
    EXPECT_EQ(applicationsCreated_, 0);
}

TEST_F(InsertionRunTest, ARunningSpreadsheetIsRefusedAfterTheBlankFieldsAreFilled)
{
    addPictures(1);
    options_.magnificationText = QStringLiteral("   ");
    options_.firstNumberText = QString();
    running_ = true;
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::SpreadsheetRunning);
    EXPECT_EQ(observer_.filledFields, (std::vector<QString>{"100", "1"}));
    ASSERT_EQ(observer_.messages.size(), 1u);
    EXPECT_EQ(observer_.messages[0].text, QStringLiteral("Excel が起動中です。"));
    EXPECT_EQ(observer_.messages[0].title, QStringLiteral("Tavorin"));
    EXPECT_EQ(observer_.started, 0) << "the window must stay enabled";
    EXPECT_EQ(applicationsCreated_, 0);
    EXPECT_TRUE(recorder_->calls().empty());
}

TEST_F(InsertionRunTest, OpensSelectsPlacesSavesAndQuitsInOrder)
{
    addPictures(1);
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::Completed);
    const auto& calls = recorder_->calls();
    auto position = [&](const std::string& line) {
        return std::find(calls.begin(), calls.end(), line) - calls.begin();
    };
    auto open = position("Application.Workbooks.Open(\"/books/ledger.xls\")");
    auto screen = position("Application.ScreenUpdating = False");
    auto select = position("Sheet(\"Sheet1\").Select");
    auto insert = position("Sheet(\"Sheet1\").Pictures.Insert(\"/photos/p0.jpg\")");
    auto alerts = position("Application.DisplayAlerts = False");
    auto save = position("Workbook.SaveAs(\"/books/ledger.xls\")");
    auto quit = position("Application.Quit");
    ASSERT_LT(quit, static_cast<long>(calls.size()));
    EXPECT_LT(open, screen);
    EXPECT_LT(screen, select);
    EXPECT_LT(select, insert);
    EXPECT_LT(insert, alerts);
    EXPECT_LT(alerts, save);
    EXPECT_LT(save, quit);
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.placed, 1);
    EXPECT_EQ(observer_.started, 1);
    EXPECT_EQ(observer_.finished, 1);
    EXPECT_EQ(observer_.listings, 1);
    ASSERT_EQ(observer_.messages.size(), 1u);
    EXPECT_EQ(observer_.messages[0].text, QStringLiteral("  処理終了！"));
    EXPECT_EQ(observer_.messages[0].title, QStringLiteral("確認"));
}

TEST_F(InsertionRunTest, SingleColumnBlocksFollowTheWorkedExample)
{
    addPictures(3);
    options_.startRow = 3;
    options_.endRow = 10;
    options_.startRowIndex = 2;
    options_.endRowIndex = 9;
    options_.rowSpacing = 1;
    run();
    EXPECT_EQ(callsWith(").Select"), (std::vector<std::string>{"Sheet(\"Sheet1\").Select",
                                                               "Sheet(\"Sheet1\").Range(3,1,10,1).Select",
                                                               "Sheet(\"Sheet1\").Range(12,1,19,1).Select",
                                                               "Sheet(\"Sheet1\").Range(21,1,28,1).Select"}));
}

TEST_F(InsertionRunTest, TwoColumnPairsShareTheirRows)
{
    addPictures(4);
    options_.startColumn = 2;
    options_.endColumn = 5;
    options_.startRow = 3;
    options_.endRow = 10;
    options_.startRowIndex = 2;
    options_.endRowIndex = 9;
    options_.rowSpacing = 1;
    options_.singleColumnForm = false;
    options_.twoColumnForm = true;
    options_.pairGap = 1;
    run();
    EXPECT_EQ(callsWith("Range(").size(), 4u * 5u) << "select + width, height, top, left per picture";
    EXPECT_EQ(callsWith(").Select").size(), 5u);
    EXPECT_EQ(callsWith(".Range(3,2,10,5).Select").size(), 1u);
    EXPECT_EQ(callsWith(".Range(3,7,10,10).Select").size(), 1u);
    EXPECT_EQ(callsWith(".Range(12,2,19,5).Select").size(), 1u);
    EXPECT_EQ(callsWith(".Range(12,7,19,10).Select").size(), 1u);
}

TEST_F(InsertionRunTest, SheetCopiesTakeThreePicturesEachAndFollowTheLastSheet)
{
    addPictures(7);
    options_.picturesPerSheet = 3;
    options_.sheetNameText = QStringLiteral("写真");
    RunOutcome outcome = run();
    EXPECT_EQ(recorder_->sheetNames(),
              (std::vector<std::string>{"Sheet1", "Sheet2", "写真(1)", "写真(2)", "写真(3)"}));
    EXPECT_TRUE(recorder_->shapes("Sheet1").empty()) << "the template receives nothing";
    EXPECT_EQ(recorder_->shapes("写真(1)").size(), 3u);
    EXPECT_EQ(recorder_->shapes("写真(2)").size(), 3u);
    EXPECT_EQ(recorder_->shapes("写真(3)").size(), 1u);
    EXPECT_EQ(outcome.sheetsUsed, 3);
    EXPECT_EQ(callsWith(".Copy After:=").size(), 3u);
    EXPECT_EQ(callsWith("Copy After:=Sheet(\"Sheet2\")").size(), 1u);
}

TEST_F(InsertionRunTest, TheCopyCounterStartsAfterNamesAlreadyListed)
{
    addPictures(2);
    options_.picturesPerSheet = 1;
    options_.sheetNameText = QStringLiteral("B");
    options_.sheetNames = {"Sheet1", "B(1)", "B(2)"};
    useWorkbookSheets({"Sheet1", "B(1)", "B(2)"});
    run();
    EXPECT_EQ(recorder_->sheetNames(), (std::vector<std::string>{"Sheet1", "B(1)", "B(2)", "B(3)", "B(4)"}));
}

TEST_F(InsertionRunTest, ARefusedCopyNameKeepsTheNameTheCopyWasGiven)
{
    addPictures(2);
    options_.picturesPerSheet = 1;
    options_.sheetNameText = QStringLiteral("B");
    options_.sheetNames = {"Sheet1", "B(2)"};
    useWorkbookSheets({"Sheet1", "B(2)"});
    RunOutcome outcome = run();
    auto names = recorder_->sheetNames();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[2], "B(1)");
    EXPECT_NE(names[3], "B(2)") << "the second copy cannot take a name in use";
    EXPECT_EQ(recorder_->shapes(names[3]).size(), 1u) << "pictures still go onto it";
    EXPECT_EQ(outcome.placed, 2);
}

namespace {

struct FitCase {
    const char* mark;
    double naturalWidth, naturalHeight;
    const char* magnification;
    double width, height, left, top, rotation;
};

// Shown in the test's name (in ASCII, for ctest): the turn, the natural size and the magnification.
void PrintTo(const FitCase& fit, std::ostream* out)
{
    *out << "turned " << fit.rotation << ' ' << fit.naturalWidth << 'x' << fit.naturalHeight << " at " << fit.magnification;
}

} // namespace

class PictureFitTest : public InsertionRunTest, public ::testing::WithParamInterface<FitCase> {};

// Block C5:D7 is 100 pt wide and 60 pt high, 100 pt from the left and 80 pt from the top. The
// expected frames are worked out by hand from the fit table: width-first fit, the height test,
// the magnification, and the centring nudge of +0.005 (or -0.005 for upright frames).
TEST_P(PictureFitTest, FitsRotatesAndCentresByTheMark)
{
    const FitCase& fit = GetParam();
    addPictures(1, QString::fromUtf8(fit.mark));
    recorder_->setDefaultNaturalSize(fit.naturalWidth, fit.naturalHeight);
    options_.startColumn = 3;
    options_.endColumn = 4;
    options_.startRow = 5;
    options_.endRow = 7;
    options_.startRowIndex = 4;
    options_.endRowIndex = 6;
    options_.magnificationText = QString::fromUtf8(fit.magnification);
    run();
    auto shapes = recorder_->shapes("Sheet1");
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_NEAR(shapes[0].width, fit.width, 1e-4);
    EXPECT_NEAR(shapes[0].height, fit.height, 1e-4);
    EXPECT_NEAR(shapes[0].left, fit.left, 1e-4);
    EXPECT_NEAR(shapes[0].top, fit.top, 1e-4);
    EXPECT_EQ(shapes[0].rotation, fit.rotation);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, PictureFitTest,
    ::testing::Values(FitCase{"○", 200, 100, "100", 100, 50, 100.005, 85.005, 0},     // width fits
                      FitCase{"○", 100, 100, "100", 60, 60, 120.005, 80.005, 0},      // too tall: height fits
                      FitCase{"↓", 200, 100, "100", 100, 50, 100.005, 85.005, 180},
                      FitCase{"→", 200, 100, "100", 60, 30, 119.995, 94.995, 90},     // frame width upright
                      FitCase{"←", 100, 400, "100", 25, 100, 137.495, 59.995, 270},   // too wide when turned
                      FitCase{"○", 200, 100, "50", 50, 25, 125.005, 97.505, 0},       // half size, centred
                      FitCase{"○", 200, 100, "80abc", 80, 40, 110.005, 90.005, 0}));  // leading number

TEST_F(InsertionRunTest, ATextThatIsNoMarkLeavesThePictureAsInserted)
{
    addPictures(1, QStringLiteral("?"));
    run();
    auto shapes = recorder_->shapes("Sheet1");
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].width, 200);
    EXPECT_EQ(shapes[0].height, 100);
    EXPECT_TRUE(callsWith(".Width =").empty());
}

TEST_F(InsertionRunTest, ProgressMovesAfterEachPictureAndEndsAtAHundred)
{
    addPictures(4);
    run();
    EXPECT_EQ(observer_.progress, (std::vector<float>{0, 25, 50, 75, 100}));
}

TEST_F(InsertionRunTest, BlocksBeyondTheLastRowAreListedAndDisturbNothing)
{
    addPictures(2);
    options_.startRow = options_.endRow = 65536;
    options_.startRowIndex = options_.endRowIndex = 299;
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.placed, 1);
    ASSERT_EQ(outcome.unplaced.size(), 1u);
    EXPECT_EQ(outcome.unplaced[0].index, 1);
    EXPECT_TRUE(outcome.saved);
    auto shapes = recorder_->shapes("Sheet1");
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_TRUE(callsWith("Pictures.Insert(\"/photos/p1.jpg\")").empty())
        << "no picture may land at the previous block";
    EXPECT_TRUE(observer_.messages.back().text.startsWith(QStringLiteral("  処理終了！\r\n\r\n配置できなかった画像：")));
    EXPECT_TRUE(observer_.messages.back().text.contains(QStringLiteral("p1.jpg")));
}

TEST_F(InsertionRunTest, APictureThatCannotBeInsertedLeavesTheOthersAlone)
{
    addPictures(3);
    recorder_->failPictureInsert("/photos/p1.jpg");
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.placed, 2);
    ASSERT_EQ(outcome.unplaced.size(), 1u);
    EXPECT_EQ(outcome.unplaced[0].path, std::filesystem::path("/photos/p1.jpg"));
    EXPECT_EQ(recorder_->shapes("Sheet1").size(), 2u);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("p1.jpg")));
}

TEST_F(InsertionRunTest, AFailedSaveIsReportedNotCelebrated)
{
    addPictures(1);
    recorder_->failCallsStartingWith("Workbook.SaveAs");
    RunOutcome outcome = run();
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(recorder_->quitCalled());
    EXPECT_EQ(observer_.finished, 1);
    ASSERT_FALSE(observer_.messages.empty());
    EXPECT_TRUE(observer_.messages.back().text.contains(QStringLiteral("ledger.xls は保存されませんでした。")))
        << observer_.messages.back().text.toStdString();
    EXPECT_EQ(observer_.listings, 1);
}

TEST_F(InsertionRunTest, AWorkbookThatCannotBeOpenedStillCompletesAndSaysSo)
{
    addPictures(2);
    recorder_->failOpen();
    RunOutcome outcome = run();
    EXPECT_EQ(outcome.stage, RunOutcome::Stage::Completed);
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.placed, 0);
    EXPECT_EQ(observer_.finished, 1);
    EXPECT_EQ(observer_.progress.back(), 100);
    EXPECT_TRUE(observer_.messages.back().text.contains(QStringLiteral("を読み込めませんでした")));
}

TEST_F(InsertionRunTest, CaptionsMoveWithTheirBlocks)
{
    addPictures(3);
    options_.startRow = 3;
    options_.endRow = 10;
    options_.startRowIndex = 2;
    options_.endRowIndex = 9;
    options_.rowSpacing = 1;
    options_.dateCaption = {true, 3, 1};                  // the block's top-left cell
    options_.numberCaption = {true, 2, 2};                // one row above each block
    options_.firstNumberText = QStringLiteral("5");
    options_.numberWithPrefix = false;
    options_.nameCaption = {true, 11, 1};                 // just below each block
    options_.nameWithoutExtension = true;
    run();
    auto value = [&](int row, int column) { return recorder_->cellValue("Sheet1", {row, column}); };
    ASSERT_TRUE(value(3, 1));
    EXPECT_EQ(std::get<CalendarDateTime>(*value(3, 1)), (CalendarDateTime{2001, 3, 14, 13, 30, 0, 0}));
    EXPECT_EQ(recorder_->numberFormat("Sheet1", {3, 1}), std::optional<std::string>("yyyy\"年\"m\"月\"d\"日\";@"));
    EXPECT_EQ(std::get<double>(*value(2, 2)), 5);
    EXPECT_EQ(std::get<double>(*value(11, 2)), 6);
    EXPECT_EQ(std::get<double>(*value(20, 2)), 7);
    EXPECT_EQ(std::get<std::string>(*value(11, 1)), " p0");
    EXPECT_EQ(std::get<std::string>(*value(29, 1)), " p2");
}

TEST_F(InsertionRunTest, NumberCaptionsWithPrefixAndPairShift)
{
    addPictures(2);
    options_.startColumn = 1;
    options_.endColumn = 2;
    options_.singleColumnForm = false;
    options_.twoColumnForm = true;
    options_.pairGap = 0;
    options_.numberCaption = {true, 1, 1};
    options_.firstNumberText = QStringLiteral("1");
    options_.nameCaption = {true, 1, 2};
    run();
    // The right block of the pair starts in column 3, so its captions shift by 2.
    EXPECT_EQ(std::get<std::string>(*recorder_->cellValue("Sheet1", {1, 1})), "No.1");
    EXPECT_EQ(std::get<std::string>(*recorder_->cellValue("Sheet1", {1, 3})), "No.2");
    EXPECT_EQ(std::get<std::string>(*recorder_->cellValue("Sheet1", {1, 4})), " p1.jpg");
}

TEST_F(InsertionRunTest, ADateCaptionKeepsTheColumnWidth)
{
    addPictures(1);
    options_.dateCaption = {true, 1, 3};
    double before = recorder_->columnWidthCharacters("Sheet1", 3);
    run();
    EXPECT_EQ(callsWith(".Cells(1,3).ColumnWidth =").size(), 1u);
    EXPECT_EQ(recorder_->columnWidthCharacters("Sheet1", 3), before);
}

TEST_F(InsertionRunTest, AFirstNumberThatIsNoNumberWritesNoNumberCaption)
{
    addPictures(1);
    options_.numberCaption = {true, 1, 1};
    options_.firstNumberText = QStringLiteral("12abc");
    RunOutcome outcome = run();
    EXPECT_FALSE(recorder_->cellValue("Sheet1", {1, 1}).has_value());
    EXPECT_EQ(outcome.placed, 1);
}
