// tavorin-batch as a script runs it: what it prints and its exit status (0 done, 1 not done with the reason
// on standard error, 2 a wrong command line, 3 written without some pictures); whatever it cannot do leaves
// the workbook as it was. The insert command's arguments, turned into the run's options. Runs that meet on
// one workbook hold there on a named pipe given as their first picture, so that they surely overlap.

#include "InsertArguments.h"

#include "support/Files.h"
#include "support/Oracles.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tavorin;
using namespace tavorin::batch;
using namespace tavorin::test;

namespace {

// In the arguments: @book is a copy of ledger.xls in a folder named in Japanese with a blank, @land and
// @broken pictures (broken.jpg is none), @output a file beside @book, @nowhere a file in a folder that does
// not exist, %NAME a fixture workbook.
struct StatusCase {
    const char* name;
    QStringList arguments;
    int status;
    QStringList said;               // on standard output for status 0 and 3, else on standard error
    const char* lockFile = nullptr; // lies beside @book with this text
    QStringList cells = {};         // "A1=text" in @output's first sheet, as xlrd reads it
};
class BatchStatus : public ::testing::TestWithParam<StatusCase> {};
TEST_P(BatchStatus, SaysWhatWentWrongAndTouchesNothingThen)
{
    const StatusCase& c = GetParam();
    TemporaryFolder folder;
    const auto place = folder / "現場 写真";
    std::filesystem::create_directory(place);
    const auto book = copyWorkbook(place, "ledger.xls", "台帳 2026.xls"), output = place / "結果.xls";
    if (c.lockFile)
        writeFile(place / ".~lock.台帳 2026.xls#", Bytes(c.lockFile, c.lockFile + std::strlen(c.lockFile)));
    const Bytes before = fileBytes(book);
    const std::map<QString, QString> places{{"@book", pathText(book)}, {"@land", pathText(pictureFixture("land.jpg"))},
                                            {"@broken", pathText(pictureFixture("broken.jpg"))}, {"@output", pathText(output)},
                                            {"@nowhere", pathText(folder / "nowhere" / "無い 帳簿.xls")}};
    QStringList arguments;
    for (const QString& argument : c.arguments)
        arguments << (places.count(argument)     ? places.at(argument)
                      : argument.startsWith('%') ? pathText(workbookFixture(argument.mid(1).toStdString()))
                                                 : argument);
    const ProcessResult result = runProcess(TAVORIN_BATCH_PATH, arguments);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, c.status) << result.standardError.toStdString();
    const bool done = c.status == 0 || c.status == 3;
    for (const QString& piece : c.said)
        EXPECT_TRUE((done ? result.standardOutput : result.standardError).contains(piece)) << piece.toStdString();
    EXPECT_EQ(result.standardOutput.isEmpty(), !done);
    EXPECT_EQ(fileBytes(book) == before, c.status != 3) << "only a run that wrote changes the workbook";
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere"));
    if (c.status == 3)
        expectSavedWhole(book);
    if (auto whole = c.cells.isEmpty() ? std::nullopt : expectSavedWhole(output)) {
        for (const QString& cell : c.cells) {
            const QJsonObject sheet = sheetNamed(*whole, "Sheet1", "xlrd");
            EXPECT_EQ(cellOf(sheet, cell.section('=', 0, 0))["value"], cell.section('=', 1));
        }
    }
}
std::string statusName(const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; }
// --force: the LibreOffice runs of other tests may meanwhile be processes the probe sees.
INSTANTIATE_TEST_SUITE_P(, BatchStatus, ::testing::ValuesIn(std::vector<StatusCase>{
    {"Help", {"--help"}, 0, {"sheets WORKBOOK", "insert WORKBOOK", "--sheet NAME", "--columns", "--rows", "--spacing",
                             "--per-sheet", "--magnification", "--pair-gap", "--sheet-name", "--date-name",
                             "--date-caption", "--number-caption", "--name-caption", "--marks", "--unique", "--sort",
                             "--output", "--force", "exit status: 0 done, 1", "2 wrong command line, 3"}},
    {"NoCommand", {}, 2, {"usage: tavorin-batch"}},
    {"UnknownCommand", {"list", "@book"}, 2, {"unknown command 'list'", "usage: tavorin-batch"}},
    {"SheetsInTabOrder", {"sheets", "@book"}, 0, {"Sheet1\nMy Sheet\n"}}, // names as xlrd reads them
    {"SheetsNamedInAnyScript", {"sheets", "%DrawingContinue.xls"}, 0, {"Лист1\nЛист2\nЛист3\n"}},
    {"SheetsOfMany", {"sheets", "%namesdemo.xls"}, 0, {"Sheet1\nSheet2\nSheet3\nSeamus O'Reilly\n"}},
    {"SheetsWithoutWorkbook", {"sheets"}, 2, {"usage: tavorin-batch sheets"}},
    {"SheetsOfTwoWorkbooks", {"sheets", "@book", "@book"}, 2, {"usage: tavorin-batch sheets"}},
    {"SheetsOfExcel4", {"sheets", "%biff4_no_format_no_window2.xls"}, 1, {"no_window2.xls: ", "Excel 4.0 or older"}},
    {"SheetsOfEncrypted", {"sheets", "%xor-encryption-abc.xls"}, 1, {"xor-encryption-abc.xls: ", "encrypted"}},
    {"SheetsOfMissingFile", {"sheets", "@nowhere"}, 1, {"無い 帳簿.xls: ", "cannot open"}},
    {"InsertIntoTheOutput", {"insert", "--force", "@book", "--columns", "B:D", "--rows", "3:10", "--number-caption",
                             "2:C:7", "--name-caption", "11:B", "--output", "@output", "@land"},
     0, {"placed 1 of 1 pictures on 1 sheet; wrote "}, nullptr, {"C2=No.7", "B11= land.jpg"}},
    {"InsertWrongMagnification", {"insert", "--magnification", "0", "@book", "@land"}, 2,
     {"--magnification: '0'", "usage: tavorin-batch insert"}},
    {"InsertCopiesWithoutName", {"insert", "--per-sheet", "3", "@book", "@land"}, 2, {"--sheet-name"}},
    {"InsertIntoExcel4", {"insert", "--force", "%biff4_no_format_no_window2.xls", "@land"}, 1, {"no_window2.xls"}},
    {"InsertIntoEncrypted", {"insert", "--force", "%xor-encryption-abc.xls", "@land"}, 1,
     {"protected with a password", "save it as an Excel 97-2003 workbook again"}},
    {"InsertOnMissingSheet", {"insert", "--force", "--sheet", "Nope", "@book", "@land"}, 1, {"'Nope'"}},
    {"InsertNoPicture", {"insert", "--force", "@book", "notes.txt"}, 1,
     {"notes.txt: not a picture file name", "none of the files is a picture"}},
    {"InsertIntoAnUnwritablePlace", {"insert", "--force", "--output", "@nowhere", "@book", "@land"}, 1,
     {"was not written"}},
    {"InsertPastALockFileEvenWithForce", {"insert", "--force", "@book", "@land"}, 1, {"is in use", "lock file"},
     "someone,host,2026\n"},
    {"InsertWithAPictureLeftOut", {"insert", "--force", "@book", "@land", "@broken"}, 3,
     {"placed 1 of 2 pictures on 1 sheet; wrote ", "not placed: "}}}), statusName);

