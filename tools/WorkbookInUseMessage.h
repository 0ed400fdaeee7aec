#pragma once

#include "platform/RunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include <filesystem>
#include <string>

namespace tavorin::batch {

// The line tavorin-batch prints when the workbook's lock is held: the workbook and who holds it,
// as the lock file says (or that the lock file cannot be read).
std::string workbookInUseMessage(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder);

// The line when the workbook is open elsewhere: Excel's owner file, a lock file (as above), or
// the spreadsheet program that has it open.
std::string workbookOpenElsewhereMessage(const std::filesystem::path& workbook, const WorkbookUser& user);

} // namespace tavorin::batch
