// What the system tells a run: whether a spreadsheet application could hold the workbook (this user's
// processes, read from a folder laid out like /proc, and the owner or lock files beside the workbook),
// and when a picture file was made.
#include "platform/FileCreationTime.h"
#include "platform/SystemRunningApplicationProbe.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const uid_t me = ::getuid();

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    writeFile(path, Bytes(text.begin(), text.end()));
}

// A process table holding init, a shell, entries that are no processes and one that ended.
struct ProcessTable : TemporaryFolder {
    ProcessTable()
    {
        add(1, "systemd", std::string("/sbin/init\0splash\0", 18), 0);
        add(400, "bash", std::string("-bash\0", 6), me);
        writeText(*this / "self" / "comm", "soffice.bin\n");
        std::filesystem::create_directories(*this / "5555"); // a process that ended while it was listed
    }
    void add(int id, const std::string& command, const std::string& commandLine, uid_t user)
    {
        const std::string uid = std::to_string(user), process = std::to_string(id);
        writeText(*this / process / "comm", command + "\n");
        writeText(*this / process / "cmdline", commandLine);
        writeText(*this / process / "status", "Uid:\t" + uid + "\t" + uid + "\t" + uid + "\t" + uid + "\n");
    }
    SystemRunningApplicationProbe probe(uid_t user = me) const { return {path(), user}; }
};

struct ProcessCase {
    const char* name;
    const char* command;
    std::string commandLine;
    bool sameUser, running;
};
class SpreadsheetProcess : public ::testing::TestWithParam<ProcessCase> {};
TEST_P(SpreadsheetProcess, CountsOnlyThisUsersSpreadsheetPrograms)
{
    const ProcessCase& c = GetParam();
    ProcessTable table;
    EXPECT_FALSE(table.probe().spreadsheetProcessRunning()) << "init and a shell";
    table.add(2345, c.command, c.commandLine, c.sameUser ? me : me + 1);
    EXPECT_EQ(table.probe().spreadsheetProcessRunning(), c.running);
    EXPECT_EQ(table.probe().spreadsheetApplicationRunning(table / "Book1.xls"), c.running) << "a process is enough";
}

std::string processName(const ::testing::TestParamInfo<ProcessCase>& info) { return info.param.name; }
INSTANTIATE_TEST_SUITE_P(, SpreadsheetProcess, ::testing::Values(
    ProcessCase{"LibreOffice", "soffice.bin", std::string("/usr/lib/libreoffice/program/soffice.bin\0--calc\0", 48),
                true, true},
    ProcessCase{"LibreOfficeOfAnotherUser", "soffice.bin", std::string("soffice.bin\0", 12), false, false},
    ProcessCase{"Gnumeric", "gnumeric", std::string("gnumeric\0book.xls\0", 18), true, true},
    ProcessCase{"ExcelUnderAnEmulator", "wine64-preload",
                std::string("C:\\Program Files\\Microsoft Office\\Office16\\EXCEL.EXE\0/e\0", 55), true, true},
    ProcessCase{"NameMerelyContainingOne", "soffice.binx", std::string("/opt/x/not-gnumeric\0", 20), true, false},
    ProcessCase{"ArgumentNamingOne", "less", std::string("less\0/tmp/soffice.bin.log\0", 27), true, false}),
    processName);

// LibreOffice's lock and Excel's owner file count; a run of this program leaves the decision to its own
// lock; files of another workbook do not count.
TEST(SpreadsheetLockFile, BesideTheWorkbookCounts)
{
    const std::tuple<const char*, const char*, bool> files[] = {
        {".~lock.台帳 2026.xls#", ",user,host,06.12.2026 10:00,file:///home/user/.config/libreoffice/4;", true},
        {".~lock.台帳 2026.xls#", "Tavorin,user,host,06.12.2026 10:00,tavorin:pid=4242;", false},
        {"~$台帳 2026.xls", "owner", true}, {".~lock.other.xls#", "x", false}, {"~$台帳 2026.xlsx", "x", false}};
    const ProcessTable table;
    for (const auto& [name, text, counts] : files) {
        TemporaryFolder folder;
        writeText(folder / name, text);
        EXPECT_EQ(table.probe().spreadsheetApplicationRunning(folder / "台帳 2026.xls"), counts) << name;
    }
}

TEST(FileCreationTime, ANewFileWasCreatedNowOnTheLocalClockAndAMissingOneHasNone)
{
    TemporaryFolder folder;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    writeFile(folder / "photo.jpg", {'x'});
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    const auto created = fileCreationTime(folder / "photo.jpg");
    ASSERT_TRUE(created.has_value());
    const QDateTime seen(QDate(created->year, created->month, created->day),
                         QTime(created->hour, created->minute, created->second, created->millisecond));
    EXPECT_TRUE(before <= seen && seen <= after) << seen.toString().toStdString();
    EXPECT_FALSE(fileCreationTime(folder / "gone.jpg").has_value());
}

} // namespace