// The options a command line gives, one after another in words.
std::string shown(const InsertArguments& a)
{
    const RunOptions& o = a.options;
    std::ostringstream out;
    out << o.workbookPath.string() << " sheet '" << a.sheet << "' columns " << o.startColumn << "-" << o.endColumn
        << " rows " << o.startRow << "-" << o.endRow << " (items " << o.startRowIndex << "-" << o.endRowIndex
        << ") spacing " << o.rowSpacing << " per sheet " << o.picturesPerSheet << " at "
        << o.magnificationText.toStdString() << (o.singleColumnForm ? "% single" : "%")
        << (o.twoColumnForm ? " pairs " + std::to_string(o.pairGap) + " apart" : "") << " copies '"
        << o.sheetNameText.toStdString() << (o.sheetNameFromDate ? "' or today" : "'");
    for (const auto& [name, place] : {std::pair("date", o.dateCaption), std::pair("number", o.numberCaption),
                                      std::pair("name", o.nameCaption)})
        out << (place.on ? " " + std::string(name) + " " + std::to_string(int(place.row)) + ":" +
                               std::to_string(place.column)
                         : "");
    out << " format " << o.dateFormat << " from " << o.firstNumberText.toStdString()
        << (o.numberWithPrefix ? " No." : "") << (o.nameWithoutExtension ? " noext" : "") << " marks";
    for (int mark : a.marks)
        out << " " << mark;
    out << (a.unique ? " unique" : "") << (a.sort ? " sort" : "") << (a.force ? " force" : "")
        << (o.photoOrientation ? "" : " as-stored") << (o.dateSource == DateSource::PhotoTaken ? " date-taken" : "")
        << (o.pictureDpi ? " dpi " + std::to_string(o.pictureDpi) : "") << " quality " << o.jpegQuality
        << " output '" << a.output << "'";
    for (const auto& picture : a.pictures)
        out << " " << picture;
    return out.str();
}

