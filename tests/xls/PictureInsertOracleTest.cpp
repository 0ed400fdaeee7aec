// Pictures placed through the worksheet operations, saved, and read back by independent readers:
// Apache POI (pictures, their bytes, anchors and rotation) and xlrd (the workbook still opens).
// Anchors that POI reports are turned into points with the geometry of POI's own column and row
// records, and must give the frame the operations set.

#include "DrawingFixture.h"
#include "EngineTestSupport.h"
#include "PoiGeometry.h"
#include "OpenedWorkbook.h"
#include "support/SamplePictures.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/geometry/MaximumDigitWidth.h"
#include "platform/xls/drawing/PictureFile.h"
#include "platform/xls/geometry/SheetGeometry.h"
#include "platform/xls/XlsApplication.h"

#include <QCryptographicHash>
#include <QImage>
#include <QJsonDocument>

#include <gtest/gtest.h>

#include <set>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string md5(const Bytes& bytes)
{
    return QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Md5)
        .toHex()
        .toStdString();
}

using Opened = OpenedWorkbook;

std::string insertAt(SpreadsheetWorksheet& sheet, int row, int column, const std::filesystem::path& picture)
{
    EXPECT_TRUE(sheet.selectRange({{row, column}, {row + 5, column + 3}}).ok());
    auto name = sheet.insertPicture(picture);
    EXPECT_TRUE(name.ok()) << picture << ": " << (name ? "" : name.error().describe());
    return name ? *name : std::string();
}

QJsonObject pictureNamed(const QJsonObject& sheet, const std::string& name)
{
    // The name property is a zero-terminated string; POI keeps the terminating zero.
    for (const auto& value : sheet["pictures"].toArray()) {
        QString stored = value.toObject()["name"].toString();
        if (stored.endsWith(QChar(0)))
            stored.chop(1);
        if (stored.toStdString() == name)
            return value.toObject();
    }
    ADD_FAILURE() << "POI finds no picture " << name << " in "
                  << QJsonDocument(sheet["pictures"].toArray()).toJson().toStdString();
    return {};
}

void expectXlrdOpens(const std::filesystem::path& path)
{
    auto result = runOracle("xlrd_sheets.py", {QString::fromStdString(path.string())});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
}

// ----------------------------------------------------------------------------------------------

TEST(PictureInsertOracle, EveryFormatIsStoredAndReadBackByPoi)
{
    TemporaryFolder folder;
    writePictureFile(folder / "square.wmf", squareWmf());
    writePictureFile(folder / "wide.emf", wideEmf());
    Opened opened = openCopy("ledger.xls", folder / "book.xls");
    struct Case {
        std::filesystem::path path;
        const char* type;
        double width, height; // natural size, points
    };
    const std::vector<Case> cases{
        {pictureFixture("land.jpg"), "jpeg", 240, 180},     {pictureFixture("portrait.png"), "png", 180, 240},
        {pictureFixture("wide.gif"), "png", 150, 75},       {pictureFixture("square.bmp"), "png", 112.5, 112.5},
        {pictureFixture("tall.tif"), "png", 75, 225},       {folder / "square.wmf", "wmf", 72, 72},
        {folder / "wide.emf", "emf", 144, 72}};
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cases.size(); ++i)
        names.push_back(insertAt(*opened.first, 3 + 20 * static_cast<int>(i), 2, cases[i].path));
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(names[i], "図 " + std::to_string(i + 1));
    {
        auto saved = opened.workbook->saveAs(folder / "book.xls");
        ASSERT_TRUE(saved.ok()) << saved.error().describe();
    }

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    const QJsonObject sheet = report->value("sheets").toArray()[0].toObject();
    SheetGeometry geometry = geometryFromPoi(*report, sheet);
    ASSERT_EQ(sheet["pictures"].toArray().size(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        QJsonObject picture = pictureNamed(sheet, names[i]);
        const Case& c = cases[i];
        EXPECT_EQ(picture["type"].toString().toStdString(), c.type) << c.path;
        auto file = PictureFile::open(c.path);
        ASSERT_TRUE(file.ok());
        Bytes stored = fileBytes(file->payload().file);
        Bytes expected;
        if (file->blipType() == PictureFile::BlipType::Emf || file->blipType() == PictureFile::BlipType::Wmf) {
            // POI unpacks the metafile: the file without a WMF's placeable header.
            Bytes original = fileBytes(c.path);
            expected.assign(original.begin() + static_cast<std::ptrdiff_t>(file->header().metafileOffset), original.end());
        } else {
            expected.assign(stored.begin() + static_cast<std::ptrdiff_t>(file->payload().offset),
                            stored.begin() + static_cast<std::ptrdiff_t>(file->payload().offset + file->payload().length));
        }
        EXPECT_EQ(picture["md5"].toString().toStdString(), md5(expected)) << c.path;
        if (c.path.extension() == ".jpg" || c.path.extension() == ".png") {
            EXPECT_EQ(md5(expected), md5(fileBytes(c.path))) << "stored as it is: " << c.path;
        }
        if (picture["width"].isDouble()) {
            QImage source(QString::fromStdString(c.path.string()));
            EXPECT_EQ(picture["width"].toInt(), source.width()) << c.path;
            EXPECT_EQ(picture["height"].toInt(), source.height()) << c.path;
        }
        // At the insertion cell's corner, at natural size.
        PointRectangle box = anchorRectangle(geometry, picture);
        auto cell = geometry.rangeBox(2 + 20 * static_cast<int>(i), 1, 2 + 20 * static_cast<int>(i), 1);
        EXPECT_NEAR(box.left, cell.left, 0.5) << c.path;
        EXPECT_NEAR(box.top, cell.top, 0.5) << c.path;
        EXPECT_NEAR(box.width, c.width, 0.5) << c.path;
        EXPECT_NEAR(box.height, c.height, 0.5) << c.path;
    }
    expectXlrdOpens(folder / "book.xls");
}

