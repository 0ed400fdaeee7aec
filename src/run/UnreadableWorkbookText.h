#pragma once

#include "platform/SpreadsheetResult.h"

#include <QString>

namespace tavorin {

// Why a workbook cannot be used, in the window's language, with the engine's reason behind it:
// an encrypted workbook says what to do about it.
QString unreadableWorkbookText(const QString& fileName, const SpreadsheetError& error);

// The advice for an encrypted workbook.
QString encryptedWorkbookAdvice();

} // namespace tavorin
