#include "platform/SystemRunningApplicationProbe.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

using namespace tavorin;

namespace {

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A folder laid out like /proc with the processes a test needs.
class FakeProcessTable {
public:
    FakeProcessTable()
    {
        addProcess(1, "systemd", std::string("/sbin/init\0splash\0", 18), 0);
        addProcess(400, "bash", std::string("-bash\0", 6), me());
        writeText(folder_ / "self" / "comm", "soffice.bin\n"); // not a process number: ignored
        writeText(folder_ / "meminfo", "MemTotal: 1 kB\n");
    }

    static uid_t me() { return getuid(); }

    void addProcess(int id, const std::string& command, const std::string& commandLine, uid_t user)
    {
        auto process = folder_ / std::to_string(id);
        writeText(process / "comm", command + "\n");
        writeText(process / "cmdline", commandLine);
        writeText(process / "status", "Name:\t" + command + "\nUmask:\t0022\nState:\tS (sleeping)\nUid:\t" +
                                          std::to_string(user) + "\t" + std::to_string(user) + "\t" +
                                          std::to_string(user) + "\t" + std::to_string(user) + "\nGid:\t0\n");
    }

    SystemRunningApplicationProbe probe() const { return SystemRunningApplicationProbe(folder_.path(), me()); }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    test::TemporaryFolder folder_;
};

TEST(RunningApplicationProcesses, NoSpreadsheetProcessMeansNotRunning)
{
    FakeProcessTable table;
    EXPECT_FALSE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, LibreOfficeOfTheSameUserIsRunning)
{
    FakeProcessTable table;
    table.addProcess(2345, "soffice.bin",
                     std::string("/usr/lib/libreoffice/program/soffice.bin\0--calc\0", 48), FakeProcessTable::me());
    EXPECT_TRUE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, LibreOfficeOfAnotherUserDoesNotCount)
{
    FakeProcessTable table;
    table.addProcess(2345, "soffice.bin", std::string("/usr/lib/libreoffice/program/soffice.bin\0", 41),
                     FakeProcessTable::me() + 1);
    EXPECT_FALSE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, GnumericIsRunning)
{
    FakeProcessTable table;
    table.addProcess(77, "gnumeric", std::string("gnumeric\0book.xls\0", 18), FakeProcessTable::me());
    EXPECT_TRUE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, ExcelUnderAnEmulatorIsFoundByItsCommandLine)
{
    FakeProcessTable table;
    std::string commandLine("C:\\Program Files\\Microsoft Office\\Office16\\EXCEL.EXE\0/e\0", 55);
    table.addProcess(900, "wine64-preload", commandLine, FakeProcessTable::me());
    EXPECT_TRUE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, ANameThatOnlyContainsAProgramNameDoesNotCount)
{
    FakeProcessTable table;
    table.addProcess(901, "soffice.binx", std::string("/opt/x/not-gnumeric\0", 20), FakeProcessTable::me());
    table.addProcess(902, "less", std::string("less\0/tmp/soffice.bin.log\0", 27), FakeProcessTable::me());
    EXPECT_FALSE(table.probe().spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, WithoutAStatusFileTheOwnerOfTheProcessFolderDecides)
{
    FakeProcessTable table;
    writeText(table.path() / "3000" / "comm", "soffice.bin\n"); // folder owned by this user
    EXPECT_TRUE(table.probe().spreadsheetProcessRunning());
    EXPECT_FALSE(SystemRunningApplicationProbe(table.path(), FakeProcessTable::me() + 1).spreadsheetProcessRunning());
}

TEST(RunningApplicationProcesses, AProcessThatEndedAndAMissingTableAreNotRunning)
{
    FakeProcessTable table;
    std::filesystem::create_directories(table.path() / "5555"); // listed, but its files are gone
    EXPECT_FALSE(table.probe().spreadsheetProcessRunning());
    EXPECT_FALSE(SystemRunningApplicationProbe(table.path() / "absent", FakeProcessTable::me())
                     .spreadsheetProcessRunning());
}

TEST(RunningApplicationLockFiles, LibreOfficeAndExcelOwnerFilesBesideTheWorkbook)
{
    FakeProcessTable table;
    test::TemporaryFolder folder;
    auto workbook = folder / "台帳 2026.xls";
    writeText(workbook, "x");
    EXPECT_FALSE(table.probe().spreadsheetApplicationRunning(workbook));

    writeText(folder / ".~lock.台帳 2026.xls#", ",user,host,06.12.2026 10:00,file:///home/user/.config/libreoffice/4;");
    EXPECT_TRUE(table.probe().spreadsheetApplicationRunning(workbook));
    std::filesystem::remove(folder / ".~lock.台帳 2026.xls#");

    // A run of this program: its own lock decides, not the probe.
    writeText(folder / ".~lock.台帳 2026.xls#", "Tavorin,user,host,06.12.2026 10:00,tavorin:pid=4242;");
    EXPECT_FALSE(table.probe().spreadsheetApplicationRunning(workbook));
    std::filesystem::remove(folder / ".~lock.台帳 2026.xls#");

    writeText(folder / "~$台帳 2026.xls", "owner");
    EXPECT_TRUE(table.probe().spreadsheetApplicationRunning(workbook));
}

TEST(RunningApplicationLockFiles, ALockOfAnotherWorkbookDoesNotCount)
{
    FakeProcessTable table;
    test::TemporaryFolder folder;
    writeText(folder / ".~lock.other.xls#", "x");
    writeText(folder / "~$Book1.xlsx", "x");
    EXPECT_FALSE(table.probe().spreadsheetApplicationRunning(folder / "Book1.xls"));
}

TEST(RunningApplicationLockFiles, AProcessAloneIsEnough)
{
    FakeProcessTable table;
    table.addProcess(2345, "soffice.bin", std::string("soffice.bin\0", 12), FakeProcessTable::me());
    test::TemporaryFolder folder;
    EXPECT_TRUE(table.probe().spreadsheetApplicationRunning(folder / "Book1.xls"));
}

} // namespace