TEST(PictureInsertOracle, RotatedFramesAreAnchoredTurnedAndReadBackAsSet)
{
    TemporaryFolder folder;
    Opened opened = openCopy("jp_ledger.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    struct Placed {
        std::string name;
        int rotation;
        double left, top, width, height;
    };
    std::vector<Placed> placed;
    int row = 2;
    for (int rotation : {0, 90, 180, 270}) {
        std::string name = insertAt(sheet, row, 2, pictureFixture("land.jpg"));
        ASSERT_TRUE(sheet.setShapeRotation(name, rotation).ok());
        ASSERT_TRUE(sheet.setShapeWidth(name, 160).ok());
        ASSERT_TRUE(sheet.incrementShapeLeft(name, 30.25).ok());
        ASSERT_TRUE(sheet.incrementShapeTop(name, 12.5).ok());
        placed.push_back({name, rotation, *sheet.shapeLeft(name), *sheet.shapeTop(name), *sheet.shapeWidth(name),
                          *sheet.shapeHeight(name)});
        EXPECT_NEAR(placed.back().height, 120.0, 1e-9); // 320 x 240 keeps its ratio
        row += 20;
    }
    {
        auto saved = opened.workbook->saveAs(folder / "book.xls");
        ASSERT_TRUE(saved.ok()) << saved.error().describe();
    }

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    const QJsonObject json = report->value("sheets").toArray()[0].toObject();
    SheetGeometry geometry = geometryFromPoi(*report, json);
    for (const auto& p : placed) {
        QJsonObject picture = pictureNamed(json, p.name);
        EXPECT_EQ(picture["rotation"].toInt(), p.rotation) << p.name;
        PointRectangle box = anchorRectangle(geometry, picture);
        bool sideways = p.rotation == 90 || p.rotation == 270;
        // The anchor holds the rectangle turned about the centre for 90 and 270 degrees.
        double width = sideways ? box.height : box.width;
        double height = sideways ? box.width : box.height;
        double left = box.left + box.width / 2 - width / 2;
        double top = box.top + box.height / 2 - height / 2;
        EXPECT_NEAR(left, p.left, 0.5) << p.name;
        EXPECT_NEAR(top, p.top, 0.5) << p.name;
        EXPECT_NEAR(width, p.width, 0.5) << p.name;
        EXPECT_NEAR(height, p.height, 0.5) << p.name;
    }
    expectXlrdOpens(folder / "book.xls");
}

