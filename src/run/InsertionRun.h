#pragma once

#include "run/RunEnvironment.h"
#include "run/RunOptions.h"
#include "run/RunOutcome.h"

namespace tavorin {

// The text of the message at the end of every completed run.
QString completionText();

// One insertion run, from the checks to the final message: opens the workbook in a fresh
// spreadsheet application, places every picture of the list in its block (on the template
// sheet, or on numbered copies of it), writes the captions, saves the workbook over its file
// and reports. A step that fails is skipped and the run goes on; what could not be done (a
// picture not placed, the workbook not saved) is said in the final message.
// The run holds the workbook's lock file (WorkbookLock) from before it reads the workbook until
// it has saved it; a workbook locked by another run or by LibreOffice is refused with a message
// that names the holder. SIGINT and SIGTERM are held meanwhile: the run stops between pictures
// without saving, removes its lock, and the signal then takes its usual course.
RunOutcome runInsertion(RunOptions options, const RunEnvironment& environment);

} // namespace tavorin
