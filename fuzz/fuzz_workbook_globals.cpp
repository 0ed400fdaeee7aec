// Feeds arbitrary bytes to the workbook readers. A compound file goes through the whole sheet
// listing (WorkbookFile); anything else is read as a bare Workbook stream: the globals, then every
// record with its CONTINUE records joined.
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/model/WorkbookGlobals.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace tavorin::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::span<const std::uint8_t> bytes(data, size);
    auto workbook = WorkbookFile::open(ByteSource::fromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end())));
    if (workbook) {
        auto globals = workbook->readGlobals();
        if (globals)
            (void)globals->worksheetNames();
        return 0;
    }

    RecordReader records(bytes);
    auto globals = WorkbookGlobals::read(records);
    if (globals)
        (void)globals->worksheetNames();

    RecordReader all(bytes);
    while (!all.atEnd()) {
        auto record = all.nextContinued();
        if (!record)
            break;
    }
    return 0;
}
