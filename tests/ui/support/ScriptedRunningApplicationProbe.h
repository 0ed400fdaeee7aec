#pragma once

#include "platform/RunningApplicationProbe.h"

#include <filesystem>
#include <vector>

namespace tavorin::test {

// Answers what the test says and remembers which workbooks it was asked about.
class ScriptedRunningApplicationProbe final : public RunningApplicationProbe {
public:
    std::optional<WorkbookUser> workbookOpenElsewhere(const std::filesystem::path& workbook) const override
    {
        asked.push_back(workbook);
        if (!running)
            return std::nullopt;
        return WorkbookUser{WorkbookUser::Kind::ExcelOwnerFile, "Excel", std::nullopt};
    }

    bool running = false;
    mutable std::vector<std::filesystem::path> asked;
};

} // namespace tavorin::test
