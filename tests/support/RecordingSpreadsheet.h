#pragma once

#include "platform/CellAddress.h"
#include "platform/CellValue.h"
#include "platform/SpreadsheetApplication.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tavorin::test {

// A spreadsheet for tests behind the operations interface. It records every call, in order, as
// a readable line such as `Sheet("Sheet1").Range(3,1,10,1).Select`, and answers like a
// spreadsheet: sheets with names and positions, copies after an anchor that become active,
// cell values through merged areas, column widths, range geometry from configurable column
// widths and row heights, and pictures with natural sizes that keep their aspect ratio.
// Chosen calls can be made to fail.
//
// The recorder owns the state; makeApplication() hands out application objects that work on it,
// so a run can own and drop its application while the test still inspects what happened.
class RecordingSpreadsheet {
public:
    struct Shape {
        std::string name;
        std::filesystem::path path;
        double left = 0, top = 0, width = 0, height = 0;
        double rotation = 0;
    };

    // The workbook that openWorkbook() opens, whatever the path: these sheets in this order, the
    // first active.
    explicit RecordingSpreadsheet(std::vector<std::string> sheetNames = {"Sheet1"});
    ~RecordingSpreadsheet();
    RecordingSpreadsheet(const RecordingSpreadsheet&) = delete;
    RecordingSpreadsheet& operator=(const RecordingSpreadsheet&) = delete;

    // A new application object on this recorder's state (one per run, like a fresh Excel).
    std::unique_ptr<SpreadsheetApplication> makeApplication();
    SpreadsheetApplicationFactory factory();

    // --- set-up (before the run) ---
    // Column widths and row heights in points for every sheet, uniform or per column/row (1-based).
    void setColumnWidthPoints(double points);
    void setColumnWidthPoints(int column, double points);
    void setRowHeightPoints(double points);
    void setRowHeightPoints(int row, double points);
    // A merged area on a sheet of the workbook (copies take it along).
    void addMergedArea(const std::string& sheet, CellRange area);
    // Natural size in points of a picture file when inserted; others get the default size.
    void setNaturalSize(const std::filesystem::path& picture, double width, double height);
    void setDefaultNaturalSize(double width, double height);
    // Name prefix of inserted pictures, numbered per sheet from 1 ("図 1", "図 2", ...).
    void setPictureNamePrefix(std::string prefix);

    // --- failures ---
    // Every call whose recorded line starts with `prefix` fails (it is still recorded).
    void failCallsStartingWith(std::string prefix);
    // Renaming any sheet to this name fails; the sheet keeps its old name.
    void refuseSheetName(std::string name);
    // Inserting this picture fails.
    void failPictureInsert(const std::filesystem::path& picture);
    // Opening any workbook fails.
    void failOpen();

    // --- what happened ---
    const std::vector<std::string>& calls() const;
    // The recorded lines of the calls that failed, in order.
    std::vector<std::string> failedCalls() const;
    void clearCalls();

    bool workbookOpen() const;
    std::vector<std::string> sheetNames() const;
    std::string activeSheetName() const;
    std::optional<CellValue> cellValue(const std::string& sheet, CellAddress cell) const;
    std::optional<std::string> numberFormat(const std::string& sheet, CellAddress cell) const;
    // ColumnWidth of a column (1-based) in character units, as the sheet would report it.
    double columnWidthCharacters(const std::string& sheet, int column) const;
    std::vector<Shape> shapes(const std::string& sheet) const;
    std::optional<CellAddress> insertionPoint(const std::string& sheet) const;
    std::vector<std::filesystem::path> savedPaths() const;
    std::optional<bool> screenUpdating() const;
    std::optional<bool> displayAlerts() const;
    bool quitCalled() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace tavorin::test
