#pragma once

#include "platform/DateSource.h"
#include "platform/FitFor.h"
#include "run/PictureRow.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace tavorin {

// One caption's switch and cell. The row is the number the row chooser shows (a pasted text
// may give a fraction or a number that is not an item); the column is 1-based.
struct CaptionPlace {
    bool on = false;
    double row = 1;
    int column = 1;
};

// Everything the run reads from the window (or the command line) when "START" is pressed.
// Numbers are what the controls show: column = selected index + 1, row = number shown,
// spacing = selected index. The two number fields stay texts because the run itself fills
// them when blank and reads them as the window would.
struct RunOptions {
    // Workbook side.
    bool workbookChosen = false;            // Label1 not empty
    std::filesystem::path workbookPath;     // TextA
    std::filesystem::path saveTo;           // where the result is written; empty: over the workbook
    QStringList sheetNames;                 // List1
    int selectedSheet = -1;                 // List1 selected index

    // Picture list, in order (name, full path, rotation mark).
    std::vector<PictureRow> pictures;

    // Picture block and layout.
    int startColumn = 1;                    // Combo1 index + 1
    int endColumn = 1;                      // Combo2 index + 1
    double startRow = 1;                    // number shown in Combo3
    double endRow = 1;                      // number shown in Combo4
    int startRowIndex = 0;                  // Combo3 selected index (a new sheet restarts there)
    int endRowIndex = 0;                    // Combo4 selected index
    int rowSpacing = 0;                     // Combo5 index: empty rows between blocks
    int picturesPerSheet = 0;               // Combo6 index: 0 = "ALL"
    bool singleColumnForm = true;           // Check7 on
    bool twoColumnForm = false;             // Check8 on
    int pairGap = 0;                        // Combo14 index: empty columns inside a pair
    QString magnificationText = "100";      // Text1

    // Captions.
    CaptionPlace dateCaption;               // Check2, Combo7, Combo8
    int dateFormat = 0;                     // Combo13 index
    CaptionPlace numberCaption;             // Check5, Combo9, Combo10
    QString firstNumberText = "0";          // Text3
    bool numberWithPrefix = true;           // Option1 ("No.1") selected
    CaptionPlace nameCaption;               // Check6, Combo12, Combo11
    bool nameWithoutExtension = false;      // Check9

    // Whose columns the pictures are fitted in (Excel's, or LibreOffice's wider ones).
    FitFor fitFor = FitFor::Excel;
    // Photos as viewers show them (their EXIF orientation applied), or as stored.
    bool photoOrientation = true;
    // Pictures stored with at most this many pixels per inch of their frame (0: as they are),
    // photos then encoded as JPEG of this quality.
    int pictureDpi = 0;
    int jpegQuality = 85;
    // The date the date caption shows.
    DateSource dateSource = DateSource::FileCreated;

    // Names of the sheet copies.
    bool sheetNameFromDate = false;         // Check4
    QString sheetNameText;                  // Text2
};

} // namespace tavorin
