#pragma once

#include "platform/SpreadsheetWorkbook.h"
#include "platform/xls/model/WorkbookDocument.h"

#include <map>
#include <memory>

namespace tavorin::xls {

class XlsWorksheet;
struct XlsSession;

// An open workbook of the native engine.
class XlsWorkbook final : public SpreadsheetWorkbook, public std::enable_shared_from_this<XlsWorkbook> {
public:
    XlsWorkbook(std::shared_ptr<XlsSession> session, std::unique_ptr<WorkbookDocument> document);
    ~XlsWorkbook() override;

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> worksheet(const std::string& name) override;
    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> sheetAt(int position) override;
    SpreadsheetResult<int> sheetCount() override;
    SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> activeSheet() override;
    SpreadsheetStatus saveAs(const std::filesystem::path& path) override;
    std::vector<std::filesystem::path> picturesNotReduced() const override { return notReduced_; }

    // Ends the workbook's life without saving (Quit); every later operation fails.
    void close();

    // For the worksheets: the document while the workbook is open, the application's settings.
    Result<WorkbookDocument*> document();
    const XlsSession& session() const { return *session_; }
    Result<std::size_t> positionOf(const SheetModel& sheet);
    // Select, or a copy made: the workbook is saved opening on that sheet.
    void activate(const std::shared_ptr<SheetModel>& sheet)
    {
        active_ = sheet;
        activated_ = true;
    }
    std::shared_ptr<SpreadsheetWorksheet> handleFor(const std::shared_ptr<SheetModel>& sheet);

    // Tests inject a failing writer here.
    void setSinkFactory(WorkbookDocument::SinkFactory factory) { sinkFactory_ = std::move(factory); }

private:
    std::shared_ptr<XlsSession> session_;
    std::unique_ptr<WorkbookDocument> document_;
    std::shared_ptr<SheetModel> active_;
    bool activated_ = false;
    std::map<const SheetModel*, std::shared_ptr<XlsWorksheet>> handles_;
    WorkbookDocument::SinkFactory sinkFactory_;
    std::vector<std::filesystem::path> notReduced_;
};

} // namespace tavorin::xls