TEST(PictureInsertOracle, SettingHeightKeepsTheRatioAndTheTopLeftCorner)
{
    TemporaryFolder folder;
    Opened opened = openCopy("ledger.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    std::string name = insertAt(sheet, 4, 3, pictureFixture("tall.tif"));
    double left = *sheet.shapeLeft(name), top = *sheet.shapeTop(name);
    EXPECT_NEAR(*sheet.shapeWidth(name), 75.0, 1e-9);
    ASSERT_TRUE(sheet.setShapeHeight(name, 90).ok());
    EXPECT_NEAR(*sheet.shapeWidth(name), 30.0, 1e-9);
    EXPECT_DOUBLE_EQ(*sheet.shapeLeft(name), left);
    EXPECT_DOUBLE_EQ(*sheet.shapeTop(name), top);
    ASSERT_TRUE(sheet.setShapeTop(name, 200).ok());
    ASSERT_TRUE(sheet.setShapeLeft(name, 50).ok());
    EXPECT_DOUBLE_EQ(*sheet.shapeTop(name), 200);
    EXPECT_DOUBLE_EQ(*sheet.shapeLeft(name), 50);
    EXPECT_FALSE(sheet.setShapeWidth(name, 0).ok());
    EXPECT_FALSE(sheet.setShapeWidth("図 99", 10).ok());
    EXPECT_FALSE(sheet.shapeWidth("図 99").ok());
}

TEST(PictureInsertOracle, AFailingPictureLeavesTheOthersAndEqualPicturesShareOneBlip)
{
    TemporaryFolder folder;
    Opened opened = openCopy("ledger.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    std::string first = insertAt(sheet, 2, 2, pictureFixture("land.jpg"));
    ASSERT_TRUE(sheet.selectRange({{30, 2}, {40, 4}}).ok());
    auto broken = sheet.insertPicture(pictureFixture("broken.jpg"));
    ASSERT_FALSE(broken.ok());
    EXPECT_NE(broken.error().message.find("broken.jpg"), std::string::npos);
    std::string second = insertAt(sheet, 30, 2, pictureFixture("name with spaces.jpeg"));
    std::string third = insertAt(sheet, 60, 2, pictureFixture("land.jpg"));
    EXPECT_EQ(first, "図 1");
    EXPECT_EQ(second, "図 2");
    EXPECT_EQ(third, "図 3");
    {
        auto saved = opened.workbook->saveAs(folder / "book.xls");
        ASSERT_TRUE(saved.ok()) << saved.error().describe();
    }

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    auto pictures = report->value("sheets").toArray()[0].toObject()["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 3);
    for (const auto& picture : pictures)
        EXPECT_EQ(picture.toObject()["md5"].toString().toStdString(), md5(fileBytes(pictureFixture("land.jpg"))));

    DrawingFixture saved = DrawingFixture::load(folder / "book.xls");
    auto group = DrawingGroup::read(saved.groupData, saved.groupPieces);
    ASSERT_TRUE(group.ok());
    ASSERT_EQ(group->blips().size(), 1u);
    EXPECT_EQ(group->blips()[0].references, 3u);
}

TEST(PictureInsertOracle, TemplatePictureSurvivesAndCopiesGetTheirOwnIds)
{
    TemporaryFolder folder;
    Opened opened = openCopy("picture_in_cell.xls", folder / "book.xls");
    auto templateSheet = opened.first;
    std::string onTemplate = insertAt(*templateSheet, 10, 2, pictureFixture("wide.gif"));
    ASSERT_TRUE(templateSheet->copyAfter(*templateSheet).ok());
    auto copy = *opened.workbook->activeSheet();
    ASSERT_TRUE(copy->copyAfter(*copy).ok()); // a copy of the copy
    std::string onCopy = insertAt(*copy, 30, 2, pictureFixture("land.jpg"));
    ASSERT_TRUE(copy->setShapeRotation(onCopy, 90).ok());
    EXPECT_EQ(*copy->shapeWidth(onCopy), 240.0);
    {
        auto saved = opened.workbook->saveAs(folder / "book.xls");
        ASSERT_TRUE(saved.ok()) << saved.error().describe();
    }

    auto report = poiReport(folder / "book.xls");
    ASSERT_TRUE(report.has_value());
    auto sheets = report->value("sheets").toArray();
    ASSERT_EQ(sheets.size(), 3);
    const std::string templateMd5 = sheets[0].toObject()["pictures"].toArray()[0].toObject()["md5"].toString().toStdString();
    EXPECT_EQ(sheets[0].toObject()["pictures"].toArray().size(), 2);
    EXPECT_EQ(sheets[1].toObject()["pictures"].toArray().size(), 3); // template picture, the gif, the jpeg
    EXPECT_EQ(sheets[2].toObject()["pictures"].toArray().size(), 2);
    for (const auto& value : sheets) {
        auto pictures = value.toObject()["pictures"].toArray();
        EXPECT_EQ(pictures[0].toObject()["md5"].toString().toStdString(), templateMd5);
    }
    EXPECT_EQ(pictureNamed(sheets[1].toObject(), onCopy)["rotation"].toInt(), 90);

    // Drawing ids and shape ids: unique across the workbook and inside the group's clusters.
    DrawingFixture saved = DrawingFixture::load(folder / "book.xls");
    auto group = DrawingGroup::read(saved.groupData, saved.groupPieces);
    ASSERT_TRUE(group.ok());
    ASSERT_EQ(saved.sheetDrawings.size(), 3u);
    std::set<std::uint32_t> drawingIds, shapeIds;
    std::uint32_t shapes = 0;
    for (const auto& run : saved.sheetDrawings) {
        auto drawing = SheetDrawing::read(run.records);
        ASSERT_TRUE(drawing.ok()) << drawing.error().describe();
        EXPECT_TRUE(drawingIds.insert(drawing->drawingId()).second);
        for (const auto& shape : drawing->shapes()) {
            EXPECT_TRUE(shapeIds.insert(shape.shapeId).second) << shape.shapeId;
            std::size_t cluster = shape.shapeId / 1024;
            ASSERT_GE(cluster, 1u);
            ASSERT_LE(cluster, group->clusters().size());
            EXPECT_EQ(group->clusters()[cluster - 1].drawingId, drawing->drawingId());
            EXPECT_LT(shape.shapeId % 1024, group->clusters()[cluster - 1].used);
            ++shapes;
        }
    }
    EXPECT_GT(group->maximumShapeId(), *shapeIds.rbegin());
    EXPECT_EQ(group->savedDrawings(), 3u);
    EXPECT_EQ(group->savedShapes(), shapes);
    // The template's picture is shown three times now.
    EXPECT_EQ(group->blips()[0].references, 3u);
    expectXlrdOpens(folder / "book.xls");
}

} // namespace

namespace {

// LibreOffice judges only what does not depend on its wider columns: the cell each picture is
// anchored in, its rotation (counted the other way round), its kind, and the row (and place in
// it) where the picture's centre lies, measured with LibreOffice's own row heights.
TEST(PictureInsertOracle, LibreOfficeShowsThemInTheirCellsTurnedTheRightWay)
{
    TemporaryFolder folder;
    Opened opened = openCopy("jp_ledger.xls", folder / "book.xls");
    auto& sheet = *opened.first;
    struct Placed {
        std::string name;
        int rotation;
        double centreY;
    };
    std::vector<Placed> placed;
    int row = 3;
    for (int rotation : {0, 90, 180, 270}) {
        std::string name = insertAt(sheet, row, 3, pictureFixture(rotation == 90 ? "wide.gif" : "land.jpg"));
        if (rotation != 0) {
            ASSERT_TRUE(sheet.setShapeRotation(name, rotation).ok());
        }
        placed.push_back({name, rotation, *sheet.shapeTop(name) + *sheet.shapeHeight(name) / 2});
        row += 25;
    }
    {
        auto saved = opened.workbook->saveAs(folder / "book.xls");
        ASSERT_TRUE(saved.ok()) << saved.error().describe();
    }
    auto poi = poiReport(folder / "book.xls");
    ASSERT_TRUE(poi.has_value());
    SheetGeometry excel = geometryFromPoi(*poi, poi->value("sheets").toArray()[0].toObject());

    auto result = runOracle("lo_dump.py", {QString::fromStdString((folder / "book.xls").string())}, 300000);
    ASSERT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    auto report = QJsonDocument::fromJson(result.standardOutput.toUtf8()).object();
    auto libreSheet = report["sheets"].toArray()[0].toObject();
    auto graphics = libreSheet["graphics"].toArray();
    ASSERT_EQ(graphics.size(), static_cast<int>(placed.size()));
    std::vector<double> rowTops{0}, rowHeights; // 1/100 mm, LibreOffice's rows
    for (const auto& value : libreSheet["rows"].toArray()) {
        rowHeights.push_back(value.toObject()["height"].toDouble());
        rowTops.push_back(rowTops.back() + rowHeights.back());
    }
    // Row and fraction of it at a height in LibreOffice's rows.
    auto libreRow = [&](double y) {
        for (std::size_t r = 0; r < rowHeights.size(); ++r)
            if (y < rowTops[r + 1])
                return static_cast<double>(r) + (y - rowTops[r]) / rowHeights[r];
        return -1.0;
    };
    constexpr double pi = 3.14159265358979323846;
    for (const auto& p : placed) {
        QJsonObject graphic;
        for (const auto& value : graphics)
            if (value.toObject()["name"].toString().toStdString() == p.name)
                graphic = value.toObject();
        ASSERT_FALSE(graphic.isEmpty()) << p.name;
        EXPECT_EQ(graphic["rotation"].toInt(), ((360 - p.rotation) % 360) * 100) << p.name;
        EXPECT_EQ(graphic["mimeType"].toString(), p.name == placed[1].name ? "image/png" : "image/jpeg");
        if (p.rotation == 0) {
            EXPECT_EQ(graphic["anchorCell"].toString(), "C3") << p.name;
        }
        // LibreOffice gives the turned frame's top-left corner; its centre lies half a diagonal on.
        double turn = p.rotation * pi / 180;
        double w = graphic["width"].toDouble(), h = graphic["height"].toDouble();
        double centre = graphic["y"].toDouble() + w / 2 * std::sin(turn) + h / 2 * std::cos(turn);
        auto expected = excel.rowAnchorAt(p.centreY);
        ASSERT_TRUE(expected.has_value());
        EXPECT_NEAR(libreRow(centre), expected->index + expected->offset / 256.0, 0.1) << p.name;
    }
}

} // namespace
