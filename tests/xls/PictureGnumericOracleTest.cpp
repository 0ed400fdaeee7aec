// Pictures placed through the worksheet operations, saved, and read back by Gnumeric (ssconvert),
// a reader independent of POI, LibreOffice and xlrd: every format must come back on its sheet, in
// its cell, with the bytes inserted (JPEG, PNG, metafiles) or the same pixels (pictures converted
// to PNG). Gnumeric keeps no rotation for pictures: it shows the rectangle the anchor holds, which
// for a picture turned by 90° is the frame turned about its centre.

#include "EngineTestSupport.h"
#include "OpenedWorkbook.h"
#include "support/SamplePictures.h"

#include "platform/SpreadsheetWorkbook.h"
#include "platform/SpreadsheetWorksheet.h"
#include "platform/xls/XlsApplication.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

QByteArray asBytes(const PictureBytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

QJsonObject gnumericReport(const std::filesystem::path& workbook)
{
    auto result = runOracle("gnumeric_dump.py", {QString::fromStdString(workbook.string())});
    EXPECT_TRUE(result.finished && result.exitCode == 0) << result.standardError.toStdString();
    auto document = QJsonDocument::fromJson(result.standardOutput.toUtf8());
    EXPECT_TRUE(document.isObject()) << "gnumeric_dump.py printed no JSON object";
    return document.object();
}

QJsonObject sheetNamed(const QJsonObject& report, const QString& name)
{
    for (const auto& sheet : report["sheets"].toArray())
        if (sheet.toObject()["name"].toString() == name)
            return sheet.toObject();
    ADD_FAILURE() << "Gnumeric finds no sheet " << name.toStdString();
    return {};
}

QJsonObject pictureNamed(const QJsonObject& sheet, const std::string& name)
{
    for (const auto& value : sheet["pictures"].toArray())
        if (value.toObject()["name"].toString().toStdString() == name)
            return value.toObject();
    ADD_FAILURE() << "Gnumeric finds no picture " << name << " on " << sheet["name"].toString().toStdString();
    return {};
}

QByteArray pictureData(const QJsonObject& picture)
{
    return QByteArray::fromBase64(picture["data"].toString().toLatin1());
}

std::string md5(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString();
}

// Where Gnumeric puts a picture's top-left corner, in cells: index plus the fraction of the cell.
// Gnumeric works through points, so a corner on a cell boundary may come back as the end of the
// cell before it (fraction 1.0).
double columnPosition(const QJsonObject& picture)
{
    return picture["fromColumn"].toInt() + picture["offsets"].toArray()[0].toDouble();
}
double rowPosition(const QJsonObject& picture)
{
    return picture["fromRow"].toInt() + picture["offsets"].toArray()[1].toDouble();
}

// Width and height in points, as Gnumeric gives them for a picture that moves with its first cell
// but keeps its size (Excel's "move but don't size", which is how pictures are placed here).
std::pair<double, double> pointSize(const QJsonObject& picture)
{
    EXPECT_EQ(picture["anchorMode"].toString(), "GNM_SO_ANCHOR_ONE_CELL");
    const QJsonArray offsets = picture["offsets"].toArray();
    return {offsets[2].toDouble(), offsets[3].toDouble()};
}

// Gnumeric measures columns and rows in whole pixels of its own: sizes agree within a point or two.
void expectSizeNear(const QJsonObject& picture, double width, double height, const std::string& what)
{
    auto [w, h] = pointSize(picture);
    EXPECT_NEAR(w, width, 1 + width * 0.02) << what;
    EXPECT_NEAR(h, height, 1 + height * 0.02) << what;
}

QImage pixels(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGBA64);
}

using Opened = OpenedWorkbook;

std::string insertAt(SpreadsheetWorksheet& sheet, CellAddress cell, const std::filesystem::path& picture)
{
    EXPECT_TRUE(sheet.selectRange({cell, {cell.row + 3, cell.column + 2}}).ok());
    auto name = sheet.insertPicture(picture);
    EXPECT_TRUE(name.ok()) << picture << ": " << (name ? "" : name.error().describe());
    return name ? *name : std::string();
}

