#include "platform/WorkbookFormat.h"

#include "platform/xls/compound/CompoundFile.h"
#include "platform/xlsx/XlsxSheetListing.h"

#include <array>
#include <cstring>
#include <fstream>

namespace tavorin {

WorkbookFormat detectWorkbookFormat(const std::filesystem::path& path)
{
    std::array<char, 8> head{};
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), head.size());
    const auto count = in.gcount();
    in.close();
    static constexpr std::array<unsigned char, 8> compound{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (count == 8 && std::memcmp(head.data(), compound.data(), 8) == 0) {
        // Office keeps a password-protected .xlsx as a compound file with its package encrypted
        // inside ([MS-OFFCRYPTO]).
        if (auto file = xls::CompoundFile::open(path)) {
            for (const auto& entry : file->entries())
                if (entry.type == xls::DirectoryEntry::Type::Stream && entry.utf8Name() == "EncryptedPackage")
                    return WorkbookFormat::EncryptedPackage;
        }
        return WorkbookFormat::Excel97;
    }
    if (count >= 4 && head[0] == 'P' && head[1] == 'K' && (head[2] == 3 || head[2] == 5) && (head[3] == 4 || head[3] == 6))
        return xlsx::XlsxSheetListing::isBinaryWorkbook(path) ? WorkbookFormat::BinaryWorkbook
                                                               : WorkbookFormat::OfficeOpenXml;
    return WorkbookFormat::Excel97;
}

} // namespace tavorin
