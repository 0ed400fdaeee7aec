#pragma once

#include "platform/WorkbookLock.h"

#include <filesystem>
#include <string>

namespace tavorin::batch {

// The line tavorin-batch prints when the workbook's lock is held: the workbook and who holds it,
// as the lock file says (or that the lock file cannot be read).
std::string workbookInUseMessage(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder);

} // namespace tavorin::batch
