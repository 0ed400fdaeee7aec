#pragma once

#include "platform/xlsx/XlsxError.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavorin::xlsx {

// The sheet listing of an .xlsx or .xlsm file: only the package's relationships, the workbook
// part and its relationships are read.
namespace XlsxSheetListing {

// The worksheet names (UTF-8) in tab order; chart sheets, dialog and macro sheets are left out.
Result<std::vector<std::string>> worksheetNames(const std::filesystem::path& path);

// Whether the zip package is a binary workbook (.xlsb): its main document is not XML.
bool isBinaryWorkbook(const std::filesystem::path& path);

} // namespace XlsxSheetListing

} // namespace tavorin::xlsx
