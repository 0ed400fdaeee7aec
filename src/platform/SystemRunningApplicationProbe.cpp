#include "platform/SystemRunningApplicationProbe.h"

namespace tavorin {

bool SystemRunningApplicationProbe::spreadsheetApplicationRunning(const std::filesystem::path&) const
{
    return false;
}

} // namespace tavorin
