#pragma once

#include "support/EngineRun.h"
#include "support/MetafileSamples.h"
#include "support/PlacementChecks.h"

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace tavorin::test {

// A caption cell the run must have written (A1 reference on a sheet copy).
struct ExpectedCaption {
    QString sheet;
    QString cell;
    enum class Kind { Text, Number, Date } kind = Kind::Text;
    QString text;   // text captions
    double number = 0; // number and date captions (a date as the workbook's serial number)
    QString format;    // number format of date captions
};

struct Scenario {
    RunOptions options;
    QStringList sheetsAfter;  // every sheet name after the run, in order
    std::vector<ExpectedPicture> pictures;
    std::vector<ExpectedCaption> captions;
    double magnification = 1;
};

// jp_ledger.xls (Normal font ＭＳ Ｐゴシック 11): single-column form, blocks B3:E10 with two
// empty rows between them, four pictures per sheet copy named 写真(n), nine pictures of every
// kind the engine takes (JPEG, PNG, BMP, GIF, TIFF, WMF, EMF, WMZ, EMZ) with the marks in turn;
// a "No." number, the date (format 0) and the file name (into the merged F:G caption cells).
Scenario japaneseLedgerScenario(const std::filesystem::path& workbook, const MetafileSamples& metafiles);

// ledger.xls (Normal font Arial 10, columns of 64 and 32 pixels in turn): two-column form with
// one empty column between the pair, blocks B3:D11 and F3:H11, one empty row between block
// rows, three pictures per copy named Photo(n) after "My Sheet", magnification 80; a plain
// number from 5, the date (format 3) in the narrow column B and the name without extension.
Scenario arialLedgerScenario(const std::filesystem::path& workbook, const MetafileSamples& metafiles);

// 2001-03-14 13:30, the creation time EngineRun gives every picture, as a serial number.
constexpr double sampleDateSerial = 36964.5625;

} // namespace tavorin::test
