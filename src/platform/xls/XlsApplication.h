#pragma once

#include "platform/FitFor.h"
#include "platform/SpreadsheetApplication.h"

#include <memory>
#include <vector>

namespace tavorin::xls {

class XlsWorkbook;
struct XlsSession;

// The native engine behind the spreadsheet operations: workbooks are read into memory, changed
// there and written back as .xls files. Nothing outside the program is started.
class XlsApplication final : public SpreadsheetApplication {
public:
    // Ranges and pictures are measured in Excel's columns, or in LibreOffice's for a user who
    // looks at the workbook there (cell widths themselves stay in Excel's units).
    explicit XlsApplication(FitFor fitFor = FitFor::Excel);
    ~XlsApplication() override;

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) override;
    SpreadsheetStatus setScreenUpdating(bool value) override;
    SpreadsheetStatus setDisplayAlerts(bool value) override;
    SpreadsheetStatus quit() override;
    SpreadsheetStatus setPhotoOrientation(bool applied) override;

private:
    std::shared_ptr<XlsSession> session_;
    std::vector<std::weak_ptr<XlsWorkbook>> workbooks_;
};

} // namespace tavorin::xls
