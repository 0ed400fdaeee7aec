#pragma once

#include "platform/xls/Error.h"
#include "platform/xls/Result.h"

#include <string>

namespace tavorin::xlsx {

// The .xlsx engine reports failures with the same value types as the .xls engine, so that an
// error travels to the run unchanged whichever engine raised it.
using xls::Done;
using xls::Error;
using xls::Result;
using xls::Status;
using xls::success;

// A problem with the package or one of its parts; the part is named so that a person can find it.
inline Error packageError(const std::string& message, const std::string& part = {})
{
    return Error{part.empty() ? message : part + ": " + message, "package", std::nullopt, std::nullopt};
}

// A problem with what an operation asked for (a cell off the sheet, an unknown picture).
inline Error operationError(const std::string& message)
{
    return Error{message, "operations", std::nullopt, std::nullopt};
}

} // namespace tavorin::xlsx
