// A run's lock beside its workbook, in LibreOffice's lock file form (its lines written out here by hand,
// the first as LibreOffice 7.4 wrote it): one run at a time; a lock left by a run of this program on this
// host whose process is gone is taken over, any other one holds, and the probe of running applications
// leaves it to the run. LibreOffice and a run see each other's locks (tests/oracles/lo_lock.py opens the
// workbook in LibreOffice for editing, as a user would).

#include "platform/SystemRunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include "support/Files.h"
#include "support/Oracles.h"
#include "support/TemporaryFolder.h"

#include <QJsonDocument>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tavorin;
using namespace tavorin::test;
using State = WorkbookLock::State;

namespace {

// Five fields, each ended by ',' and the last by ';', with ',', ';' and '\' escaped by '\'; anything else is
// no entry (four fields, no end, ';' too early, ',' last, an ordinary character escaped, an escape at the end).
TEST(LockFileRecord, IsReadAsLibreOfficeReadsIt)
{
    const std::pair<std::string, QStringList> lines[] = {
        {",root,vm,07.12.2026 13:11,file:///tmp/lo-7kpcnsoh;", {"", "root", "vm", "07.12.2026 13:11", "file:///tmp/lo-7kpcnsoh"}},
        {"Yamada\\, Taro,yamada,pc\\;01,07.12.2026 09:05,file:///C:\\\\Users;",
         {"Yamada, Taro", "yamada", "pc;01", "07.12.2026 09:05", "file:///C:\\Users"}},
        {"山田 太郎,yamada,pc01,07.12.2026 09:05,file:///home/yamada;\n",
         {"山田 太郎", "yamada", "pc01", "07.12.2026 09:05", "file:///home/yamada"}},
        {",root,vm,07.12.2026 13:11;", {}}, {",root,vm,07.12.2026 13:11,file:///tmp/x", {}},
        {",root;vm,07.12.2026 13:11,file:///tmp/x;", {}}, {",root,vm,07.12.2026 13:11,file:///tmp/x,", {}},
        {",ro\\ot,vm,07.12.2026 13:11,file:///tmp/x;", {}}, {",root,vm,07.12.2026 13:11,file:///tmp/x\\", {}}, {"", {}}};
    for (const auto& [line, fields] : lines) {
        const auto record = LockFileRecord::parse(line);
        EXPECT_EQ(record ? QStringList({record->formattedName, record->userName, record->hostName, record->time,
                                        record->profileUrl})
                         : QStringList(),
                  fields)
            << line;
    }
}

// Written with its escapes; a run's entry carries its process in the last field, LibreOffice's profile
// URL names none.
TEST(LockFileRecord, IsWrittenEscapedAndNamesTheWritingRun)
{
    const LockFileRecord record{"Tavorin", "ya,mada", "pc;01", "07.12.2026 09:05", "tavorin:pid=42\\"};
    EXPECT_EQ(record.serialise(), "Tavorin,ya\\,mada,pc\\;01,07.12.2026 09:05,tavorin:pid=42\\\\;");
    auto writer = [](const char* url) { return LockFileRecord{"Tavorin", {}, {}, {}, url}.writerProcess(); };
    const auto full = writer("tavorin:pid=4242:start=987654"), bare = writer("tavorin:pid=17");
    ASSERT_TRUE(full && bare);
    EXPECT_EQ(std::pair(full->id, full->startTicks), std::pair(4242, std::optional<std::uint64_t>(987654)));
    EXPECT_EQ(std::pair(bare->id, bare->startTicks), std::pair(17, std::optional<std::uint64_t>()));
    for (const char* other : {"file:///home/yamada/.config/libreoffice/4", "tavorin:pid=", "tavorin:pid=0",
                              "tavorin:pid=-5", "tavorin:pid=12x", "tavorin:pid=12:start=", "tavorin:pid=12:start=x"})
        EXPECT_FALSE(writer(other)) << other;
}

std::string host() { return QSysInfo::machineHostName().toStdString(); }

// The line of a run on `on` by `process` ("pid" or "pid:start=ticks").
std::string runLock(const std::string& on, const std::string& process)
{
    return "Tavorin,tanaka," + on + ",07.12.2026 09:05,tavorin:pid=" + process + ";";
}

// The id of a process that has ended (and been reaped).
std::string endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return std::to_string(child);
}

