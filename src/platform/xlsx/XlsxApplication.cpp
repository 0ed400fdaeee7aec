#include "platform/xlsx/XlsxApplication.h"

#include "platform/xlsx/XlsxSession.h"
#include "platform/xlsx/XlsxWorkbook.h"

namespace tavorin::xlsx {

XlsxApplication::XlsxApplication() : session_(std::make_shared<XlsxSession>()) {}

XlsxApplication::~XlsxApplication() { (void)quit(); }

SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> XlsxApplication::openWorkbook(const std::filesystem::path& path)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    auto document = XlsxDocument::open(path);
    if (!document)
        return document.error();
    auto workbook = std::make_shared<XlsxWorkbook>(session_, std::move(*document));
    workbooks_.push_back(workbook);
    return std::shared_ptr<SpreadsheetWorkbook>(workbook);
}

SpreadsheetStatus XlsxApplication::setScreenUpdating(bool value)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->screenUpdating = value;
    return success();
}

SpreadsheetStatus XlsxApplication::setDisplayAlerts(bool value)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->displayAlerts = value;
    return success();
}

SpreadsheetStatus XlsxApplication::setPhotoOrientation(bool applied)
{
    if (session_->quit)
        return operationError("the spreadsheet application has quit");
    session_->photoOrientation = applied;
    return success();
}

SpreadsheetStatus XlsxApplication::quit()
{
    session_->quit = true;
    for (auto& weak : workbooks_)
        if (auto workbook = weak.lock())
            workbook->close();
    workbooks_.clear();
    return success();
}

} // namespace tavorin::xlsx
