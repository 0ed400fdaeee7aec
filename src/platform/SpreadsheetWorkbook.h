#pragma once

#include "platform/SpreadsheetResult.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavorin {

class SpreadsheetWorksheet;

// An open workbook. Sheets handed out stay valid for the workbook's life, also after copies
// are inserted before them.
class SpreadsheetWorkbook {
public:
    virtual ~SpreadsheetWorkbook() = default;

    // Worksheets(name) / Sheets(name): the worksheet of that exact name.
    virtual SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> worksheet(const std::string& name) = 0;
    // Sheets(position): the sheet at a 1-based position in tab order.
    virtual SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> sheetAt(int position) = 0;
    // Sheets.Count: the number of sheets in tab order.
    virtual SpreadsheetResult<int> sheetCount() = 0;
    // ActiveSheet: the sheet last selected, or the copy made last.
    virtual SpreadsheetResult<std::shared_ptr<SpreadsheetWorksheet>> activeSheet() = 0;
    // SaveAs(path): writes the whole workbook in its own format, replacing the file atomically.
    // Over the file the workbook was opened from, it fails (isChangedOnDisk) when another
    // program changed or replaced that file meanwhile, and leaves it as it is.
    virtual SpreadsheetStatus saveAs(const std::filesystem::path& path) = 0;
    // After a save with pictures reduced: those whose pixels did not decode, stored as they were.
    virtual std::vector<std::filesystem::path> picturesNotReduced() const { return {}; }
};

} // namespace tavorin
