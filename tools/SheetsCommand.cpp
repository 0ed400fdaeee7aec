#include "SheetsCommand.h"

#include "platform/WorkbookSheetNames.h"

namespace tavorin::batch {

std::string SheetsCommand::description() const
{
    return "Prints the worksheet names of an Excel workbook (.xls, .xlsx, .xlsm), one per line in\n"
           "UTF-8, in tab order; hidden worksheets are included, chart sheets, macro sheets and\n"
           "modules are not. The workbook is only read. Encrypted workbooks and binary workbooks\n"
           "(.xlsb) are refused.";
}

int SheetsCommand::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) const
{
    if (arguments.size() != 1) {
        err << "tavorin-batch: sheets takes one workbook\n";
        return exitUsage;
    }
    const std::string& workbook = arguments.front();
    auto names = workbookSheetNames(std::filesystem::path(workbook));
    if (!names) {
        err << "tavorin-batch: " << workbook << ": " << names.error().describe() << '\n';
        return exitFailure;
    }
    for (const auto& name : *names)
        out << name << '\n';
    out.flush();
    return out ? exitSuccess : exitFailure;
}

} // namespace tavorin::batch
