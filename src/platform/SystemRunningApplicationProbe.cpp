#include "platform/SystemRunningApplicationProbe.h"

#include "platform/WorkbookLock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <fstream>
#include <string>

namespace tavorin {
namespace {

constexpr std::array<std::string_view, 3> spreadsheetPrograms{"soffice.bin", "gnumeric", "excel.exe"};
constexpr std::size_t commandLineLimit = 4096;

// At most limit bytes of a small file of the process table; empty when it cannot be read (the
// process may have ended in the meantime).
std::string readSmallFile(const std::filesystem::path& path, std::size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

bool isProcessNumber(const std::string& name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace

SystemRunningApplicationProbe::SystemRunningApplicationProbe() : SystemRunningApplicationProbe("/proc", getuid()) {}

SystemRunningApplicationProbe::SystemRunningApplicationProbe(std::filesystem::path processTable, uid_t user)
    : processTable_(std::move(processTable)), user_(user)
{
}

bool SystemRunningApplicationProbe::spreadsheetApplicationRunning(const std::filesystem::path& workbook) const
{
    return hasLockFile(workbook) || spreadsheetProcessRunning();
}

bool SystemRunningApplicationProbe::isSpreadsheetProgram(std::string_view program)
{
    auto slash = program.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? program : program.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(spreadsheetPrograms.begin(), spreadsheetPrograms.end(), name) != spreadsheetPrograms.end();
}

bool SystemRunningApplicationProbe::hasLockFile(const std::filesystem::path& workbook)
{
    if (!workbook.has_filename())
        return false;
    // A run of this program holds its workbook with a lock file of LibreOffice's form too; the
    // run's own lock decides about those (and names their holder), not this probe.
    std::error_code error;
    return WorkbookLock::ownerOf(workbook) == WorkbookLock::Owner::AnotherProgram ||
           std::filesystem::exists(workbook.parent_path() / ("~$" + workbook.filename().string()), error);
}

bool SystemRunningApplicationProbe::ownedByUser(const std::filesystem::path& process) const
{
    // The real user id is the first number of the Uid line; the folder's owner when there is none.
    std::string status = readSmallFile(process / "status", 64 * 1024);
    auto line = status.find("\nUid:");
    if (status.rfind("Uid:", 0) == 0)
        line = 0;
    if (line != std::string::npos) {
        auto digits = status.find_first_of("0123456789", status.find(':', line));
        unsigned long long owner = 0;
        if (digits != std::string::npos) {
            const char* first = status.data() + digits;
            auto parsed = std::from_chars(first, status.data() + status.size(), owner);
            if (parsed.ec == std::errc())
                return owner == user_;
        }
    }
    struct stat information {};
    return ::stat(process.c_str(), &information) == 0 && information.st_uid == user_;
}

bool SystemRunningApplicationProbe::isSpreadsheetProcess(const std::filesystem::path& process) const
{
    std::string command = readSmallFile(process / "comm", 256);
    while (!command.empty() && (command.back() == '\n' || command.back() == '\0'))
        command.pop_back();
    if (isSpreadsheetProgram(command))
        return true;
    std::string commandLine = readSmallFile(process / "cmdline", commandLineLimit);
    std::string program = commandLine.substr(0, commandLine.find('\0'));
    return !program.empty() && isSpreadsheetProgram(program);
}

bool SystemRunningApplicationProbe::spreadsheetProcessRunning() const
{
    std::error_code error;
    std::filesystem::directory_iterator processes(processTable_, error);
    if (error)
        return false;
    for (auto entry = std::filesystem::begin(processes); entry != std::filesystem::end(processes);
         entry.increment(error)) {
        if (error)
            break;
        const auto& process = entry->path();
        if (isProcessNumber(process.filename().string()) && isSpreadsheetProcess(process) && ownedByUser(process))
            return true;
    }
    return false;
}

} // namespace tavorin
