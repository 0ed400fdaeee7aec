#pragma once

#include "platform/RunningApplicationProbe.h"

#include <filesystem>
#include <vector>

namespace tavorin::test {

// Answers what the test says and remembers which workbooks it was asked about.
class ScriptedRunningApplicationProbe final : public RunningApplicationProbe {
public:
    bool spreadsheetApplicationRunning(const std::filesystem::path& workbook) const override
    {
        asked.push_back(workbook);
        return running;
    }

    bool running = false;
    mutable std::vector<std::filesystem::path> asked;
};

} // namespace tavorin::test
