// "Open elsewhere" means this workbook: an owner or lock file beside it, or a spreadsheet
// program of this user that holds it open or was started on it. A spreadsheet program with other
// documents (or none), another user's, or a program that is no spreadsheet does not count.

#include "platform/SystemRunningApplicationProbe.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>


using namespace tavorin;
using namespace tavorin::test;

namespace {

// A process as the table shows it: its command, arguments (NUL-separated as in /proc), owner,
// working folder and the files it holds open (under the workbook's folder).
struct FakeProcess {
    std::string command;
    std::vector<std::string> arguments;
    bool otherUser = false;
    std::string folder{};                // relative to the workbook's folder; empty: none
    std::vector<std::string> openFiles{}; // names in the workbook's folder
};

struct ProbeCase {
    const char* name;
    std::vector<FakeProcess> processes;
    std::vector<std::string> besideWorkbook; // files next to 台帳.xls
    std::optional<WorkbookUser::Kind> expected;
    const char* program;
};

void PrintTo(const ProbeCase& c, std::ostream* out) { *out << c.name; }

class WorkbookOpenElsewhere : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(WorkbookOpenElsewhere, OnlyThisWorkbookOpenElsewhereCounts)
{
    const ProbeCase& c = GetParam();
    test::TemporaryFolder folder;
    const auto books = folder / "books";
    const auto workbook = books / "台帳.xls";
    writeText(workbook, "workbook");
    writeText(books / "other.xls", "another workbook");
    for (const auto& name : c.besideWorkbook)
        writeText(books / name, ",someone,host,07.12.2026 09:00,file:///home/someone/.config/libreoffice/4;");
    const auto table = folder / "proc";
    writeText(table / "self" / "comm", "soffice.bin\n"); // not a process number: never looked at
    int id = 100;
    for (const auto& p : c.processes) {
        const auto process = table / std::to_string(++id);
        writeText(process / "comm", p.command + "\n");
        std::string commandLine;
        for (std::string argument : p.arguments) {
            if (auto at = argument.find("BOOKS"); at != std::string::npos)
                argument.replace(at, 5, books.string());
            commandLine += argument + '\0';
        }
        writeText(process / "cmdline", commandLine);
        const uid_t owner = p.otherUser ? getuid() + 1 : getuid();
        writeText(process / "status", "Name:\t" + p.command + "\nUid:\t" + std::to_string(owner) + "\t0\t0\t0\n");
        std::filesystem::create_directories(process / "fd");
        int descriptor = 3;
        for (const auto& open : p.openFiles)
            std::filesystem::create_symlink(books / open, process / "fd" / std::to_string(descriptor++));
        if (!p.folder.empty())
            std::filesystem::create_symlink(books / p.folder, process / "cwd");
    }
    std::filesystem::create_directories(books / "sub");

    auto user = SystemRunningApplicationProbe(table, getuid()).workbookOpenElsewhere(workbook);
    ASSERT_EQ(user.has_value(), c.expected.has_value());
    if (user) {
        EXPECT_EQ(user->kind, *c.expected);
        EXPECT_EQ(user->program, c.program);
    }
}

const std::string soffice = "/usr/lib/libreoffice/program/soffice.bin";

std::string caseName(const ::testing::TestParamInfo<ProbeCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , WorkbookOpenElsewhere,
    ::testing::Values(
        ProbeCase{"NothingRuns", {{"bash", {"-bash"}, false, "", {}}}, {}, std::nullopt, ""},
        ProbeCase{"LibreOfficeWithoutDocuments", {{"soffice.bin", {soffice, "--headless", "--invisible"}, false, "", {}}}, {}, std::nullopt, ""},
        ProbeCase{"LibreOfficeWithAnotherWorkbook",
                  {{"soffice.bin", {soffice, "--calc", "other.xls"}, false, ".", {"other.xls"}}}, {}, std::nullopt, ""},
        ProbeCase{"LibreOfficeHoldingItOpen", {{"soffice.bin", {soffice}, false, "", {"台帳.xls"}}}, {},
                  WorkbookUser::Kind::Process, "LibreOffice"},
        ProbeCase{"LibreOfficeStartedOnItRelatively", {{"soffice.bin", {soffice, "--calc", "../台帳.xls"}, false, "sub", {}}},
                  {}, WorkbookUser::Kind::Process, "LibreOffice"},
        ProbeCase{"LibreOfficeStartedOnItsUrl",
                  {{"oosplash", {"/usr/lib/libreoffice/program/soffice.bin", "file://BOOKS/%E5%8F%B0%E5%B8%B3.xls"}, false, "", {}}},
                  {}, WorkbookUser::Kind::Process, "LibreOffice"},
        ProbeCase{"AnotherUsersLibreOffice", {{"soffice.bin", {soffice}, true, "", {"台帳.xls"}}}, {}, std::nullopt, ""},
        ProbeCase{"GnumericStartedOnIt", {{"gnumeric", {"gnumeric", "台帳.xls"}, false, ".", {}}}, {},
                  WorkbookUser::Kind::Process, "Gnumeric"},
        ProbeCase{"ExcelUnderAnEmulatorStartedOnIt",
                  {{"wine64-preload", {"C:\\Program Files\\Microsoft Office\\EXCEL.EXE", "/e", "台帳.xls"}, false, ".", {}}},
                  {}, WorkbookUser::Kind::Process, "Excel"},
        ProbeCase{"AnEditorHoldingItOpen", {{"vim", {"vim", "台帳.xls"}, false, ".", {"台帳.xls"}}}, {}, std::nullopt, ""},
        ProbeCase{"ExcelOwnerFile", {}, {"~$台帳.xls"}, WorkbookUser::Kind::ExcelOwnerFile, "Excel"},
        ProbeCase{"LibreOfficeLockFile", {}, {".~lock.台帳.xls#"}, WorkbookUser::Kind::LockFile, "LibreOffice"},
        ProbeCase{"AnotherWorkbooksLockFile", {}, {".~lock.other.xls#", "~$other.xls"}, std::nullopt, ""}),
    caseName);

} // namespace
