#pragma once

#include "run/RunOptions.h"

#include <QString>

namespace tavorin {

// The checks before a run: every missing input in one message, one line each, in a fixed
// order; empty when the run may start.
QString missingInputMessage(const RunOptions& options);

} // namespace tavorin
