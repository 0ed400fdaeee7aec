#pragma once

#include <filesystem>

namespace tavorin {

// Answers whether a spreadsheet application that could hold the workbook open is running for
// this user, or the workbook has an owner/lock file beside it. The sheet listing and the run
// refuse to work while it answers true. Tests inject the answer.
class RunningApplicationProbe {
public:
    virtual ~RunningApplicationProbe() = default;
    virtual bool spreadsheetApplicationRunning(const std::filesystem::path& workbook) const = 0;
};

} // namespace tavorin