void save(Opened& opened, const std::filesystem::path& path)
{
    auto saved = opened.workbook->saveAs(path);
    ASSERT_TRUE(saved.ok()) << saved.error().describe();
}

// ----------------------------------------------------------------------------------------------

TEST(PictureGnumericOracle, EveryFormatComesBackOnItsSheetInItsCellWithWhatWasInserted)
{
    TemporaryFolder folder;
    writePictureFile(folder / "square.wmf", squareWmf());
    writePictureFile(folder / "wide.emf", wideEmf());
    writePictureFile(folder / "wide.emz", gzipped(wideEmf()));
    writePictureFile(folder / "square.wmz", gzipped(squareWmf()));
    Opened opened = openCopy("ledger.xls", folder / "book.xls");
    auto first = *opened.workbook->sheetAt(1);
    ASSERT_TRUE(first->copyAfter(*first).ok());
    auto second = *opened.workbook->activeSheet();
    ASSERT_TRUE(second->setName("写真(1)").ok());

    enum class Expect { SameBytes, SamePixels };
    struct Case {
        std::filesystem::path path;
        const char* imageType;
        Expect expect;
        QByteArray stored;    // the bytes Gnumeric must hold, for metafiles
        double width, height; // natural size in points: pixels at 96 dpi, metafile bounds in inches
    };
    const QByteArray wmf = asBytes(squareWmfWithoutPlaceableHeader());
    const QByteArray emf = asBytes(wideEmf());
    const std::vector<Case> cases{{pictureFixture("land.jpg"), "jpeg", Expect::SameBytes, {}, 240, 180},
                                  {pictureFixture("portrait.png"), "png", Expect::SameBytes, {}, 180, 240},
                                  {pictureFixture("wide.gif"), "png", Expect::SamePixels, {}, 150, 75},
                                  {pictureFixture("square.bmp"), "png", Expect::SamePixels, {}, 112.5, 112.5},
                                  {pictureFixture("tall.tif"), "png", Expect::SamePixels, {}, 75, 225},
                                  {folder / "square.wmf", "wmf", Expect::SameBytes, wmf, 72, 72},
                                  {folder / "wide.emf", "emf", Expect::SameBytes, emf, 144, 72},
                                  {folder / "wide.emz", "emf", Expect::SameBytes, emf, 144, 72},
                                  {folder / "square.wmz", "wmf", Expect::SameBytes, wmf, 72, 72}};
    struct Placed {
        std::string name;
        CellAddress cell;
    };
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        CellAddress cell{3 + 20 * static_cast<int>(i), 3};
        placed.push_back({insertAt(*first, cell, cases[i].path), cell});
    }
    const CellAddress onCopyCell{5, 4};
    std::string onCopy = insertAt(*second, onCopyCell, pictureFixture("wide.gif"));
    save(opened, folder / "book.xls");

    QJsonObject report = gnumericReport(folder / "book.xls");
    EXPECT_TRUE(report["warnings"].toArray().isEmpty())
        << QJsonDocument(report["warnings"].toArray()).toJson().toStdString();
    QJsonObject firstSheet = sheetNamed(report, "Sheet1");
    QJsonObject copySheet = sheetNamed(report, "写真(1)");
    ASSERT_EQ(firstSheet["pictures"].toArray().size(), static_cast<int>(cases.size()));
    ASSERT_EQ(copySheet["pictures"].toArray().size(), 1);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string what = c.path.filename().string();
        QJsonObject picture = pictureNamed(firstSheet, placed[i].name);
        EXPECT_EQ(picture["imageType"].toString().toStdString(), c.imageType) << what;
        // The top-left corner at the insertion cell's corner (0-based in the report).
        EXPECT_NEAR(columnPosition(picture), placed[i].cell.column - 1, 0.002) << what;
        EXPECT_NEAR(rowPosition(picture), placed[i].cell.row - 1, 0.002) << what;
        expectSizeNear(picture, c.width, c.height, what);

        QByteArray data = pictureData(picture);
        EXPECT_EQ(picture["size"].toInt(), data.size()) << what;
        EXPECT_EQ(picture["md5"].toString().toStdString(), md5(data)) << what;
        if (c.expect == Expect::SamePixels) {
            QImage read = QImage::fromData(data);
            QImage source(QString::fromStdString(c.path.string()));
            ASSERT_FALSE(read.isNull()) << what << ": Gnumeric's picture is no picture";
            ASSERT_FALSE(source.isNull()) << what;
            EXPECT_EQ(read.size(), source.size()) << what;
            EXPECT_TRUE(pixels(read) == pixels(source)) << what << ": the pixels differ";
            EXPECT_EQ(picture["pixelWidth"].toInt(), source.width()) << what;
            EXPECT_EQ(picture["pixelHeight"].toInt(), source.height()) << what;
        } else if (c.stored.isEmpty()) {
            QFile file(QString::fromStdString(c.path.string()));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(md5(data), md5(file.readAll())) << what << ": stored as it is";
            QImage source(QString::fromStdString(c.path.string()));
            EXPECT_EQ(picture["pixelWidth"].toInt(), source.width()) << what;
            EXPECT_EQ(picture["pixelHeight"].toInt(), source.height()) << what;
        } else {
            // Metafiles: the metafile itself, a WMF without its placeable header, EMZ/WMZ unpacked.
            EXPECT_EQ(picture["storage"].toString(), "GOEmf") << what;
            EXPECT_EQ(data.toHex().toStdString(), c.stored.toHex().toStdString()) << what;
        }
    }

    QJsonObject copied = pictureNamed(copySheet, onCopy);
    EXPECT_NEAR(columnPosition(copied), onCopyCell.column - 1, 0.002);
    EXPECT_NEAR(rowPosition(copied), onCopyCell.row - 1, 0.002);
    expectSizeNear(copied, 150, 75, "wide.gif on the copy");
    EXPECT_TRUE(pixels(QImage::fromData(pictureData(copied))) ==
                pixels(QImage(QString::fromStdString(pictureFixture("wide.gif").string()))));
}

