#pragma once

#include "platform/WorkbookLock.h"

#include <QString>

#include <filesystem>

namespace tavorin {

// The message of a run refused because another run or LibreOffice holds the workbook: the
// workbook and its holder as the lock file names them (program, user, computer, since when), or,
// when the lock file cannot be read, that file, to be removed if nobody uses the workbook.
QString workbookInUseText(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder);

} // namespace tavorin
