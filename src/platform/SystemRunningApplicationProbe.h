#pragma once

#include "platform/RunningApplicationProbe.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavorin {

// The probe the program uses: owner and lock files beside the workbook, then this user's
// spreadsheet processes (LibreOffice's soffice.bin, Gnumeric, an EXCEL.EXE under an emulator, by
// command name or the program of the command line) that hold the workbook open (/proc/PID/fd)
// or name it among their arguments (a path, relative to the process's folder, or a file URL).
// Tests give a fake process table (a folder laid out like /proc) and a user id.
class SystemRunningApplicationProbe final : public RunningApplicationProbe {
public:
    SystemRunningApplicationProbe();
    SystemRunningApplicationProbe(std::filesystem::path processTable, uid_t user);

    std::optional<WorkbookUser> workbookOpenElsewhere(const std::filesystem::path& workbook) const override;

    // Only the files beside the workbook (what --force still respects).
    static std::optional<WorkbookUser> fileBeside(const std::filesystem::path& workbook);
    // The spreadsheet process of this user that has the workbook open, if any.
    std::optional<WorkbookUser> processWith(const std::filesystem::path& workbook) const;
    // The name users know a spreadsheet program by, from a command name or a path in Unix or
    // Windows form; nothing for other programs.
    static std::optional<std::string> spreadsheetProgram(std::string_view program);

private:
    std::optional<std::string> spreadsheetProgramOf(const std::filesystem::path& process) const;
    bool ownedByUser(const std::filesystem::path& process) const;
    bool holdsOpen(const std::filesystem::path& process, dev_t device, ino_t inode) const;
    bool namesOnCommandLine(const std::filesystem::path& process, dev_t device, ino_t inode) const;

    std::filesystem::path processTable_;
    uid_t user_;
};

} // namespace tavorin
