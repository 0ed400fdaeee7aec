// Feeds arbitrary bytes to the .xlsx readers as a package file: the sheet listing, then the whole
// document as the run opens it (every worksheet with its geometry, drawing and styles), a sheet
// copy and a caption written into memory. Nothing is saved.
#include "platform/xlsx/XlsxSheetListing.h"
#include "platform/xlsx/model/SheetPictures.h"
#include "platform/xlsx/model/XlsxDocument.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace tavorin::xlsx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("fuzz-xlsx-" + std::to_string(::getpid()) + ".xlsx");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    (void)XlsxSheetListing::worksheetNames(path);
    (void)XlsxSheetListing::isBinaryWorkbook(path);
    auto document = XlsxDocument::open(path);
    if (!document)
        return 0;
    XlsxDocument& book = **document;
    (void)book.maximumDigitWidth();
    for (std::size_t i = 0; i < book.sheets().size() && i < 8; ++i) {
        XlsxSheet& sheet = *book.sheets()[i];
        if (!book.load(sheet))
            continue;
        (void)sheet.geometry->rangeBox(0, 0, 40, 10);
        (void)sheet.content->setValue({2, 2}, std::string("No.1"));
        if (auto drawing = book.drawing(sheet, false); drawing)
            for (const auto& frame : sheet.frames)
                (void)SheetPictures(book, sheet).frame(frame.first);
    }
    if (!book.sheets().empty())
        (void)book.copySheet(0, book.sheets().size() - 1);
    return 0;
}
