#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace tavorin {

// A picture the run could not place, and why.
struct UnplacedPicture {
    int index = 0;                  // 0-based position in the list
    std::filesystem::path path;
    QString reason;
};

// How a run ended.
struct RunOutcome {
    enum class Stage {
        MissingInput,         // the checks refused; nothing was touched
        SpreadsheetRunning,   // a spreadsheet application holds the workbook; nothing was touched
        Completed,            // the run went through to its completion
    };
    Stage stage = Stage::MissingInput;
    bool saved = false;             // the workbook file was replaced
    QString saveError;              // why it was not, when it was not
    int placed = 0;                 // pictures inserted and fitted
    int sheetsUsed = 0;             // sheets that received pictures
    std::vector<UnplacedPicture> unplaced;
    QString message;                // the text of the final message box
};

} // namespace tavorin
