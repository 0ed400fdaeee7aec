#pragma once

namespace tavorin::xls {

// What the workbooks of one application share: its settings and whether it has quit.
struct XlsSession {
    bool displayAlerts = true;
    bool screenUpdating = true;
    bool quit = false;
};

} // namespace tavorin::xls
