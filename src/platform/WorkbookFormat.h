#pragma once

#include <filesystem>

namespace tavorin {

// What a workbook file holds, judged by its content, never by its name.
enum class WorkbookFormat {
    Excel97,          // a compound file (.xls), or anything else the .xls engine may read
    OfficeOpenXml,    // a zip package (.xlsx, .xlsm)
    EncryptedPackage, // a compound file holding an encrypted Office package (password to open)
    BinaryWorkbook,   // a zip package whose workbook is binary (.xlsb)
};

// Looks at the file's first bytes, and for a compound file or zip at its directory.
WorkbookFormat detectWorkbookFormat(const std::filesystem::path& path);

} // namespace tavorin