struct ArgumentsCase {
    std::vector<std::string> arguments;
    const char* result; // the options shown, or how the error message starts
};
class InsertArgumentsParse : public ::testing::TestWithParam<ArgumentsCase> {};
// Defaults are the window's first-start values; every option reaches the run; a wrong value is named
// with its option.
TEST_P(InsertArgumentsParse, GiveTheOptionsOrNameTheWrongOne)
{
    const auto parsed = parseInsertArguments(GetParam().arguments);
    if (parsed.arguments) {
        EXPECT_EQ(shown(*parsed.arguments), GetParam().result);
    } else {
        EXPECT_EQ(parsed.error.substr(0, std::strlen(GetParam().result)), GetParam().result) << parsed.error;
    }
}

INSTANTIATE_TEST_SUITE_P(, InsertArgumentsParse, ::testing::ValuesIn(std::vector<ArgumentsCase>{
    {{"book.xls", "a.jpg"}, "book.xls sheet '' columns 1-1 rows 1-1 (items 0-0) spacing 0 per sheet 0 at 100% single "
                            "copies '' format 0 from 0 No. marks quality 85 output '' a.jpg"},
    {{"--sheet", "台帳", "--columns", "b:AA", "--rows", "3:10", "--spacing", "2", "--per-sheet", "6", "--magnification",
      "80", "--pair-gap", "1", "--sheet-name", "写真", "--date-name", "--date-caption", "2:B:4", "--number-caption",
      "2:C:5:plain", "--name-caption", "11:IV:noext", "--marks", "90,0,270", "--unique", "--sort", "--force",
      "--ignore-orientation", "--date-source", "taken", "--picture-dpi", "600", "--jpeg-quality", "1", "--output",
      "out.xls", "book.xls", "a.jpg", "b.png", "c.gif"},
     "book.xls sheet '台帳' columns 2-27 rows 3-10 (items 2-9) spacing 2 per sheet 6 at 80% pairs 1 apart "
     "copies '写真' or today date 2:2 number 2:3 name 11:256 format 4 from 5 noext marks 90 0 270 unique sort "
     "force as-stored date-taken dpi 600 quality 1 output 'out.xls' a.jpg b.png c.gif"},
    {{"--date-source", "taken", "--date-source", "created", "b.xls", "a.jpg"}, // the last one counts
     "b.xls sheet '' columns 1-1 rows 1-1 (items 0-0) spacing 0 per sheet 0 at 100% single copies '' format 0 "
     "from 0 No. marks quality 85 output '' a.jpg"},
    {{"--picture-dpi", "50", "--jpeg-quality", "100", "b.xls", "a.jpg"},
     "b.xls sheet '' columns 1-1 rows 1-1 (items 0-0) spacing 0 per sheet 0 at 100% single copies '' format 0 "
     "from 0 No. marks dpi 50 quality 100 output '' a.jpg"},
    {{"--picture-dpi", "49", "b.xls", "a.jpg"}, "--picture-dpi: '49' is not a whole number from 50 to 600"},
    {{"--picture-dpi", "601", "b.xls", "a.jpg"}, "--picture-dpi: '601'"}, {{"--picture-dpi", "15dpi", "b.xls", "a.jpg"}, "--picture-dpi: '15dpi'"},
    {{"--jpeg-quality", "0", "b.xls", "a.jpg"}, "--jpeg-quality: '0' is not a whole number from 1 to 100"},
    {{"--picture-dpi", "b.xls", "a.jpg"}, "--picture-dpi: 'b.xls'"}, {{"--date-source", "exif", "b.xls", "a.jpg"}, "--date-source: 'exif'"},
    {{"--date-source", "b.xls", "a.jpg"}, "--date-source: 'b.xls' is not created or taken"},
    {{"--columns", "C:A", "b.xls", "a.jpg"}, "--columns: 'C:A'"}, {{"--columns", "A:IW", "b.xls", "a.jpg"}, "--columns: 'IW'"},
    {{"--columns", "A1:B", "b.xls", "a.jpg"}, "--columns: 'A1'"}, {{"--rows", "0:5", "b.xls", "a.jpg"}, "--rows: '0'"},
    {{"--rows", "5", "b.xls", "a.jpg"}, "--rows: '5'"}, {{"--rows", "10:3", "b.xls", "a.jpg"}, "--rows: '10:3'"},
    {{"--magnification", "101", "b.xls", "a.jpg"}, "--magnification: '101'"},
    {{"--per-sheet", "0", "b.xls", "a.jpg"}, "--per-sheet: '0'"}, {{"--spacing", "-1", "b.xls", "a.jpg"}, "--spacing: '-1'"},
    {{"--marks", "0,45", "b.xls", "a.jpg"}, "--marks: '45'"},
    {{"--marks", "0,90", "b.xls", "a.jpg"}, "--marks: 2 marks for 1 pictures"},
    {{"--date-caption", "2:B:8", "b.xls", "a.jpg"}, "--date-caption: '8'"},
    {{"--number-caption", "2:B:1:roman", "b.xls", "a.jpg"}, "--number-caption: 'roman'"},
    {{"--name-caption", "2", "b.xls", "a.jpg"}, "--name-caption: '2'"}, {{"--sheet"}, "--sheet: a value is missing"},
    {{"--colour", "red", "b.xls", "a.jpg"}, "unknown option --colour"},
    {{"b.xls"}, "insert needs at least one picture"}, {{}, "insert needs a workbook"}}));

