// tavorin-batch run as a program: its output, exit statuses and messages.
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tavorin;

namespace {

test::ProcessResult batch(const QStringList& arguments)
{
    auto result = test::runProcess(QStringLiteral(TAVORIN_BATCH_PATH), arguments);
    EXPECT_TRUE(result.finished);
    return result;
}

QString fixturePath(const char* name) { return QString::fromStdString(test::workbookFixture(name).string()); }

QStringList lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

TEST(BatchSheets, PrintsTheWorksheetNamesAsXlrdReadsThem)
{
    for (const char* name : {"ledger.xls", "namesdemo.xls", "DrawingContinue.xls", "50298.xls", "jp_ledger.xls"}) {
        auto result = batch({"sheets", fixturePath(name)});
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.standardError.toStdString();
        EXPECT_TRUE(result.standardError.isEmpty());
        auto oracle = test::runOracle("xlrd_sheets.py", {fixturePath(name)});
        ASSERT_EQ(oracle.exitCode, 0) << oracle.standardError.toStdString();
        EXPECT_EQ(result.standardOutput, oracle.standardOutput) << name;
    }
}

TEST(BatchSheets, OneNamePerLineInTabOrder)
{
    auto result = batch({"sheets", fixturePath("namesdemo.xls")});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, QStringLiteral("Sheet1\nSheet2\nSheet3\nSeamus O'Reilly\n"));
}

TEST(BatchSheets, AFileNameWithBlanksAndJapaneseCharacters)
{
    test::TemporaryFolder folder;
    auto copy = folder / std::filesystem::u8path("台帳 2026.xls");
    std::filesystem::copy_file(test::workbookFixture("jp_ledger.xls"), copy);
    auto result = batch({"sheets", QString::fromStdU16String(copy.u16string())});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    EXPECT_EQ(result.standardOutput, QStringLiteral("台帳\n"));
}

TEST(BatchSheets, AnUnreadableWorkbookIsOneLineNamingTheFileAndWhyWithStatus1)
{
    test::TemporaryFolder folder;
    auto missing = QString::fromStdU16String((folder / std::filesystem::u8path("無い 帳簿.xls")).u16string());
    const std::pair<QString, QString> cases[] = {
        {fixturePath("biff4_no_format_no_window2.xls"), "Excel 4.0 or older"},
        {fixturePath("xor-encryption-abc.xls"), "encrypted"},
        {missing, "cannot open"},
    };
    for (const auto& [file, reason] : cases) {
        auto result = batch({"sheets", file});
        EXPECT_EQ(result.exitCode, 1) << file.toStdString();
        EXPECT_TRUE(result.standardOutput.isEmpty());
        auto errorLines = lines(result.standardError);
        ASSERT_EQ(errorLines.size(), 1) << result.standardError.toStdString();
        EXPECT_TRUE(errorLines[0].contains(file)) << errorLines[0].toStdString();
        EXPECT_TRUE(errorLines[0].contains(reason)) << errorLines[0].toStdString();
    }
}

TEST(BatchSheets, WrongCommandLinesGiveStatus2AndAUsageLine)
{
    const QStringList wrong[] = {{}, {"sheets"}, {"sheets", "a.xls", "b.xls"}, {"list", "a.xls"}};
    for (const auto& arguments : wrong) {
        auto result = batch(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.standardOutput.isEmpty());
        EXPECT_TRUE(result.standardError.contains("usage: tavorin-batch")) << result.standardError.toStdString();
    }
}

TEST(BatchSheets, HelpDescribesEveryCommandAndTheExitStatuses)
{
    auto result = batch({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.standardOutput.contains("sheets WORKBOOK"));
    EXPECT_TRUE(result.standardOutput.contains("exit status"));
    EXPECT_TRUE(result.standardError.isEmpty());
}

} // namespace
