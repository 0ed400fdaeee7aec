#pragma once

#include "platform/SpreadsheetResult.h"

#include <QString>

namespace tavorin {

// Why a workbook was not saved: in the window's language for a failure a person can act on (a
// workbook too large for its format, with what makes it fit), else the engine's description.
QString notSavedReasonText(const SpreadsheetError& error);

} // namespace tavorin
