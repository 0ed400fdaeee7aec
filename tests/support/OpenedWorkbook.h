#pragma once

// A workbook opened through the operations interface with the native engine, as the run opens it,
// for tests that write cells, copy sheets and place pictures in a copy of a fixture and then hand
// the saved file to the independent readers.

#include "platform/SpreadsheetApplication.h"
#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace tavorin::test {

struct OpenedWorkbook {
    std::shared_ptr<SpreadsheetApplication> application;
    std::shared_ptr<SpreadsheetWorkbook> workbook;
    std::shared_ptr<SpreadsheetWorksheet> first; // the first sheet in tab order
    std::filesystem::path path;

    // Saves over the file it was opened from; a failure fails the test.
    void save()
    {
        auto saved = workbook ? workbook->saveAs(path) : SpreadsheetStatus(operationError("not open"));
        EXPECT_TRUE(saved.ok()) << (saved.ok() ? "" : saved.error().describe());
    }
};

// Opens path with alerts off; a workbook that does not open fails the test and leaves it empty.
inline OpenedWorkbook openWorkbook(const std::filesystem::path& path)
{
    OpenedWorkbook opened{std::make_shared<xls::XlsApplication>(), nullptr, nullptr, path};
    EXPECT_TRUE(opened.application->setDisplayAlerts(false).ok());
    auto workbook = opened.application->openWorkbook(path);
    if (!workbook) {
        ADD_FAILURE() << workbook.error().describe();
        return opened;
    }
    opened.workbook = *workbook;
    if (auto first = opened.workbook->sheetAt(1))
        opened.first = *first;
    return opened;
}

// A writable copy of a fixture in folder, opened.
inline OpenedWorkbook openCopy(const TemporaryFolder& folder, const std::string& fixture)
{
    return openWorkbook(copyWorkbook(folder.path(), fixture));
}

// Selects a block whose top-left cell is at (row, column), 1-based, and inserts a picture there.
inline std::string insertAt(SpreadsheetWorksheet& sheet, int row, int column,
                            const std::filesystem::path& picture)
{
    EXPECT_TRUE(sheet.selectRange({{row, column}, {row + 3, column + 2}}).ok());
    auto name = sheet.insertPicture(picture);
    EXPECT_TRUE(name.ok()) << picture << ": " << (name ? "" : name.error().describe());
    return name ? *name : std::string();
}

} // namespace tavorin::test
