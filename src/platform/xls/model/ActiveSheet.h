#pragma once

#include "platform/xls/model/WorkbookModel.h"

#include <cstddef>

namespace tavorin::xls {

// The sheet a workbook opens on: WINDOW1's current tab, and the WINDOW2 flags that mark a sheet
// selected and shown. Excel keeps exactly one sheet so marked after a macro selects it.
namespace ActiveSheet {

// The sheet WINDOW1 names as current (the first when it names none).
std::size_t current(const WorkbookModel& model);

// Makes the sheet at index the one the workbook opens on: WINDOW1's current tab (and its first
// shown tab, so that the tab can be seen), the sheet alone selected and shown. Changes nothing
// when the workbook already opens there, so that an untouched workbook is written back as read.
// Sheets whose WINDOW2 must change are read; one that cannot be read keeps its flags.
void make(WorkbookModel& model, std::size_t index);

} // namespace ActiveSheet

} // namespace tavorin::xls
