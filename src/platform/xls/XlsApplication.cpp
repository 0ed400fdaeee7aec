#include "platform/xls/XlsApplication.h"

#include "platform/xls/XlsSession.h"
#include "platform/xls/XlsWorkbook.h"

namespace tavorin::xls {

XlsApplication::XlsApplication(FitFor fitFor) : session_(std::make_shared<XlsSession>())
{
    session_->fitFor = fitFor;
}

XlsApplication::~XlsApplication() { (void)quit(); }

SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> XlsApplication::openWorkbook(const std::filesystem::path& path)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    auto document = WorkbookDocument::open(path);
    if (!document)
        return document.error();
    auto workbook = std::make_shared<XlsWorkbook>(session_, std::move(*document));
    workbooks_.push_back(workbook);
    return std::shared_ptr<SpreadsheetWorkbook>(workbook);
}

SpreadsheetStatus XlsApplication::setScreenUpdating(bool value)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->screenUpdating = value;
    return success();
}

SpreadsheetStatus XlsApplication::setDisplayAlerts(bool value)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->displayAlerts = value;
    return success();
}

SpreadsheetStatus XlsApplication::setPhotoOrientation(bool applied)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->photoOrientation = applied;
    return success();
}

SpreadsheetStatus XlsApplication::quit()
{
    session_->quit = true;
    for (auto& weak : workbooks_)
        if (auto workbook = weak.lock())
            workbook->close();
    workbooks_.clear();
    return success();
}

} // namespace tavorin::xls
