#include "EngineRunScenarios.h"

#include "run/RotationMark.h"

#include "support/TestPaths.h"

namespace tavorin::test {
namespace {

struct Source {
    std::filesystem::path path;
    double width, height;
};

// Pixel sizes of the fixtures at 96 dpi (3/4 point per pixel); the metafiles' frames in inches.
Source land() { return {pictureFixture("land.jpg"), 240, 180}; }
Source portrait() { return {pictureFixture("portrait.png"), 180, 240}; }
Source square() { return {pictureFixture("square.bmp"), 112.5, 112.5}; }
Source wide() { return {pictureFixture("wide.gif"), 150, 75}; }
Source tall() { return {pictureFixture("tall.tif"), 75, 225}; }

void addPicture(Scenario& scenario, const Source& source, int degrees, const QString& sheet, int slot, int firstRow,
                int firstColumn, int lastRow, int lastColumn)
{
    scenario.options.pictures.push_back(EngineRun::pictureRow(source.path, rotationMarkFor(degrees)));
    scenario.pictures.push_back(ExpectedPicture{source.path, degrees, source.width, source.height, sheet, slot,
                                                firstRow, firstColumn, lastRow, lastColumn});
}

ExpectedCaption text(const QString& sheet, const QString& cell, const QString& value)
{
    return {sheet, cell, ExpectedCaption::Kind::Text, value, 0, {}};
}
ExpectedCaption number(const QString& sheet, const QString& cell, double value)
{
    return {sheet, cell, ExpectedCaption::Kind::Number, {}, value, {}};
}
ExpectedCaption date(const QString& sheet, const QString& cell, const QString& format)
{
    return {sheet, cell, ExpectedCaption::Kind::Date, {}, sampleDateSerial, format};
}

} // namespace

Scenario japaneseLedgerScenario(const std::filesystem::path& workbook, const MetafileSamples& metafiles)
{
    Scenario s;
    s.options = EngineRun::optionsFor(workbook, {QStringLiteral("台帳")});
    RunOptions& o = s.options;
    o.startColumn = 2;  // B
    o.endColumn = 5;    // E
    o.startRow = 3;
    o.endRow = 10;
    o.startRowIndex = 2;
    o.endRowIndex = 9;
    o.rowSpacing = 2;
    o.picturesPerSheet = 4;
    o.sheetNameText = QStringLiteral("写真");
    o.magnificationText = QStringLiteral("100");
    o.numberCaption = {true, 2, 2};   // B2
    o.firstNumberText = QStringLiteral("1");
    o.numberWithPrefix = true;
    o.dateCaption = {true, 2, 4};     // D2
    o.dateFormat = 0;
    o.nameCaption = {true, 2, 7};     // G2, inside the merged F2:G2
    s.sheetsAfter = {QStringLiteral("台帳"), QStringLiteral("写真(1)"), QStringLiteral("写真(2)"), QStringLiteral("写真(3)")};

    const std::vector<Source> sources{land(),
                                      portrait(),
                                      square(),
                                      wide(),
                                      tall(),
                                      {metafiles.wmf, 72, 72},
                                      {metafiles.emf, 144, 72},
                                      {metafiles.wmz, 72, 72},
                                      {metafiles.emz, 144, 72}};
    const int marks[] = {0, 90, 180, 270};
    for (int k = 0; k < static_cast<int>(sources.size()); ++k) {
        // Four blocks per copy, ten rows apart: 3-10, 13-20, 23-30, 33-40.
        const QString sheet = QStringLiteral("写真(%1)").arg(k / 4 + 1);
        const int slot = k % 4;
        const int top = 3 + 10 * slot;
        addPicture(s, sources[static_cast<std::size_t>(k)], marks[k % 4], sheet, slot, top, 2, top + 7, 5);
        const QString captionRow = QString::number(top - 1);
        s.captions.push_back(text(sheet, "B" + captionRow, QStringLiteral("No.%1").arg(k + 1)));
        s.captions.push_back(date(sheet, "D" + captionRow, QStringLiteral("yyyy\"年\"m\"月\"d\"日\";@")));
        s.captions.push_back(text(sheet, "F" + captionRow, s.options.pictures.back().name));
    }
    return s;
}

Scenario arialLedgerScenario(const std::filesystem::path& workbook, const MetafileSamples& metafiles)
{
    Scenario s;
    s.options = EngineRun::optionsFor(workbook, {QStringLiteral("Sheet1"), QStringLiteral("My Sheet")});
    RunOptions& o = s.options;
    o.startColumn = 2;  // B
    o.endColumn = 4;    // D
    o.startRow = 3;
    o.endRow = 11;
    o.startRowIndex = 2;
    o.endRowIndex = 10;
    o.rowSpacing = 1;
    o.picturesPerSheet = 3;
    o.singleColumnForm = false;
    o.twoColumnForm = true;
    o.pairGap = 1;      // right block F:H
    o.sheetNameText = QStringLiteral("Photo");
    o.magnificationText = QStringLiteral("80");
    s.magnification = 0.8;
    o.dateCaption = {true, 2, 2};     // B2, a 32-pixel column
    o.dateFormat = 3;
    o.numberCaption = {true, 2, 1};   // A2
    o.firstNumberText = QStringLiteral("5");
    o.numberWithPrefix = false;
    o.nameCaption = {true, 2, 4};     // D2; the right block's H2 lies in the merged G2:H2
    o.nameWithoutExtension = true;
    s.sheetsAfter = {QStringLiteral("Sheet1"), QStringLiteral("My Sheet"), QStringLiteral("Photo(1)"),
                     QStringLiteral("Photo(2)")};

    const std::vector<Source> sources{{metafiles.emz, 144, 72}, tall(), land(), portrait(), wide(), square()};
    const std::vector<QString> bases{" wide", " tall", " land", " portrait", " wide", " square"};
    const int marks[] = {90, 180, 270, 0, 90, 180};
    // Per copy: left and right block of the first row, then the left block of the second row.
    struct Place {
        int top, left;
        QString dateCell, numberCell, nameCell;
    };
    const Place places[] = {{3, 2, "B2", "A2", "D2"}, {3, 6, "F2", "E2", "G2"}, {13, 2, "B12", "A12", "D12"}};
    for (int k = 0; k < static_cast<int>(sources.size()); ++k) {
        const QString sheet = QStringLiteral("Photo(%1)").arg(k / 3 + 1);
        const Place& place = places[k % 3];
        addPicture(s, sources[static_cast<std::size_t>(k)], marks[k], sheet, k % 3, place.top, place.left,
                   place.top + 8, place.left + 2);
        s.captions.push_back(date(sheet, place.dateCell, QStringLiteral("yyyy/m/d h:mm;@")));
        s.captions.push_back(number(sheet, place.numberCell, 5 + k));
        s.captions.push_back(text(sheet, place.nameCell, bases[static_cast<std::size_t>(k)]));
    }
    return s;
}

} // namespace tavorin::test
