#pragma once

namespace tavorin::xlsx {

// What the workbooks of one application share: its settings and whether it has quit.
struct XlsxSession {
    bool displayAlerts = true;
    bool screenUpdating = true;
    bool photoOrientation = true;  // photos inserted as viewers show them
    bool quit = false;
};

} // namespace tavorin::xlsx