// A run of tavorin-batch: a new named pipe first, then the picture again and again.
std::unique_ptr<QProcess> startRun(const std::filesystem::path& book, const std::filesystem::path& pipe,
                                   const char* picture, int count)
{
    EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    QStringList arguments{"insert", "--force", pathText(book), pathText(pipe)};
    for (int i = 0; i < count; ++i)
        arguments << pathText(pictureFixture(picture));
    auto process = std::make_unique<QProcess>();
    // Started from a background shell, a run would inherit SIGINT ignored and rightly keep it so.
    process->setChildProcessModifier([] { ::signal(SIGINT, SIG_DFL); });
    process->start(TAVORIN_BATCH_PATH, arguments);
    EXPECT_TRUE(process->waitForStarted(30000));
    return process;
}

// Lets a run waiting to open the pipe go on (it finds no picture there).
void letGo(const std::filesystem::path& pipe)
{
    if (const int descriptor = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK); descriptor >= 0)
        ::close(descriptor);
}

bool waitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

// Two runs started together: one writes the workbook, the other is refused with exit status 1 before
// reading it; the workbook holds the pictures of the one that wrote, and nothing is left beside it.
TEST(WorkbookLockCommand, OfTwoRunsStartedTogetherOneWritesAndTheOtherIsRefused)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "book");
    const auto book = copyWorkbook(folder / "book", "ledger.xls", "台帳.xls");
    const std::filesystem::path pipes[] = {folder / "a.jpg", folder / "b.jpg"};
    const QString kinds[] = {"jpeg", "png"};
    std::unique_ptr<QProcess> runs[] = {startRun(book, pipes[0], "land.jpg", 59),
                                        startRun(book, pipes[1], "portrait.png", 59)};
    int refused = -1;
    ASSERT_TRUE(waitFor([&] {
        for (int i = 0; i < 2 && refused < 0; ++i)
            refused = runs[i]->state() == QProcess::NotRunning || runs[i]->waitForFinished(1) ? i : -1;
        return refused >= 0;
    }));
    const int writer = 1 - refused;
    EXPECT_EQ(runs[refused]->exitCode(), 1);
    const QString refusal = QString::fromUtf8(runs[refused]->readAllStandardError());
    EXPECT_TRUE(refusal.contains("is in use by another run of Tavorin")) << refusal.toStdString();
    EXPECT_EQ(runs[writer]->state(), QProcess::Running) << "the other run holds the workbook meanwhile";
    for (const auto& pipe : pipes)
        letGo(pipe);
    ASSERT_TRUE(runs[writer]->waitForFinished(120000));
    EXPECT_EQ(runs[writer]->exitCode(), 3) << "written, the pipe left out";
    EXPECT_TRUE(runs[writer]->readAllStandardOutput().startsWith("placed 59 of 60 pictures on 1 sheet; wrote "));
    EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"台帳.xls"}) << "no lock, no temporary file";
    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value());
    const QJsonArray pictures = (*report)["sheets"][0]["pictures"].toArray();
    EXPECT_EQ(pictures.size(), 59);
    for (const auto& picture : pictures)
        EXPECT_EQ(picture.toObject()["type"].toString(), kinds[writer]);
}

