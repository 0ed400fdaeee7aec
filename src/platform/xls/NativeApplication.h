#pragma once

#include "platform/FitFor.h"
#include "platform/SpreadsheetApplication.h"
#include "platform/SpreadsheetWorkbook.h"
#include "platform/xls/XlsSession.h"

#include <memory>
#include <vector>

namespace tavorin::xls {

// The application of a native engine: workbooks are read into memory, changed there and written
// back by the engine's Document; its Workbook serves the operations on one of them. Nothing
// outside the program is started. Quitting closes every workbook it opened, unsaved.
template <typename Workbook, typename Document>
class NativeApplication final : public SpreadsheetApplication {
public:
    // Ranges and pictures are measured in Excel's columns, or in LibreOffice's for a user who
    // looks at the workbook there (cell widths themselves stay in Excel's units).
    explicit NativeApplication(FitFor fitFor = FitFor::Excel) : session_(std::make_shared<XlsSession>())
    {
        session_->fitFor = fitFor;
    }
    ~NativeApplication() override { (void)quit(); }

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) override
    {
        if (session_->quit)
            return hasQuit();
        auto document = Document::open(path);
        if (!document)
            return document.error();
        auto workbook = std::make_shared<Workbook>(session_, std::move(*document));
        workbooks_.push_back(workbook);
        return std::shared_ptr<SpreadsheetWorkbook>(workbook);
    }
    SpreadsheetStatus setScreenUpdating(bool value) override
    {
        if (session_->quit)
            return hasQuit();
        session_->screenUpdating = value;
        return success();
    }
    SpreadsheetStatus setDisplayAlerts(bool value) override
    {
        if (session_->quit)
            return hasQuit();
        session_->displayAlerts = value;
        return success();
    }
    SpreadsheetStatus setPhotoOrientation(bool applied) override
    {
        if (session_->quit)
            return hasQuit();
        session_->photoOrientation = applied;
        return success();
    }
    SpreadsheetStatus setPictureReduction(const pictures::ReductionOptions& options) override
    {
        if (session_->quit)
            return hasQuit();
        session_->reduction = options;
        return success();
    }
    void setSaveProgress(SaveProgress progress) override { session_->saveProgress = std::move(progress); }
    SpreadsheetStatus quit() override
    {
        session_->quit = true;
        for (auto& weak : workbooks_)
            if (auto workbook = weak.lock())
                workbook->close();
        workbooks_.clear();
        return success();
    }

private:
    static SpreadsheetError hasQuit() { return operationError("the spreadsheet application has quit"); }

    std::shared_ptr<XlsSession> session_;
    std::vector<std::weak_ptr<Workbook>> workbooks_;
};

} // namespace tavorin::xls
