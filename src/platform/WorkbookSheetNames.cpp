#include "platform/WorkbookSheetNames.h"

#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/records/BiffString.h"
#include "platform/xlsx/XlsxSheetListing.h"

namespace tavorin {

std::string unsupportedFormatReason(WorkbookFormat format)
{
    switch (format) {
    case WorkbookFormat::EncryptedPackage:
        return "the workbook is encrypted (it has a password to open); save it without the password first";
    case WorkbookFormat::BinaryWorkbook:
        return "the workbook is an Excel binary workbook (.xlsb), which is not supported; save it as .xlsx first";
    default:
        return {};
    }
}

SpreadsheetResult<std::vector<std::string>> workbookSheetNames(const std::filesystem::path& path)
{
    const WorkbookFormat format = detectWorkbookFormat(path);
    if (auto reason = unsupportedFormatReason(format); !reason.empty()) {
        SpreadsheetError error{reason, "format", std::nullopt, std::nullopt};
        error.encrypted = format == WorkbookFormat::EncryptedPackage;
        return error;
    }
    if (format == WorkbookFormat::OfficeOpenXml)
        return xlsx::XlsxSheetListing::worksheetNames(path);
    auto names = xls::WorkbookFile::worksheetNames(path);
    if (!names)
        return names.error();
    std::vector<std::string> utf8;
    utf8.reserve(names->size());
    for (const auto& name : *names)
        utf8.push_back(xls::BiffString::toUtf8(name));
    return utf8;
}

} // namespace tavorin
