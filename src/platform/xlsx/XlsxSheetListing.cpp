#include "platform/xlsx/XlsxSheetListing.h"

#include "platform/xlsx/model/WorkbookPart.h"
#include "platform/xlsx/package/Package.h"
#include "platform/xlsx/package/PartName.h"

namespace tavorin::xlsx::XlsxSheetListing {

Result<std::vector<std::string>> worksheetNames(const std::filesystem::path& path)
{
    auto package = Package::open(path);
    if (!package)
        return package.error();
    auto workbook = WorkbookPart::read(*package);
    if (!workbook)
        return workbook.error();
    std::vector<std::string> names;
    for (const auto& sheet : workbook->sheets())
        if (sheet.kind == WorkbookPart::SheetKind::Worksheet)
            names.push_back(sheet.name);
    return names;
}

bool isBinaryWorkbook(const std::filesystem::path& path)
{
    auto archive = ZipArchive::open(path);
    if (!archive)
        return false;
    if (archive->find("xl/workbook.bin"))
        return true;
    const auto* rels = archive->find("_rels/.rels");
    if (!rels)
        return false;
    auto bytes = archive->read(*rels);
    if (!bytes)
        return false;
    auto relationships = Relationships::parse(*bytes, rels->name);
    if (!relationships)
        return false;
    const auto* office = relationships->firstOfKind("officeDocument");
    return office && PartName::extensionOf(office->target) == "bin";
}

} // namespace tavorin::xlsx::XlsxSheetListing