class WorkbookLockSignal : public ::testing::TestWithParam<int> {};
// SIGTERM or SIGINT while a run works: the process ends by the signal, the workbook stays as it was,
// and neither the lock nor a temporary file is left.
TEST_P(WorkbookLockSignal, EndsTheRunLeavingNothingBehind)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder / "book");
    const auto book = copyWorkbook(folder / "book", "ledger.xls");
    const Bytes before = fileBytes(book);
    auto run = startRun(book, folder / "wait.jpg", "land.jpg", 20);
    ASSERT_TRUE(waitFor([&] {
        std::string where; // the kernel's wait for the other end of a pipe being opened
        std::ifstream("/proc/" + std::to_string(run->processId()) + "/wchan") >> where;
        return where == "wait_for_partner" || run->state() == QProcess::NotRunning;
    }) && run->state() == QProcess::Running) << "the run never reached the pipe";
    EXPECT_TRUE(std::filesystem::exists(folder / "book" / ".~lock.ledger.xls#"));
    ::kill(static_cast<pid_t>(run->processId()), GetParam());
    if (!run->waitForFinished(30000)) {
        letGo(folder / "wait.jpg");
        run->waitForFinished(30000);
        FAIL() << "the signal did not end the run";
    }
    EXPECT_EQ(run->exitStatus(), QProcess::CrashExit) << "ended by the signal";
    EXPECT_EQ(namesIn(folder / "book"), std::vector<std::string>{"ledger.xls"});
    EXPECT_EQ(fileBytes(book), before);
}

std::string signalName(const ::testing::TestParamInfo<int>& s) { return s.param == SIGTERM ? "SIGTERM" : "SIGINT"; }
INSTANTIATE_TEST_SUITE_P(, WorkbookLockSignal, ::testing::Values(SIGTERM, SIGINT), signalName);

} // namespace
