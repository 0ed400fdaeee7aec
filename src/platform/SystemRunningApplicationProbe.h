#pragma once

#include "platform/RunningApplicationProbe.h"

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace tavorin {

// The probe the program uses: looks at this user's processes and at owner/lock files beside
// the workbook. A spreadsheet application counts when one of this user's processes is
// LibreOffice (soffice.bin), Gnumeric or an EXCEL.EXE under an emulator, by its command name
// or the program of its command line. Tests give a fake process table (a folder laid out like
// /proc) and a user id.
class SystemRunningApplicationProbe final : public RunningApplicationProbe {
public:
    SystemRunningApplicationProbe();
    SystemRunningApplicationProbe(std::filesystem::path processTable, uid_t user);

    bool spreadsheetApplicationRunning(const std::filesystem::path& workbook) const override;

    bool spreadsheetProcessRunning() const;
    // LibreOffice's ".~lock.NAME#" (other than a run's of this program) or Excel's "~$NAME"
    // beside the workbook.
    static bool hasLockFile(const std::filesystem::path& workbook);
    // A program name (a command name, or a path in Unix or Windows form) of a spreadsheet application.
    static bool isSpreadsheetProgram(std::string_view program);

private:
    bool isSpreadsheetProcess(const std::filesystem::path& process) const;
    bool ownedByUser(const std::filesystem::path& process) const;

    std::filesystem::path processTable_;
    uid_t user_;
};

} // namespace tavorin
