#pragma once

#include <QImage>

#include <filesystem>
#include <vector>

namespace tavorin::test {

// What LibreOffice Calc prints for workbooks, as pictures: each workbook converted to PDF by
// LibreOffice headless (one run for all of them, a private profile), each PDF page turned into
// pixels by pdftoppm at dpi. One list of pages per workbook, in sheet order; a missing program
// fails the test with its name, and so do two workbooks of the same name (one PDF each).
std::vector<std::vector<QImage>> libreOfficePages(const std::vector<std::filesystem::path>& workbooks,
                                                  const std::filesystem::path& folder, int dpi = 96);

} // namespace tavorin::test
