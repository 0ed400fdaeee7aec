#pragma once

#include "platform/FitFor.h"
#include "platform/SpreadsheetResult.h"
#include "platform/pictures/PictureReducer.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace tavorin {

class SpreadsheetWorkbook;

// A spreadsheet application instance that belongs to one insertion run. It is invisible and
// started fresh for the run (the native engine: nothing outside the program is started).
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // Workbooks.Open(path): reads the workbook; it stays open until quit().
    virtual SpreadsheetResult<std::shared_ptr<SpreadsheetWorkbook>> openWorkbook(const std::filesystem::path& path) = 0;
    // ScreenUpdating := value (nothing to redraw here; kept so the run's sequence is visible).
    virtual SpreadsheetStatus setScreenUpdating(bool value) = 0;
    // DisplayAlerts := value; with false, saving over an existing file asks nothing.
    virtual SpreadsheetStatus setDisplayAlerts(bool value) = 0;
    // Quit: ends the instance; open workbooks are closed without saving.
    virtual SpreadsheetStatus quit() = 0;
    // How Pictures.Insert places a photo whose EXIF orientation turns or mirrors it: true, as
    // photo viewers show it (the shape turned and mirrored accordingly, the picture's bytes
    // saying "as stored"); false, its pixels as stored, as Excel 97-2003 inserts them. An
    // application that cannot tell says so and inserts pictures as stored.
    virtual SpreadsheetStatus setPhotoOrientation(bool applied)
    {
        (void)applied;
        return operationError("this spreadsheet application inserts pictures as stored");
    }
    // Pictures stored with at most options.dpi pixels per inch of the frame they are shown at,
    // when a workbook is saved (options.dpi 0: as they are). An application that cannot says so.
    virtual SpreadsheetStatus setPictureReduction(const pictures::ReductionOptions& options)
    {
        (void)options;
        return operationError("this spreadsheet application stores pictures as they are");
    }
    // How far a save has come, 0 to 1, told while it reduces pictures and writes.
    using SaveProgress = std::function<void(double)>;
    virtual void setSaveProgress(SaveProgress progress) { (void)progress; }
};

// Creates a fresh, invisible application for one run (the native engine, or a stand-in in
// tests) that measures ranges and pictures in the columns of the program they are fitted for.
using SpreadsheetApplicationFactory = std::function<std::unique_ptr<SpreadsheetApplication>(FitFor)>;

} // namespace tavorin
