#pragma once

#include "platform/RunningApplicationProbe.h"
#include "platform/WorkbookLock.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

namespace tavorin {

// A picture the run could not place, and why.
struct UnplacedPicture {
    int index = 0;                  // 0-based position in the list
    std::filesystem::path path;
    QString reason;                 // in the window's language
    QString engineReason = {};      // the engine's own description, for the command line
};

// How a run ended.
struct RunOutcome {
    enum class Stage {
        MissingInput,         // the checks refused; nothing was touched
        SpreadsheetRunning,   // the workbook is open elsewhere (openElsewhere says where); nothing was touched
        WorkbookInUse,        // another run (or LibreOffice) holds the workbook's lock; nothing was read
        Completed,            // the run went through to its completion
        Interrupted,          // a termination signal stopped the run before it saved; no message
    };
    Stage stage = Stage::MissingInput;
    bool saved = false;             // the workbook file was replaced
    QString saveError;              // why it was not, when it was not
    bool changedOnDisk = false;     // not saved: another program changed the workbook meanwhile
    std::optional<WorkbookLock::Holder> lockHolder; // who holds the workbook, for WorkbookInUse
    std::optional<WorkbookUser> openElsewhere;      // where it is open, for SpreadsheetRunning
    int placed = 0;                 // pictures inserted and fitted
    int sheetsUsed = 0;             // sheets that received pictures
    std::vector<UnplacedPicture> unplaced;
    // Placed and saved, but stored as they were: their pixels did not decode for reduction.
    std::vector<std::filesystem::path> notReduced;
    QString message;                // the text of the final message box
};

} // namespace tavorin
