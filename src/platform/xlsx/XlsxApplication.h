#pragma once

#include "platform/xls/NativeApplication.h"
#include "platform/xlsx/XlsxWorkbook.h"
#include "platform/xlsx/model/XlsxDocument.h"

namespace tavorin::xlsx {

// The native engine for Excel 2007+ workbooks (.xlsx, .xlsm): a workbook is read from its
// package, changed in memory and written back as a package.
using XlsxApplication = xls::NativeApplication<XlsxWorkbook, XlsxDocument>;

} // namespace tavorin::xlsx
