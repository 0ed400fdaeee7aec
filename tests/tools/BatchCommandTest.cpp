// tavorin-batch run as a script runs it: what it prints and its exit status (0 done, 1 not done with
// the reason on standard error, 2 a wrong command line, 3 written without some pictures). Whatever it
// cannot do leaves the workbook as it was. And the insert command's arguments, turned into the run's options.

#include "InsertArguments.h"

#include "support/Files.h"
#include "support/Oracles.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>

using namespace tavorin;
using namespace tavorin::batch;
using namespace tavorin::test;

namespace {

QString text(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

ProcessResult batch(const QStringList& arguments)
{
    ProcessResult result = runProcess(TAVORIN_BATCH_PATH, arguments);
    EXPECT_TRUE(result.finished) << arguments.join(' ').toStdString();
    return result;
}

class BatchSheets : public ::testing::TestWithParam<const char*> {};

TEST_P(BatchSheets, PrintsTheWorksheetNamesAsXlrdReadsThem)
{
    const QString workbook = text(workbookFixture(GetParam()));
    const ProcessResult listed = batch({"sheets", workbook}), xlrd = runReader("xlrd_sheets.py", {workbook});
    ASSERT_EQ(xlrd.exitCode, 0) << xlrd.standardError.toStdString();
    EXPECT_EQ(listed.exitCode, 0) << listed.standardError.toStdString();
    EXPECT_EQ(listed.standardOutput, xlrd.standardOutput);
    EXPECT_EQ(listed.standardError, "");
}

INSTANTIATE_TEST_SUITE_P(, BatchSheets,
                         ::testing::Values("ledger.xls", "namesdemo.xls", "DrawingContinue.xls", "50298.xls", "jp_ledger.xls"));

TEST(BatchSheetsCommand, ReadsAWorkbookNamedWithBlanksAndJapaneseCharacters)
{
    TemporaryFolder folder;
    EXPECT_EQ(batch({"sheets", text(copyWorkbook(folder.path(), "jp_ledger.xls", "台帳 2026.xls"))}).standardOutput, "台帳\n");
}

// In the arguments: @book is a copy of ledger.xls, @land and @broken pictures (broken.jpg is none),
// @nowhere a file in a folder that does not exist, %NAME a fixture workbook.
struct StatusCase {
    const char* name;
    QStringList arguments;
    int status;
    QStringList said;               // on standard error, or on standard output for status 3
    const char* lockFile = nullptr; // lies beside @book with this text
};

class BatchStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(BatchStatus, SaysWhatWentWrongAndTouchesNothingThen)
{
    const StatusCase& c = GetParam();
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls", "book.xls");
    if (c.lockFile)
        writeFile(folder / ".~lock.book.xls#", Bytes(c.lockFile, c.lockFile + std::strlen(c.lockFile)));
    const Bytes before = fileBytes(book);
    const std::map<QString, QString> places{{"@book", text(book)}, {"@land", text(pictureFixture("land.jpg"))},
                                            {"@broken", text(pictureFixture("broken.jpg"))},
                                            {"@nowhere", text(folder / "nowhere" / "無い 帳簿.xls")}};
    QStringList arguments;
    for (const QString& argument : c.arguments)
        arguments << (places.count(argument)     ? places.at(argument)
                      : argument.startsWith('%') ? text(workbookFixture(argument.mid(1).toStdString()))
                                                 : argument);
    const ProcessResult result = batch(arguments);
    EXPECT_EQ(result.exitCode, c.status) << result.standardError.toStdString();
    const QString& said = c.status == 3 ? result.standardOutput : result.standardError;
    for (const QString& piece : c.said)
        EXPECT_TRUE(said.contains(piece)) << said.toStdString();
    if (c.status == 3) {
        expectSavedWhole(book);
    } else {
        EXPECT_EQ(result.standardOutput, "");
        EXPECT_EQ(fileBytes(book), before);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere"));
}

std::string statusName(const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; }

// --force: the LibreOffice runs of other tests may meanwhile be processes the probe sees.
INSTANTIATE_TEST_SUITE_P(, BatchStatus, ::testing::ValuesIn(std::vector<StatusCase>{
    {"NoCommand", {}, 2, {"usage: tavorin-batch"}},
    {"UnknownCommand", {"list", "@book"}, 2, {"unknown command 'list'", "usage: tavorin-batch"}},
    {"SheetsWithoutWorkbook", {"sheets"}, 2, {"usage: tavorin-batch sheets"}},
    {"SheetsOfTwoWorkbooks", {"sheets", "@book", "@book"}, 2, {"usage: tavorin-batch sheets"}},
    {"SheetsOfExcel4", {"sheets", "%biff4_no_format_no_window2.xls"}, 1, {"no_window2.xls: ", "Excel 4.0 or older"}},
    {"SheetsOfEncrypted", {"sheets", "%xor-encryption-abc.xls"}, 1, {"xor-encryption-abc.xls: ", "encrypted"}},
    {"SheetsOfMissingFile", {"sheets", "@nowhere"}, 1, {"無い 帳簿.xls: ", "cannot open"}},
    {"InsertWrongMagnification", {"insert", "--magnification", "0", "@book", "@land"}, 2,
     {"--magnification: '0'", "usage: tavorin-batch insert"}},
    {"InsertCopiesWithoutName", {"insert", "--per-sheet", "3", "@book", "@land"}, 2, {"--sheet-name"}},
    {"InsertIntoExcel4", {"insert", "--force", "%biff4_no_format_no_window2.xls", "@land"}, 1, {"no_window2.xls"}},
    {"InsertIntoEncrypted", {"insert", "--force", "%xor-encryption-abc.xls", "@land"}, 1,
     {"protected with a password", "save it as an Excel 97-2003 workbook again"}},
    {"InsertOnMissingSheet", {"insert", "--force", "--sheet", "Nope", "@book", "@land"}, 1, {"'Nope'"}},
    {"InsertNoPicture", {"insert", "--force", "@book", "notes.txt"}, 1,
     {"notes.txt: not a picture file name", "none of the files is a picture"}},
    {"InsertIntoAnUnwritablePlace", {"insert", "--force", "--output", "@nowhere", "@book", "@land"}, 1, {"was not written"}},
    {"InsertPastALockFileEvenWithForce", {"insert", "--force", "@book", "@land"}, 1, {"is in use", "lock file"},
     "someone,host,2026\n"},
    {"InsertWithAPictureLeftOut", {"insert", "--force", "@book", "@land", "@broken"}, 3,
     {"placed 1 of 2 pictures on 1 sheet; wrote ", "not placed: "}}}), statusName);

TEST(BatchHelp, DescribesEveryCommandOptionAndExitStatus)
{
    const ProcessResult help = batch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.standardError, "");
    for (const char* piece : {"sheets WORKBOOK", "insert WORKBOOK", "--sheet NAME", "--columns", "--rows", "--spacing",
                              "--per-sheet", "--magnification", "--pair-gap", "--sheet-name", "--date-name",
                              "--date-caption", "--number-caption", "--name-caption", "--marks", "--unique", "--sort",
                              "--output", "--force", "exit status: 0 done, 1", "2 wrong command line, 3"})
        EXPECT_TRUE(help.standardOutput.contains(piece)) << piece;
}

// --output writes the result elsewhere and leaves the workbook untouched; a file that is no picture
// is skipped with a word; xlrd finds the captions where the options put them.
TEST(BatchInsert, WritesTheOutputAndLeavesTheWorkbookUntouched)
{
    TemporaryFolder folder;
    const auto place = folder / "現場 写真";
    std::filesystem::create_directories(place);
    const auto book = copyWorkbook(place, "ledger.xls", "台帳 2026.xls"), output = place / "結果.xls";
    std::filesystem::copy_file(pictureFixture("land.jpg"), place / "land copy.jpg");
    const Bytes before = fileBytes(book);
    const ProcessResult result = batch({"insert", "--force", text(book), "--columns", "B:D", "--rows", "3:10",
                                        "--number-caption", "2:C:7", "--name-caption", "11:B", "--output", text(output),
                                        text(place / "land copy.jpg"), text(place / "notes.txt")});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    EXPECT_EQ(result.standardOutput, "placed 1 of 1 pictures on 1 sheet; wrote " + text(output) + "\n");
    EXPECT_TRUE(result.standardError.contains("notes.txt: not a picture file name"));
    EXPECT_EQ(fileBytes(book), before);
    if (auto whole = expectSavedWhole(output)) {
        const QJsonObject sheet = sheetNamed(*whole, "Sheet1", "xlrd");
        EXPECT_EQ(cellOf(sheet, "C2")["value"], "No.7");
        EXPECT_EQ(cellOf(sheet, "B11")["value"], " land copy.jpg");
    }
}


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
    out << " format " << o.dateFormat << " from " << o.firstNumberText.toStdString() << (o.numberWithPrefix ? " No." : "")
        << (o.nameWithoutExtension ? " noext" : "") << " marks";
    for (int mark : a.marks)
        out << " " << mark;
    out << (a.unique ? " unique" : "") << (a.sort ? " sort" : "") << (a.force ? " force" : "") << " output '" << a.output
        << "'";
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
                            "copies '' format 0 from 0 No. marks output '' a.jpg"},
    {{"--sheet", "台帳", "--columns", "b:AA", "--rows", "3:10", "--spacing", "2", "--per-sheet", "6", "--magnification",
      "80", "--pair-gap", "1", "--sheet-name", "写真", "--date-name", "--date-caption", "2:B:4", "--number-caption",
      "2:C:5:plain", "--name-caption", "11:IV:noext", "--marks", "90,0,270", "--unique", "--sort", "--force",
      "--output", "out.xls", "book.xls", "a.jpg", "b.png", "c.gif"},
     "book.xls sheet '台帳' columns 2-27 rows 3-10 (items 2-9) spacing 2 per sheet 6 at 80% pairs 1 apart copies '写真' "
     "or today date 2:2 number 2:3 name 11:256 format 4 from 5 noext marks 90 0 270 unique sort force output "
     "'out.xls' a.jpg b.png c.gif"},
    {{"--per-sheet", "ALL", "--", "--odd.xls", "-a.jpg"},
     "--odd.xls sheet '' columns 1-1 rows 1-1 (items 0-0) spacing 0 per sheet 0 at 100% single copies '' format 0 "
     "from 0 No. marks output '' -a.jpg"},
    {{"--columns", "C:A", "b.xls", "a.jpg"}, "--columns: 'C:A'"},
    {{"--columns", "A:IW", "b.xls", "a.jpg"}, "--columns: 'IW'"},
    {{"--rows", "0:5", "b.xls", "a.jpg"}, "--rows: '0'"},
    {{"--rows", "5", "b.xls", "a.jpg"}, "--rows: '5'"},
    {{"--rows", "10:3", "b.xls", "a.jpg"}, "--rows: '10:3'"},
    {{"--magnification", "101", "b.xls", "a.jpg"}, "--magnification: '101'"},
    {{"--per-sheet", "0", "b.xls", "a.jpg"}, "--per-sheet: '0'"},
    {{"--spacing", "-1", "b.xls", "a.jpg"}, "--spacing: '-1'"},
    {{"--marks", "0,45", "b.xls", "a.jpg"}, "--marks: '45'"},
    {{"--marks", "0,90", "b.xls", "a.jpg"}, "--marks: 2 marks for 1 pictures"},
    {{"--date-caption", "2:B:8", "b.xls", "a.jpg"}, "--date-caption: '8'"},
    {{"--number-caption", "2:B:1:roman", "b.xls", "a.jpg"}, "--number-caption: 'roman'"},
    {{"--name-caption", "2", "b.xls", "a.jpg"}, "--name-caption: '2'"},
    {{"--sheet"}, "--sheet: a value is missing"},
    {{"--colour", "red", "b.xls", "a.jpg"}, "unknown option --colour"},
    {{"b.xls"}, "insert needs at least one picture"},
    {{}, "insert needs a workbook"}}));

TEST(InsertArguments, ColumnLettersRunFromAToIvInEitherCase)
{
    const std::pair<const char*, std::optional<int>> columns[] = {
        {"A", 1}, {"z", 26}, {"AA", 27}, {"IV", 256}, {"IW", {}}, {"", {}}, {"A1", {}}, {"AAA", {}}};
    for (const auto& [letters, column] : columns)
        EXPECT_EQ(columnFromLetters(letters), column) << letters;
}

} // namespace
