#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/SpreadsheetApplication.h"

namespace tavorin {

class MessageSink;
class RunningApplicationProbe;

// What the main window needs from outside. The program passes the real ones; tests pass
// recording or scripted stand-ins.
struct Form1Dependencies {
    MessageSink& messages;
    const RunningApplicationProbe& runningApplications;
    std::filesystem::path settingsFile;       // the 49-byte settings record
    std::function<void()> endProgram;         // "ＥＮＤ": close every window and quit
    // "START": a fresh spreadsheet engine for one run.
    SpreadsheetApplicationFactory createSpreadsheet;
};

} // namespace tavorin