enum class Outcome { TakenOver, RefusedNamingTheHolder, RefusedUnreadable };

struct ExistingLock {
    const char* name;
    std::string (*line)();
    Outcome outcome;
};
class ExistingLockFile : public ::testing::TestWithParam<ExistingLock> {};
TEST_P(ExistingLockFile, IsTakenOverOnlyWhenItsRunHasEnded)
{
    const ExistingLock& c = GetParam();
    TemporaryFolder folder;
    const auto workbook = folder / "台帳.xls", lockFile = folder / ".~lock.台帳.xls#";
    const std::string line = c.line();
    writeText(lockFile, line);
    // The drop and the run's first check count exactly the locks that hold.
    EXPECT_EQ(SystemRunningApplicationProbe::fileBeside(workbook).has_value(), c.outcome != Outcome::TakenOver);
    EXPECT_EQ(WorkbookLock::holderOf(workbook).has_value(), c.outcome != Outcome::TakenOver);
    WorkbookLock lock = WorkbookLock::acquire(workbook);
    ASSERT_EQ(lock.state(), c.outcome == Outcome::TakenOver ? State::Held : State::Refused);
    if (c.outcome == Outcome::TakenOver) {
        const auto now = LockFileRecord::parse(textOf(lockFile));
        ASSERT_TRUE(now && now->writerProcess());
        EXPECT_EQ(now->writerProcess()->id, ::getpid());
        lock.release();
        EXPECT_FALSE(std::filesystem::exists(lockFile));
        return;
    }
    ASSERT_TRUE(lock.holder());
    EXPECT_EQ(lock.holder()->lockFile, lockFile);
    EXPECT_EQ(lock.holder()->record.has_value(), c.outcome == Outcome::RefusedNamingTheHolder);
    lock.release();
    EXPECT_EQ(textOf(lockFile), line) << "a refused lock removes nothing";
}

std::string lockName(const ::testing::TestParamInfo<ExistingLock>& info) { return info.param.name; }
INSTANTIATE_TEST_SUITE_P(, ExistingLockFile, ::testing::Values(
    ExistingLock{"RunWhoseProcessEnded", [] { return runLock(host(), endedProcess()); }, Outcome::TakenOver},
    ExistingLock{"RunWhoseProcessIdNowBelongsToALaterProcess",
                 [] { return runLock(host(), std::to_string(::getpid()) + ":start=1"); }, Outcome::TakenOver},
    ExistingLock{"LiveRun", [] { return runLock(host(), std::to_string(::getpid())); }, Outcome::RefusedNamingTheHolder},
    ExistingLock{"RunOnAnotherHost", [] { return runLock("not-" + host(), endedProcess()); },
                 Outcome::RefusedNamingTheHolder},
    ExistingLock{"LibreOffice",
                 [] { return ",tanaka," + host() + ",07.12.2026 09:05,file:///home/tanaka/.config/libreoffice/4;"; },
                 Outcome::RefusedNamingTheHolder},
    ExistingLock{"Unreadable", [] { return std::string("someone,host,2026\n"); }, Outcome::RefusedUnreadable}),
    lockName);

