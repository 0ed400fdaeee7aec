#pragma once

#include "platform/CalendarDateTime.h"
#include "platform/RunningApplicationProbe.h"
#include "platform/SpreadsheetApplication.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace tavorin {

class RunObserver;

// What the run needs from outside; the window and the command line pass the real ones, tests
// pass stand-ins.
struct RunEnvironment {
    // Who has the workbook open elsewhere, if anyone.
    std::function<std::optional<WorkbookUser>(const std::filesystem::path& workbook)> workbookOpenElsewhere;
    // A fresh, invisible spreadsheet application for this run.
    SpreadsheetApplicationFactory createApplication;
    // A file's creation date and time on the desktop's clock; nothing when it cannot be read.
    std::function<std::optional<CalendarDateTime>(const std::filesystem::path&)> fileCreationTime;
    // When a photo was taken (EXIF); nothing for a picture that does not say. May be left empty:
    // the date caption then shows the file's creation date.
    std::function<std::optional<CalendarDateTime>(const std::filesystem::path&)> photoTakenTime;
    // Today's date in the desktop's long date form, for sheet names.
    std::function<QString()> longDateToday;
    RunObserver* observer = nullptr;
};

} // namespace tavorin
