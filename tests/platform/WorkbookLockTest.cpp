// A run's lock beside its workbook: created with the run's entry, removed when released; a lock
// file already there is taken over only when it was left by a run of this program on this host
// whose process is gone. The probe of running applications agrees: it leaves this program's locks
// to the run and counts every other lock file.

#include "platform/SystemRunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include "support/TemporaryFolder.h"

#include <QSysInfo>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavorin;

namespace {

std::string bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The id of a process that has ended (and been reaped).
pid_t finishedProcess()
{
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

std::string thisHost() { return QSysInfo::machineHostName().toStdString(); }

enum class Outcome { TakenOver, RefusedNamingTheHolder, RefusedUnreadable };

struct ExistingLock {
    const char* what;
    std::function<std::string()> line;
    Outcome outcome;
    bool countsForTheProbe;
};

class ExistingLockFile : public ::testing::TestWithParam<ExistingLock> {};

std::string nameOf(const ::testing::TestParamInfo<ExistingLock>& info) { return info.param.what; }

} // namespace

TEST_P(ExistingLockFile, IsTakenOverOnlyWhenItsRunHasEnded)
{
    const ExistingLock& c = GetParam();
    test::TemporaryFolder folder;
    const auto workbook = folder / "台帳.xls";
    const auto lockFile = folder / ".~lock.台帳.xls#";
    const std::string line = c.line();
    writeBytes(lockFile, line);
    EXPECT_EQ(SystemRunningApplicationProbe::fileBeside(workbook).has_value(), c.outcome != Outcome::TakenOver);

    WorkbookLock lock = WorkbookLock::acquire(workbook);
    if (c.outcome == Outcome::TakenOver) {
        ASSERT_EQ(lock.state(), WorkbookLock::State::Held);
        auto now = LockFileRecord::parse(bytesOf(lockFile));
        ASSERT_TRUE(now);
        ASSERT_TRUE(now->writerProcess());
        EXPECT_EQ(now->writerProcess()->id, ::getpid());
        lock.release();
        EXPECT_FALSE(std::filesystem::exists(lockFile));
        return;
    }
    ASSERT_EQ(lock.state(), WorkbookLock::State::Refused);
    ASSERT_TRUE(lock.holder());
    EXPECT_EQ(lock.holder()->lockFile, lockFile);
    EXPECT_EQ(lock.holder()->record.has_value(), c.outcome == Outcome::RefusedNamingTheHolder);
    EXPECT_TRUE(WorkbookLock::holderOf(workbook));
    lock.release();
    EXPECT_EQ(bytesOf(lockFile), line);
}

INSTANTIATE_TEST_SUITE_P(
    Locks, ExistingLockFile,
    ::testing::Values(
        ExistingLock{"RunWhoseProcessEnded",
                     [] { return "Tavorin,tanaka," + thisHost() + ",07.12.2026 09:05,tavorin:pid=" +
                                 std::to_string(finishedProcess()) + ";"; },
                     Outcome::TakenOver, false},
        ExistingLock{"RunWhoseProcessIdNowBelongsToALaterProcess",
                     [] { return "Tavorin,tanaka," + thisHost() + ",07.12.2026 09:05,tavorin:pid=" +
                                 std::to_string(::getpid()) + ":start=1;"; },
                     Outcome::TakenOver, false},
        ExistingLock{"LiveRun",
                     [] { return "Tavorin,tanaka," + thisHost() + ",07.12.2026 09:05,tavorin:pid=" +
                                 std::to_string(::getpid()) + ";"; },
                     Outcome::RefusedNamingTheHolder, false},
        ExistingLock{"RunOnAnotherHost",
                     [] { return "Tavorin,tanaka,not-" + thisHost() + ",07.12.2026 09:05,tavorin:pid=" +
                                 std::to_string(finishedProcess()) + ";"; },
                     Outcome::RefusedNamingTheHolder, false},
        ExistingLock{"LibreOffice",
                     [] { return ",tanaka," + thisHost() + ",07.12.2026 09:05,file:///home/tanaka/.config/libreoffice/4;"; },
                     Outcome::RefusedNamingTheHolder, true},
        ExistingLock{"Unreadable", [] { return std::string("someone,host,2026\n"); }, Outcome::RefusedUnreadable, true},
        ExistingLock{"Empty", [] { return std::string(); }, Outcome::RefusedUnreadable, true}),
    nameOf);

TEST(WorkbookLock, AFreeWorkbookIsLockedForOneRunUntilReleased)
{
    test::TemporaryFolder folder;
    const auto workbook = folder / "book.xls";
    const auto lockFile = folder / ".~lock.book.xls#";
    EXPECT_FALSE(WorkbookLock::holderOf(workbook));
    {
        WorkbookLock first = WorkbookLock::acquire(workbook);
        ASSERT_EQ(first.state(), WorkbookLock::State::Held);
        auto record = LockFileRecord::parse(bytesOf(lockFile));
        ASSERT_TRUE(record);
        EXPECT_EQ(record->formattedName, QStringLiteral("Tavorin"));
        EXPECT_EQ(record->hostName, QSysInfo::machineHostName());
        EXPECT_FALSE(record->userName.isEmpty());
        EXPECT_TRUE(QDateTime::fromString(record->time, QStringLiteral("dd.MM.yyyy hh:mm")).isValid()) << record->time.toStdString();

        WorkbookLock second = WorkbookLock::acquire(workbook);
        EXPECT_EQ(second.state(), WorkbookLock::State::Refused);
        second.release();
        EXPECT_TRUE(std::filesystem::exists(lockFile)) << "a refused lock removes nothing";
    }
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_EQ(WorkbookLock::acquire(workbook).state(), WorkbookLock::State::Held);
    EXPECT_EQ(WorkbookLock::acquire(folder / "missing" / "book.xls").state(), WorkbookLock::State::NotPossible);
}

TEST(WorkbookLock, ALockThatLibreOfficeWroteOverIsLeftToIt)
{
    test::TemporaryFolder folder;
    const auto workbook = folder / "book.xls";
    const auto lockFile = folder / ".~lock.book.xls#";
    WorkbookLock lock = WorkbookLock::acquire(workbook);
    ASSERT_EQ(lock.state(), WorkbookLock::State::Held);
    // "Open anyway" in LibreOffice writes its own entry into the same file.
    const std::string libreOffice = ",tanaka,pc01,07.12.2026 09:05,file:///home/tanaka/.config/libreoffice/4;";
    writeBytes(lockFile, libreOffice);
    lock.release();
    EXPECT_EQ(bytesOf(lockFile), libreOffice);
}