// The lock is LibreOffice's entry for this program, this user (the login name, as LibreOffice writes it)
// and host; a second run is refused until it is released; a folder that takes no new file takes no lock
// either, and the run goes on; a lock LibreOffice wrote over ("open anyway") is left to it.
TEST(WorkbookLock, AFreeWorkbookIsLockedForOneRunUntilReleased)
{
    TemporaryFolder folder;
    const auto workbook = folder / "book.xls", lockFile = folder / ".~lock.book.xls#";
    {
        WorkbookLock first = WorkbookLock::acquire(workbook);
        ASSERT_EQ(first.state(), State::Held);
        const auto record = LockFileRecord::parse(textOf(lockFile));
        const passwd* user = ::getpwuid(::getuid());
        ASSERT_TRUE(record && user);
        EXPECT_EQ(std::tuple(record->formattedName, record->userName, record->hostName),
                  std::tuple(QString("Tavorin"), QString::fromLocal8Bit(user->pw_name), QSysInfo::machineHostName()));
        EXPECT_TRUE(QDateTime::fromString(record->time, "dd.MM.yyyy hh:mm").isValid()) << record->time.toStdString();
        EXPECT_EQ(WorkbookLock::acquire(workbook).state(), State::Refused);
    }
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_EQ(WorkbookLock::acquire(folder / "missing" / "book.xls").state(), State::NotPossible);
    WorkbookLock again = WorkbookLock::acquire(workbook);
    ASSERT_EQ(again.state(), State::Held);
    const std::string libreOffice = ",tanaka,pc01,07.12.2026 09:05,file:///home/tanaka/.config/libreoffice/4;";
    writeText(lockFile, libreOffice);
    again.release();
    EXPECT_EQ(textOf(lockFile), libreOffice);
}

// What LibreOffice did when it opened the workbook for editing: the questions it asked, whether it opened
// it read-only, and the lock file beside it meanwhile.
QJsonObject libreOfficeOpens(const std::filesystem::path& workbook)
{
    const ProcessResult result = runReader("lo_lock.py", {QString::fromStdString(workbook.string())});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << "LibreOffice: " << result.standardError.toStdString();
    return QJsonDocument::fromJson(result.standardOutput.toUtf8()).object();
}

// Opening a workbook a run holds, LibreOffice asks its user and opens it read-only, leaving the run's lock
// as it was. The lock LibreOffice writes for a workbook it edits names this user and host, reads as
// LibreOffice's, and refuses a run.
TEST(WorkbookLockWithLibreOffice, EachSeesTheOthersLock)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xls", "台帳.xls"), lockFile = WorkbookLock::lockFileFor(book);
    {
        WorkbookLock ours = WorkbookLock::acquire(book);
        ASSERT_EQ(ours.state(), State::Held);
        const std::string written = textOf(lockFile);
        const QJsonObject opened = libreOfficeOpens(book);
        EXPECT_EQ(std::pair(opened["asked"].toInt(), opened["readOnly"].toBool()), std::pair(1, true));
        EXPECT_EQ(opened["lockFile"].toString().toStdString(), written);
        EXPECT_EQ(textOf(lockFile), written);
    }
    const QJsonObject opened = libreOfficeOpens(book);
    EXPECT_EQ(std::pair(opened["asked"].toInt(), opened["readOnly"].toBool()), std::pair(0, false));
    const std::string written = opened["lockFile"].toString().toStdString();
    const auto record = LockFileRecord::parse(written);
    ASSERT_TRUE(record) << written;
    EXPECT_FALSE(record->writerProcess());
    EXPECT_EQ(std::pair(record->userName, record->hostName),
              std::pair(LockFileRecord::currentUserName(), LockFileRecord::currentHostName()));
    writeText(lockFile, written); // as while LibreOffice has the workbook open
    WorkbookLock theirs = WorkbookLock::acquire(book);
    EXPECT_EQ(theirs.state(), State::Refused);
    ASSERT_TRUE(theirs.holder() && theirs.holder()->record);
    EXPECT_EQ(theirs.holder()->record->profileUrl, record->profileUrl);
    EXPECT_TRUE(SystemRunningApplicationProbe::fileBeside(book).has_value());
}

} // namespace
