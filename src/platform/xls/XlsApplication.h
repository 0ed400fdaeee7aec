#pragma once

#include "platform/xls/NativeApplication.h"
#include "platform/xls/XlsWorkbook.h"
#include "platform/xls/model/WorkbookDocument.h"

namespace tavorin::xls {

// The native engine behind the spreadsheet operations for Excel 97-2003 workbooks (.xls).
using XlsApplication = NativeApplication<XlsWorkbook, WorkbookDocument>;

} // namespace tavorin::xls
