#pragma once

#include "platform/xls/model/BoundSheet.h"
#include "platform/xls/Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavorin::xls {

class RecordReader;

// What the sheet listing needs of the globals substream, the records from the first BOF to its
// EOF: the sheets in tab order and the code page. Reading stops at the globals' EOF and never
// touches the sheet substreams.
struct WorkbookGlobals {
    static constexpr std::uint16_t biff8Version = 0x0600;
    static constexpr std::uint16_t globalsSubstream = 0x0005;

    std::uint16_t codePage = 1200; // CODEPAGE; 1200 (UTF-16) when the record is missing
    std::vector<BoundSheet> sheets;
    std::uint64_t end = 0; // stream offset just after the globals' EOF

    // The names of the worksheets in tab order, hidden ones included; charts, macro sheets and
    // modules are left out, as are sheets without a name.
    std::vector<std::u16string> worksheetNames() const;

    // Reads from the reader's position, which must be the globals' BOF. Refuses BIFF5 and older
    // workbooks and encrypted ones with an Error saying so.
    static Result<WorkbookGlobals> read(RecordReader& records);
};

} // namespace tavorin::xls
