#pragma once

#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookGlobals.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavorin::xls {

// An Excel 97-2003 workbook file opened read-only: a compound file holding a "Workbook" stream
// (or BIFF8 records in a stream named "Book", as some writers leave them).
// Opening says in words what a file is when it is not one (an older Excel file, an HTML page or
// text saved as .xls, a compound file without a workbook).
class WorkbookFile {
public:
    static Result<WorkbookFile> open(const std::filesystem::path& path);
    static Result<WorkbookFile> open(std::unique_ptr<ByteSource> source);

    const CompoundFile& compoundFile() const { return file_; }
    std::uint32_t workbookStream() const { return workbookStream_; }

    // The globals substream, read lazily up to its EOF.
    Result<WorkbookGlobals> readGlobals() const;

    // The worksheet names of the workbook at path in tab order; the file is open only during
    // the call.
    static Result<std::vector<std::u16string>> worksheetNames(const std::filesystem::path& path);

private:
    WorkbookFile(CompoundFile file, std::uint32_t workbookStream);

    CompoundFile file_;
    std::uint32_t workbookStream_;
};

} // namespace tavorin::xls
