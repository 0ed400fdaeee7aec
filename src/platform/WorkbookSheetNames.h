#pragma once

#include "platform/SpreadsheetResult.h"
#include "platform/WorkbookFormat.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavorin {

// The worksheet names (UTF-8, tab order) of a workbook of any supported format, read without
// loading its sheets; the file is only read and is closed again. Encrypted packages and binary
// workbooks are refused with an error that says so (encrypted set for the former).
SpreadsheetResult<std::vector<std::string>> workbookSheetNames(const std::filesystem::path& path);

// Why a workbook of this format cannot be used, in English; empty for the formats that can.
std::string unsupportedFormatReason(WorkbookFormat format);

} // namespace tavorin
