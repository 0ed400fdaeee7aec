#pragma once

// A workbook opened through the operations interface, as the run opens it, for the tests that
// edit pictures and shapes and then hand the saved file to the independent readers.

#include "platform/SpreadsheetApplication.h"
#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"

#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace tavorin::test {

struct OpenedWorkbook {
    std::shared_ptr<SpreadsheetApplication> application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
    std::shared_ptr<SpreadsheetWorksheet> first; // the first sheet in tab order
};

// Opens path with alerts off; a workbook that does not open fails the test and leaves the
// members empty.
inline OpenedWorkbook openWorkbook(const std::filesystem::path& path)
{
    OpenedWorkbook opened;
    opened.application = std::make_shared<xls::XlsApplication>();
    EXPECT_TRUE(opened.application->setDisplayAlerts(false).ok());
    auto workbook = opened.application->openWorkbook(path);
    if (!workbook) {
        ADD_FAILURE() << workbook.error().describe();
        return opened;
    }
    opened.workbook = *workbook;
    auto first = opened.workbook->sheetAt(1);
    if (first)
        opened.first = *first;
    return opened;
}

// Copies a fixture to copy and opens the copy.
inline OpenedWorkbook openCopy(const std::string& fixture, const std::filesystem::path& copy)
{
    std::filesystem::copy_file(workbookFixture(fixture), copy);
    return openWorkbook(copy);
}

} // namespace tavorin::test
