#pragma once

#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/compound/CompoundFileWriter.h"

#include <functional>
#include <string>

namespace tavorin::xls {

// Adds every storage and stream of source to writer, with their CLSIDs, state bits and times,
// except the entries for which replace(path) answers true (paths as "Workbook",
// "_VBA_PROJECT_CUR/VBA/dir"); the caller adds those itself. Stream contents are read from source
// while the writer writes, so source must stay open until then.
void copyCompoundEntries(const CompoundFile& source, CompoundFileWriter& writer,
                         const std::function<bool(const std::string& path)>& replace);

} // namespace tavorin::xls