// Gnumeric draws pictures unrotated: it drops the rotation and shows the rectangle the anchor
// holds. For 90° and 270° that is the frame turned about its centre (the place the turned picture
// covers); for 180° it is the frame itself.
TEST(PictureGnumericOracle, RotationIsDroppedAndTheAnchoredRectangleShown)
{
    TemporaryFolder folder;
    Opened opened = openCopy("ledger.xls", folder / "book.xls");
    auto sheet = *opened.workbook->sheetAt(1);
    // The first 60 rows of ledger.xls are 283 twips high, which shows as 19 whole pixels.
    constexpr double rowHeight = 19 * 0.75;
    struct Placed {
        std::string name;
        int rotation;
    };
    std::vector<Placed> placed;
    int column = 2;
    for (int rotation : {0, 90, 180, 270}) {
        std::string name = insertAt(*sheet, {11, column}, pictureFixture("land.jpg")); // 240 x 180 points
        if (rotation != 0) {
            ASSERT_TRUE(sheet->setShapeRotation(name, rotation).ok());
        }
        placed.push_back({name, rotation});
        column += 4;
    }
    save(opened, folder / "book.xls");

    QJsonObject report = gnumericReport(folder / "book.xls");
    EXPECT_TRUE(report["warnings"].toArray().isEmpty());
    QJsonObject json = sheetNamed(report, "Sheet1");
    for (const auto& p : placed) {
        QJsonObject picture = pictureNamed(json, p.name);
        EXPECT_TRUE(picture["rotation"].isNull()) << p.name;
        bool sideways = p.rotation == 90 || p.rotation == 270;
        expectSizeNear(picture, sideways ? 180 : 240, sideways ? 240 : 180, p.name);
        // Frame top at row 11's top; the turned rectangle starts (240 - 180) / 2 points higher.
        double top = 10 * rowHeight - (sideways ? 30 : 0);
        EXPECT_NEAR(rowPosition(picture), top / rowHeight, 0.01) << p.name;
    }
}

} // namespace
