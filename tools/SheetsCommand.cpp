#include "SheetsCommand.h"

#include "platform/xls/records/BiffString.h"
#include "platform/xls/model/WorkbookFile.h"

namespace tavorin::batch {

std::string SheetsCommand::description() const
{
    return "Prints the worksheet names of an Excel 97-2003 workbook (.xls), one per line in UTF-8,\n"
           "in tab order; hidden worksheets are included, chart sheets, macro sheets and modules\n"
           "are not. The workbook is only read.";
}

int SheetsCommand::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const
{
    if (arguments.size() != 1) {
        err << "tavorin-batch: sheets takes one workbook\n";
        return exitUsage;
    }
    const std::string& workbook = arguments.front();
    auto names = xls::WorkbookFile::worksheetNames(std::filesystem::path(workbook));
    if (!names) {
        err << "tavorin-batch: " << workbook << ": " << names.error().describe() << '\n';
        return exitFailure;
    }
    for (const auto& name : *names)
        out << xls::BiffString::toUtf8(name) << '\n';
    out.flush();
    return out ? exitSuccess : exitFailure;
}

} // namespace tavorin::batch
