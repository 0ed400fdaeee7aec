#pragma once

#include "platform/SpreadsheetApplication.h"

#include <memory>
#include <vector>

namespace tavorin::xlsx {

class XlsxWorkbook;
struct XlsxSession;

// The native engine for Excel 2007+ workbooks (.xlsx, .xlsm): a workbook is read from its
// package, changed in memory and written back as a package. Nothing outside the program starts.
class XlsxApplication final : public SpreadsheetApplication {
public:
    XlsxApplication();
    ~XlsxApplication() override;

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) override;
    SpreadsheetStatus setScreenUpdating(bool value) override;
    SpreadsheetStatus setDisplayAlerts(bool value) override;
    SpreadsheetStatus quit() override;
    SpreadsheetStatus setPhotoOrientation(bool applied) override;

private:
    std::shared_ptr<XlsxSession> session_;
    std::vector<std::weak_ptr<XlsxWorkbook>> workbooks_;
};

} // namespace tavorin::xlsx
