#pragma once

#include "platform/FitFor.h"
#include "platform/pictures/PictureReducer.h"

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
};

} // namespace tavorin::xls
