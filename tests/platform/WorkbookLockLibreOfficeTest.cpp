// LibreOffice and a run see each other's locks. LibreOffice, opening a workbook that a run holds,
// asks its user about the lock and opens the workbook read-only, leaving the run's lock as it
// was; the lock LibreOffice writes for a workbook it edits reads as LibreOffice's, with the same
// user and host a run writes, and refuses a run.

#include "platform/SystemRunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace tavorin;

namespace {

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What LibreOffice did when it opened the workbook for editing (tests/oracles/lo_lock.py).
QJsonObject libreOfficeOpens(const std::filesystem::path& workbook)
{
    const test::ProcessResult result =
        test::runOracle(QStringLiteral("lo_lock.py"), {QString::fromStdString(workbook.string())}, 300000);
    EXPECT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    return QJsonDocument::fromJson(result.standardOutput.toUtf8()).object();
}

std::filesystem::path copyOfLedger(const test::TemporaryFolder& folder)
{
    const auto book = folder / "台帳.xls";
    std::filesystem::copy_file(test::workbookFixture("ledger.xls"), book);
    return book;
}

} // namespace

TEST(WorkbookLockWithLibreOffice, LibreOfficeOpensAWorkbookThatARunHoldsReadOnly)
{
    test::TemporaryFolder folder;
    const auto book = copyOfLedger(folder);
    WorkbookLock lock = WorkbookLock::acquire(book);
    ASSERT_EQ(lock.state(), WorkbookLock::State::Held);
    const std::string ours = bytesOf(WorkbookLock::lockFileFor(book));

    const QJsonObject opened = libreOfficeOpens(book);
    EXPECT_EQ(opened["asked"].toInt(), 1);
    EXPECT_TRUE(opened["readOnly"].toBool());
    EXPECT_EQ(opened["lockFile"].toString().toStdString(), ours);
    EXPECT_EQ(bytesOf(WorkbookLock::lockFileFor(book)), ours);
}

TEST(WorkbookLockWithLibreOffice, LibreOfficesOwnLockHoldsTheWorkbookAgainstARun)
{
    test::TemporaryFolder folder;
    const auto book = copyOfLedger(folder);
    const QJsonObject opened = libreOfficeOpens(book);
    EXPECT_EQ(opened["asked"].toInt(), 0);
    EXPECT_FALSE(opened["readOnly"].toBool());
    const std::string written = opened["lockFile"].toString().toStdString();
    auto record = LockFileRecord::parse(written);
    ASSERT_TRUE(record) << written;
    EXPECT_FALSE(record->writerProcess());
    EXPECT_EQ(record->userName, LockFileRecord::currentUserName());
    EXPECT_EQ(record->hostName, LockFileRecord::currentHostName());
    EXPECT_TRUE(QDateTime::fromString(record->time, QStringLiteral("dd.MM.yyyy hh:mm")).isValid()) << written;

    // Left beside the workbook, as while LibreOffice has it open.
    std::ofstream(WorkbookLock::lockFileFor(book), std::ios::binary) << written;
    WorkbookLock lock = WorkbookLock::acquire(book);
    EXPECT_EQ(lock.state(), WorkbookLock::State::Refused);
    ASSERT_TRUE(lock.holder() && lock.holder()->record);
    EXPECT_EQ(lock.holder()->record->profileUrl, record->profileUrl);
    EXPECT_TRUE(SystemRunningApplicationProbe::fileBeside(book).has_value());
}
