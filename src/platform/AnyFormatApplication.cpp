#include "platform/AnyFormatApplication.h"

#include "platform/WorkbookSheetNames.h"
#include "platform/xls/XlsApplication.h"
#include "platform/xlsx/XlsxApplication.h"

namespace tavorin {

AnyFormatApplication::AnyFormatApplication(FitFor fitFor)
    : xls_(std::make_unique<xls::XlsApplication>(fitFor)), xlsx_(std::make_unique<xlsx::XlsxApplication>(fitFor))
{
}

AnyFormatApplication::~AnyFormatApplication() = default;

SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> AnyFormatApplication::openWorkbook(const std::filesystem::path& path)
{
    const WorkbookFormat format = detectWorkbookFormat(path);
    if (auto reason = unsupportedFormatReason(format); !reason.empty()) {
        SpreadsheetError error{reason, "format", std::nullopt, std::nullopt};
        error.encrypted = format == WorkbookFormat::EncryptedPackage;
        return error;
    }
    return format == WorkbookFormat::OfficeOpenXml ? xlsx_->openWorkbook(path) : xls_->openWorkbook(path);
}

SpreadsheetStatus AnyFormatApplication::setScreenUpdating(bool value)
{
    auto status = xls_->setScreenUpdating(value);
    auto other = xlsx_->setScreenUpdating(value);
    return status ? other : status;
}

SpreadsheetStatus AnyFormatApplication::setDisplayAlerts(bool value)
{
    auto status = xls_->setDisplayAlerts(value);
    auto other = xlsx_->setDisplayAlerts(value);
    return status ? other : status;
}

SpreadsheetStatus AnyFormatApplication::setPhotoOrientation(bool applied)
{
    auto status = xls_->setPhotoOrientation(applied);
    auto other = xlsx_->setPhotoOrientation(applied);
    return status ? other : status;
}

SpreadsheetStatus AnyFormatApplication::setPictureReduction(const pictures::ReductionOptions& options)
{
    auto status = xls_->setPictureReduction(options);
    auto other = xlsx_->setPictureReduction(options);
    return status ? other : status;
}

void AnyFormatApplication::setSaveProgress(SaveProgress progress)
{
    xls_->setSaveProgress(progress);
    xlsx_->setSaveProgress(std::move(progress));
}

SpreadsheetStatus AnyFormatApplication::quit()
{
    auto status = xls_->quit();
    auto other = xlsx_->quit();
    return status ? other : status;
}

} // namespace tavorin
