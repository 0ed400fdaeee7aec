#pragma once

#include "platform/SpreadsheetResult.h"

#include <QString>

namespace tavorin {

// Why a picture could not be inserted, in the window's language: a sentence for the kind of
// failure the engine reports, followed in brackets by a short technical detail where one helps
// (a decoder's own words). An error of no known kind says so in general terms, with the
// engine's description as its detail.
QString pictureNotInsertedText(const SpreadsheetError& error);

} // namespace tavorin
