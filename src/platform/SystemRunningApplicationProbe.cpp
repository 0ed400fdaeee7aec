#include "platform/SystemRunningApplicationProbe.h"

#include <QString>
#include <QUrl>

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

struct KnownProgram {
    std::string_view command; // lower case
    std::string_view name;
};
constexpr std::array<KnownProgram, 3> spreadsheetPrograms{
    {{"soffice.bin", "LibreOffice"}, {"gnumeric", "Gnumeric"}, {"excel.exe", "Excel"}}};
constexpr std::size_t commandLineLimit = 64 * 1024;
constexpr int openFilesLimit = 65536; // a process's descriptors looked at, at most

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

bool sameFile(const std::filesystem::path& path, dev_t device, ino_t inode)
{
    struct stat information {};
    return ::stat(path.c_str(), &information) == 0 && information.st_dev == device && information.st_ino == inode;
}

} // namespace

SystemRunningApplicationProbe::SystemRunningApplicationProbe() : SystemRunningApplicationProbe("/proc", getuid()) {}

SystemRunningApplicationProbe::SystemRunningApplicationProbe(std::filesystem::path processTable, uid_t user)
    : processTable_(std::move(processTable)), user_(user)
{
}

std::optional<WorkbookUser> SystemRunningApplicationProbe::workbookOpenElsewhere(const std::filesystem::path& workbook) const
{
    if (auto beside = fileBeside(workbook))
        return beside;
    return processWith(workbook);
}

std::optional<std::string> SystemRunningApplicationProbe::spreadsheetProgram(std::string_view program)
{
    auto slash = program.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? program : program.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const KnownProgram& known : spreadsheetPrograms)
        if (known.command == name)
            return std::string(known.name);
    return std::nullopt;
}

std::optional<WorkbookUser> SystemRunningApplicationProbe::fileBeside(const std::filesystem::path& workbook)
{
    if (!workbook.has_filename())
        return std::nullopt;
    std::error_code error;
    if (std::filesystem::exists(workbook.parent_path() / ("~$" + workbook.filename().string()), error))
        return WorkbookUser{WorkbookUser::Kind::ExcelOwnerFile, "Excel", std::nullopt};
    // A run of this program holds its workbook with a lock file of LibreOffice's form too; the
    // run's own lock decides about a live one of those, and a stale one is taken over.
    if (auto holder = WorkbookLock::holderOf(workbook))
        return WorkbookUser{WorkbookUser::Kind::LockFile, "LibreOffice", holder};
    return std::nullopt;
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

std::optional<std::string> SystemRunningApplicationProbe::spreadsheetProgramOf(const std::filesystem::path& process) const
{
    std::string command = readSmallFile(process / "comm", 256);
    while (!command.empty() && (command.back() == '\n' || command.back() == '\0'))
        command.pop_back();
    if (auto program = spreadsheetProgram(command))
        return program;
    std::string commandLine = readSmallFile(process / "cmdline", commandLineLimit);
    std::string program = commandLine.substr(0, commandLine.find('\0'));
    return program.empty() ? std::nullopt : spreadsheetProgram(program);
}

bool SystemRunningApplicationProbe::holdsOpen(const std::filesystem::path& process, dev_t device, ino_t inode) const
{
    std::error_code error;
    std::filesystem::directory_iterator descriptors(process / "fd", error);
    if (error)
        return false;
    int looked = 0;
    for (auto entry = std::filesystem::begin(descriptors); entry != std::filesystem::end(descriptors) && looked < openFilesLimit;
         entry.increment(error), ++looked) {
        if (error)
            break;
        if (sameFile(entry->path(), device, inode))
            return true;
    }
    return false;
}

bool SystemRunningApplicationProbe::namesOnCommandLine(const std::filesystem::path& process, dev_t device,
                                                       ino_t inode) const
{
    const std::string commandLine = readSmallFile(process / "cmdline", commandLineLimit);
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::read_symlink(process / "cwd", error);
    std::size_t start = commandLine.find('\0'); // past the program itself
    while (start != std::string::npos && start + 1 < commandLine.size()) {
        const std::size_t end = commandLine.find('\0', start + 1);
        const std::string argument = commandLine.substr(start + 1, end == std::string::npos ? end : end - start - 1);
        start = end;
        if (argument.empty() || argument.front() == '-')
            continue;
        // LibreOffice takes documents as paths or as file URLs.
        std::filesystem::path named(argument);
        if (argument.rfind("file:", 0) == 0)
            named = std::filesystem::path(QUrl(QString::fromStdString(argument)).toLocalFile().toStdString());
        if (named.is_relative() && !folder.empty())
            named = folder / named;
        if (sameFile(named, device, inode))
            return true;
    }
    return false;
}

std::optional<WorkbookUser> SystemRunningApplicationProbe::processWith(const std::filesystem::path& workbook) const
{
    struct stat information {};
    if (::stat(workbook.c_str(), &information) != 0)
        return std::nullopt;
    std::error_code error;
    std::filesystem::directory_iterator processes(processTable_, error);
    if (error)
        return std::nullopt;
    for (auto entry = std::filesystem::begin(processes); entry != std::filesystem::end(processes);
         entry.increment(error)) {
        if (error)
            break;
        const auto& process = entry->path();
        if (!isProcessNumber(process.filename().string()))
            continue;
        auto program = spreadsheetProgramOf(process);
        if (!program || !ownedByUser(process))
            continue;
        if (holdsOpen(process, information.st_dev, information.st_ino) ||
            namesOnCommandLine(process, information.st_dev, information.st_ino))
            return WorkbookUser{WorkbookUser::Kind::Process, *program, std::nullopt};
    }
    return std::nullopt;
}

} // namespace tavorin
