#pragma once

#include "platform/FitFor.h"
#include "platform/SpreadsheetResult.h"
#include "platform/pictures/PictureReducer.h"

#include <filesystem>
#include <functional>

namespace tavorin::xls {

// What the workbooks of one application share: its settings and whether it has quit.
struct XlsSession {
    FitFor fitFor = FitFor::Excel; // whose columns ranges and pictures are measured in
    bool displayAlerts = true;
    bool screenUpdating = true;
    bool photoOrientation = true;  // photos inserted as viewers show them
    pictures::ReductionOptions reduction;    // pictures reduced when saved
    std::function<void(double)> saveProgress; // 0 to 1 through a save
    bool quit = false;

    // Saving over an existing file would ask before replacing it while alerts are on, and
    // nobody is there to answer.
    SpreadsheetStatus mayReplace(const std::filesystem::path& path) const
    {
        std::error_code code;
        if (displayAlerts && std::filesystem::exists(path, code))
            return operationError("saving over " + path.string() +
                                  " would ask before replacing it, and nobody can answer (alerts are on)");
        return success();
    }
};

} // namespace tavorin::xls
