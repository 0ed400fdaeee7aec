#pragma once

#include "platform/RunningApplicationProbe.h"

namespace tavorin {

// The probe the program uses: looks at this user's processes and at owner/lock files beside
// the workbook.
class SystemRunningApplicationProbe final : public RunningApplicationProbe {
public:
    bool spreadsheetApplicationRunning(const std::filesystem::path& workbook) const override;
};

} // namespace tavorin
