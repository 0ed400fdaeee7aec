#pragma once

#include "platform/SpreadsheetApplication.h"

#include <memory>

namespace tavorin {

// The spreadsheet application of the program: it opens each workbook with the engine of its
// format, judged by the file's content (the .xls engine for compound files, the .xlsx engine for
// zip packages), so that the run works alike on both without knowing which it has.
class AnyFormatApplication final : public SpreadsheetApplication {
public:
    // Ranges and pictures are measured in the columns of the program they are fitted for.
    explicit AnyFormatApplication(FitFor fitFor = FitFor::Excel);
    ~AnyFormatApplication() override;

    SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) override;
    SpreadsheetStatus setScreenUpdating(bool value) override;
    SpreadsheetStatus setDisplayAlerts(bool value) override;
    SpreadsheetStatus quit() override;
    SpreadsheetStatus setPhotoOrientation(bool applied) override;
    SpreadsheetStatus setPictureReduction(const pictures::ReductionOptions& options) override;
    void setSaveProgress(SaveProgress progress) override;

private:
    std::unique_ptr<SpreadsheetApplication> xls_;
    std::unique_ptr<SpreadsheetApplication> xlsx_;
};

} // namespace tavorin
