#pragma once

#include "platform/RunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include <QString>

#include <filesystem>

namespace tavorin {

// The message of a run refused because another run or LibreOffice holds the workbook: the
// workbook and its holder as the lock file names them (program, user, computer, since when), or,
// when the lock file cannot be read, that file, to be removed if nobody uses the workbook.
QString workbookInUseText(const std::filesystem::path& workbook, const WorkbookLock::Holder& holder);

// The message (and its title) of a drop or a run refused because the workbook is open
// elsewhere: Excel's owner file keeps the program's own "Excel が起動中です。"; a lock file names
// its holder; a spreadsheet program is named with the workbook, to be closed there first.
struct RefusalMessage {
    QString text, title;
};
RefusalMessage workbookOpenElsewhereText(const std::filesystem::path& workbook, const WorkbookUser& user);

} // namespace tavorin
