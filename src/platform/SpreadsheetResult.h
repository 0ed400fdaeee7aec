#pragma once

#include "platform/xls/Error.h"
#include "platform/xls/Result.h"

namespace tavorin {

// Every spreadsheet operation reports failure as a value; the insertion run skips a failed step.
// These are the engine's own types, so that an engine error travels to the run unchanged.
template <typename T>
using SpreadsheetResult = xls::Result<T>;
using SpreadsheetStatus = xls::Status;
using SpreadsheetError = xls::Error;

// An error raised by the operations layer itself (unknown sheet, name in use, cell off the sheet).
inline SpreadsheetError operationError(std::string message)
{
    return SpreadsheetError{std::move(message), "operations", std::nullopt, std::nullopt};
}

// True for the error of a save that found the workbook's file changed or replaced on disk since
// it was read; the file was left as it is.
inline bool isChangedOnDisk(const SpreadsheetError& error) { return error.layer == xls::changedOnDiskLayer; }

} // namespace tavorin
