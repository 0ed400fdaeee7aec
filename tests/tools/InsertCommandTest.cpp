#include "InsertArguments.h"

#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::batch;

namespace {

InsertArguments parsed(std::vector<std::string> arguments)
{
    auto result = parseInsertArguments(arguments);
    EXPECT_TRUE(result.arguments.has_value()) << result.error;
    return result.arguments.value_or(InsertArguments{});
}

std::string errorOf(std::vector<std::string> arguments)
{
    auto result = parseInsertArguments(arguments);
    EXPECT_FALSE(result.arguments.has_value());
    return result.error;
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

test::ProcessResult runBatch(const QStringList& arguments)
{
    return test::runProcess(QStringLiteral(TAVORIN_BATCH_PATH), arguments);
}

QString text(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

} // namespace

TEST(InsertArguments, DefaultsAreTheWindowsFirstStartValues)
{
    InsertArguments arguments = parsed({"book.xls", "a.jpg"});
    const RunOptions& options = arguments.options;
    EXPECT_EQ(options.workbookPath, std::filesystem::path("book.xls"));
    EXPECT_EQ(arguments.pictures, (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(options.startColumn, 1);
    EXPECT_EQ(options.endColumn, 1);
    EXPECT_EQ(options.startRow, 1);
    EXPECT_EQ(options.endRow, 1);
    EXPECT_EQ(options.rowSpacing, 0);
    EXPECT_EQ(options.picturesPerSheet, 0);
    EXPECT_EQ(options.magnificationText, QStringLiteral("100"));
    EXPECT_TRUE(options.singleColumnForm);
    EXPECT_FALSE(options.twoColumnForm);
    EXPECT_FALSE(options.dateCaption.on || options.numberCaption.on || options.nameCaption.on);
    EXPECT_EQ(options.firstNumberText, QStringLiteral("0"));
    EXPECT_TRUE(options.numberWithPrefix);
    EXPECT_TRUE(arguments.sheet.empty());
    EXPECT_FALSE(arguments.unique || arguments.sort || arguments.force);
}

TEST(InsertArguments, EveryOptionReachesTheRun)
{
    InsertArguments arguments =
        parsed({"--sheet", "台帳", "--columns", "b:AA", "--rows", "3:10", "--spacing", "2", "--per-sheet", "6",
                "--magnification", "80", "--pair-gap", "1", "--sheet-name", "写真", "--date-name", "--date-caption",
                "2:B:4", "--number-caption", "2:C:5:plain", "--name-caption", "11:IV:noext", "--marks", "90,0,270",
                "--unique", "--sort", "--force", "--output", "out.xls", "book.xls", "a.jpg", "b.png", "c.gif"});
    const RunOptions& options = arguments.options;
    EXPECT_EQ(arguments.sheet, "台帳");
    EXPECT_EQ(options.startColumn, 2);
    EXPECT_EQ(options.endColumn, 27);
    EXPECT_EQ(options.startRow, 3);
    EXPECT_EQ(options.endRow, 10);
    EXPECT_EQ(options.startRowIndex, 2);
    EXPECT_EQ(options.endRowIndex, 9);
    EXPECT_EQ(options.rowSpacing, 2);
    EXPECT_EQ(options.picturesPerSheet, 6);
    EXPECT_EQ(options.magnificationText, QStringLiteral("80"));
    EXPECT_TRUE(options.twoColumnForm);
    EXPECT_FALSE(options.singleColumnForm);
    EXPECT_EQ(options.pairGap, 1);
    EXPECT_EQ(options.sheetNameText, QStringLiteral("写真"));
    EXPECT_TRUE(options.sheetNameFromDate);
    EXPECT_TRUE(options.dateCaption.on);
    EXPECT_EQ(options.dateCaption.row, 2);
    EXPECT_EQ(options.dateCaption.column, 2);
    EXPECT_EQ(options.dateFormat, 4);
    EXPECT_EQ(options.numberCaption.column, 3);
    EXPECT_EQ(options.firstNumberText, QStringLiteral("5"));
    EXPECT_FALSE(options.numberWithPrefix);
    EXPECT_EQ(options.nameCaption.row, 11);
    EXPECT_EQ(options.nameCaption.column, 256);
    EXPECT_TRUE(options.nameWithoutExtension);
    EXPECT_EQ(arguments.marks, (std::vector<int>{90, 0, 270}));
    EXPECT_TRUE(arguments.unique && arguments.sort && arguments.force);
    EXPECT_EQ(arguments.output, "out.xls");
    EXPECT_EQ(arguments.pictures.size(), 3u);
}

TEST(InsertArguments, WrongValuesAreNamedWithTheirOption)
{
    EXPECT_EQ(errorOf({"--columns", "C:A", "b.xls", "a.jpg"}).rfind("--columns:", 0), 0u);
    EXPECT_EQ(errorOf({"--columns", "A:IW", "b.xls", "a.jpg"}).rfind("--columns: 'IW'", 0), 0u);
    EXPECT_EQ(errorOf({"--rows", "0:5", "b.xls", "a.jpg"}).rfind("--rows: '0'", 0), 0u);
    EXPECT_EQ(errorOf({"--rows", "5", "b.xls", "a.jpg"}).rfind("--rows:", 0), 0u);
    EXPECT_EQ(errorOf({"--magnification", "101", "b.xls", "a.jpg"}).rfind("--magnification: '101'", 0), 0u);
    EXPECT_EQ(errorOf({"--per-sheet", "0", "b.xls", "a.jpg"}).rfind("--per-sheet:", 0), 0u);
    EXPECT_EQ(errorOf({"--spacing", "-1", "b.xls", "a.jpg"}).rfind("--spacing:", 0), 0u);
    EXPECT_EQ(errorOf({"--marks", "0,45", "b.xls", "a.jpg"}).rfind("--marks: '45'", 0), 0u);
    EXPECT_EQ(errorOf({"--marks", "0,90", "b.xls", "a.jpg"}).rfind("--marks:", 0), 0u);
    EXPECT_EQ(errorOf({"--date-caption", "2:B:8", "b.xls", "a.jpg"}).rfind("--date-caption: '8'", 0), 0u);
    EXPECT_EQ(errorOf({"--number-caption", "2:B:1:roman", "b.xls", "a.jpg"}).rfind("--number-caption:", 0), 0u);
    EXPECT_EQ(errorOf({"--name-caption", "2", "b.xls", "a.jpg"}).rfind("--name-caption:", 0), 0u);
    EXPECT_EQ(errorOf({"--sheet"}).rfind("--sheet: a value is missing", 0), 0u);
    EXPECT_EQ(errorOf({"--colour", "red", "b.xls", "a.jpg"}), "unknown option --colour");
    EXPECT_FALSE(errorOf({"b.xls"}).empty());
    EXPECT_FALSE(errorOf({}).empty());
}

TEST(InsertArguments, ColumnLetters)
{
    EXPECT_EQ(columnFromLetters("A"), 1);
    EXPECT_EQ(columnFromLetters("z"), 26);
    EXPECT_EQ(columnFromLetters("AA"), 27);
    EXPECT_EQ(columnFromLetters("IV"), 256);
    EXPECT_FALSE(columnFromLetters("IW"));
    EXPECT_FALSE(columnFromLetters(""));
    EXPECT_FALSE(columnFromLetters("A1"));
    EXPECT_FALSE(columnFromLetters("AAA"));
}

TEST(InsertCommand, WritesTheOutputAndLeavesTheWorkbookUntouched)
{
    test::TemporaryFolder folder;
    auto place = folder / "現場 写真";
    std::filesystem::create_directories(place);
    auto workbook = place / "台帳 2026.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), workbook);
    auto picture = place / "land copy.jpg";
    std::filesystem::copy_file(test::pictureFixture("land.jpg"), picture);
    const std::string before = fileBytes(workbook);
    auto output = place / "結果.xls";

    // --force: the LibreOffice oracles of other tests may be running meanwhile.
    auto result = runBatch({"insert", "--force", text(workbook), "--columns", "B:D", "--rows", "3:10", "--number-caption",
                         "2:C:7", "--name-caption", "11:B", "--output", text(output), text(picture),
                         text(place / "notes.txt")});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    EXPECT_TRUE(result.standardOutput.startsWith(QStringLiteral("placed "))) << result.standardOutput.toStdString();
    EXPECT_TRUE(result.standardOutput.contains(QStringLiteral("wrote ") + text(output)));
    EXPECT_TRUE(result.standardError.contains(QStringLiteral("notes.txt: not a picture file name")));
    EXPECT_EQ(fileBytes(workbook), before);

    // An independent reader finds the captions where the options put them.
    auto dump = test::runOracle("xlrd_dump.py", {text(output)});
    ASSERT_EQ(dump.exitCode, 0) << dump.standardError.toStdString();
    auto sheets = QJsonDocument::fromJson(dump.standardOutput.toUtf8()).object()["sheets"].toArray();
    ASSERT_FALSE(sheets.isEmpty());
    QMap<QString, QJsonValue> cells;
    for (const auto& cell : sheets[0].toObject()["cells"].toArray())
        cells[cell.toObject()["cell"].toString()] = cell.toObject()["value"];
    EXPECT_EQ(cells.value("C2").toString(), QStringLiteral("No.7"));
    EXPECT_EQ(cells.value("B11").toString(), QStringLiteral(" land copy.jpg"));
}

TEST(InsertCommand, ExitStatusesSayWhatWentWrong)
{
    test::TemporaryFolder folder;
    auto picture = text(test::pictureFixture("land.jpg"));

    auto usage = runBatch({"insert", "--magnification", "0", text(test::workbookFixture("ledger.xls")), picture});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.standardError.contains(QStringLiteral("--magnification"))) << usage.standardError.toStdString();

    auto noName = runBatch({"insert", "--per-sheet", "3", text(test::workbookFixture("ledger.xls")), picture});
    EXPECT_EQ(noName.exitCode, 2);
    EXPECT_TRUE(noName.standardError.contains(QStringLiteral("--sheet-name")));

    auto damaged = runBatch({"insert", text(test::workbookFixture("biff4_no_format_no_window2.xls")), picture});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.standardError.contains(QStringLiteral("biff4_no_format_no_window2.xls")));

    auto noSheet = runBatch({"insert", "--sheet", "Nope", text(test::workbookFixture("ledger.xls")), picture});
    EXPECT_EQ(noSheet.exitCode, 1);
    EXPECT_TRUE(noSheet.standardError.contains(QStringLiteral("'Nope'")));

    // A file that cannot be written: exit 1, the reason on standard error, the workbook as it was.
    auto workbook = folder / "book.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), workbook);
    const std::string before = fileBytes(workbook);
    auto unwritable = runBatch({"insert", "--force", "--output", text(folder / "missing" / "out.xls"), text(workbook), picture});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.standardError.contains(QStringLiteral("was not written"))) << unwritable.standardError.toStdString();
    EXPECT_EQ(fileBytes(workbook), before);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST(InsertCommand, ALockFileBesideTheWorkbookStopsEvenForce)
{
    test::TemporaryFolder folder;
    auto workbook = folder / "book.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), workbook);
    std::ofstream(folder / ".~lock.book.xls#") << "someone,host,2026\n";
    const std::string before = fileBytes(workbook);
    auto result = runBatch({"insert", "--force", text(workbook), text(test::pictureFixture("land.jpg"))});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.standardError.contains(QStringLiteral("lock file")));
    EXPECT_EQ(fileBytes(workbook), before);
}

TEST(InsertCommand, HelpDocumentsTheInsertOptions)
{
    auto help = runBatch({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"insert WORKBOOK", "--columns", "--rows", "--spacing", "--per-sheet", "--magnification",
                               "--pair-gap", "--sheet-name", "--date-name", "--date-caption", "--number-caption",
                               "--name-caption", "--marks", "--unique", "--sort", "--output", "--force"})
        EXPECT_TRUE(help.standardOutput.contains(QString::fromUtf8(option))) << option;
}

// A picture left out is said, and the exit status tells a script: 3 when the workbook was written
// without it. An encrypted workbook is refused with what to do about it.
TEST(InsertCommand, APictureLeftOutAndAnEncryptedWorkbookAreNotASuccess)
{
    test::TemporaryFolder folder;
    auto workbook = folder / "book.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), workbook);
    auto broken = test::pictureFixture("broken.jpg");
    auto partly = runBatch({"insert", "--force", text(workbook), text(test::pictureFixture("land.jpg")), text(broken)});
    EXPECT_EQ(partly.exitCode, 3) << partly.standardError.toStdString();
    EXPECT_TRUE(partly.standardOutput.contains(QStringLiteral("placed 1 of 2 pictures"))) << partly.standardOutput.toStdString();
    EXPECT_TRUE(partly.standardOutput.contains(QStringLiteral("not placed: ") + text(broken))) << partly.standardOutput.toStdString();

    auto encrypted = runBatch({"insert", "--force", text(test::workbookFixture("xor-encryption-abc.xls")),
                               text(test::pictureFixture("land.jpg"))});
    EXPECT_EQ(encrypted.exitCode, 1);
    EXPECT_TRUE(encrypted.standardError.contains(QStringLiteral("protected with a password")) &&
                encrypted.standardError.contains(QStringLiteral("save it as an Excel 97-2003 workbook again")))
        << encrypted.standardError.toStdString();
}
