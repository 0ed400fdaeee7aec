#pragma once

#include "platform/WorkbookLock.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tavorin {

// Who has a workbook open elsewhere: an Excel owner file beside it ("~$NAME"), a lock file of
// LibreOffice's form (LibreOffice, or a run of this program), or a spreadsheet program of this
// user that holds the file open or was started on it.
struct WorkbookUser {
    enum class Kind { ExcelOwnerFile, LockFile, Process };
    Kind kind = Kind::Process;
    std::string program;                 // "Excel", "LibreOffice", "Gnumeric" as users know them
    std::optional<WorkbookLock::Holder> lock; // for a lock file: who it names
};

// Answers whether a workbook is open elsewhere. The sheet listing and the run refuse to work on
// a workbook that is; another spreadsheet program that does not have this workbook open does
// not count. Tests inject the answer.
class RunningApplicationProbe {
public:
    virtual ~RunningApplicationProbe() = default;
    virtual std::optional<WorkbookUser> workbookOpenElsewhere(const std::filesystem::path& workbook) const = 0;
};

} // namespace tavorin
