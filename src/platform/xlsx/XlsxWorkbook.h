#pragma once

#include "platform/SpreadsheetWorkbook.h"
#include "platform/xlsx/model/XlsxDocument.h"

#include <map>
#include <memory>

namespace tavorin::xls {
struct XlsSession;
}

namespace tavorin::xlsx {

class XlsxWorksheet;

// An open workbook of the .xlsx engine.
class XlsxWorkbook final : public SpreadsheetWorkbook, public std::enable_shared_from_this<XlsxWorkbook> {
public:
    XlsxWorkbook(std::shared_ptr<xls::XlsSession> session, std::unique_ptr<XlsxDocument> document);
    ~XlsxWorkbook() override;

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> worksheet(const std::string& name) override;
    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> sheetAt(int position) override;
    SpreadsheetResult<int> sheetCount() override;
    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> activeSheet() override;
    SpreadsheetStatus saveAs(const std::filesystem::path& path) override;
    std::vector<std::filesystem::path> picturesNotReduced() const override { return notReduced_; }

    // Ends the workbook's life without saving (Quit); every later operation fails.
    void close();

    // For the worksheets: the document while the workbook is open, the application's settings.
    Result<XlsxDocument*> document();
    const xls::XlsSession& session() const { return *session_; }
    void activate(const std::shared_ptr<XlsxSheet>& sheet) { active_ = sheet; }
    std::shared_ptr<SpreadsheetWorksheet> handleFor(const std::shared_ptr<XlsxSheet>& sheet);

private:
    std::shared_ptr<xls::XlsSession> session_;
    std::unique_ptr<XlsxDocument> document_;
    std::shared_ptr<XlsxSheet> active_;
    std::map<const XlsxSheet*, std::shared_ptr<XlsxWorksheet>> handles_;
    std::vector<std::filesystem::path> notReduced_;
};

} // namespace tavorin::xlsx
