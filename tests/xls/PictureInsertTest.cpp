// Pictures placed through the worksheet operations and saved, as POI (kind, bytes, anchor in points by
// support/ExcelGrid), Gnumeric (bytes or pixels) and xlrd read the file. Equal pictures are stored once;
// new pictures join the drawings that templates already hold.

#include "EngineTestSupport.h"
#include "support/BitmapSamples.h"

using namespace tavorin;
using namespace tavorin::test;

namespace {

QImage pixelsOf(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGBA64);
}
Bytes picture(const char* name)
{
    return fileBytes(pictureFixture(name));
}
enum class Kept { SameBytes, SamePixels, Metafile };

struct Inserted {
    std::string file; // written into the test's folder
    Bytes bytes;
    const char* poiType;
    double width, height; // natural size in points: pixels at the file's resolution (96 dpi when it has
                          // none), a metafile's frame
    Kept kept;
    std::filesystem::path pixels = {}; // what a converted picture shows, when Qt cannot read the file itself
    double dpiX = 96, dpiY = 96;       // what a converted picture's PNG states
};

QJsonObject gnumericPicture(const QJsonObject& sheet, const std::string& name)
{
    for (const auto& value : sheet["pictures"].toArray())
        if (value.toObject()["name"].toString().toStdString() == name)
            return value.toObject();
    ADD_FAILURE() << "Gnumeric finds no picture " << name;
    return {};
}

// Each kind at the top-left corner of its block (row 3 + 20 i, column B); land.jpg's content three
// times, under another name too. The kind is told by the bytes, not by the name.
TEST(PictureInsert, EveryKindIsReadBackAtItsCellAtItsNaturalSizeAndStoredOnce)
{
    const Bytes wmf = squareWmfWithoutPlaceableHeader(), emf = wideEmf(), bmp = picture("square.bmp");
    const std::vector<Inserted> kinds{
        {"land.jpg", picture("land.jpg"), "jpeg", 240, 180, Kept::SameBytes},
        {"portrait.png", picture("portrait.png"), "png", 180, 240, Kept::SameBytes},
        {"scanned.png", pngWithResolution(picture("portrait.png"), 72, 144), "png", 240, 160,
         Kept::SameBytes},
        {"really-a-png.jpg", picture("portrait.png"), "png", 180, 240, Kept::SameBytes},
        {"exif.jpg", jpegWithExifResolution(picture("land.jpg")), "jpeg", 320 * 72.0 / 220, 240 * 72.0 / 110,
         Kept::SameBytes},
        {"dense.jpg", denseBitmap("jpg"), "jpeg", 72, 72, Kept::SameBytes},
        {"wide.gif", picture("wide.gif"), "png", 150, 75, Kept::SamePixels},
        {"square.bmp", bmp, "png", 112.5, 112.5, Kept::SamePixels},
        {"tall.tif", picture("tall.tif"), "png", 75, 225, Kept::SamePixels}, // sixteen-bit grey
        {"dense.bmp", denseBitmap("bmp"), "png", 72, 72, Kept::SamePixels, {}, 300, 150},
        {"square.dib", Bytes(bmp.begin() + 14, bmp.end()), "png", 112.5, 112.5, Kept::SamePixels,
         pictureFixture("square.bmp")},
        {"small.rle", rle8Bitmap(), "png", 3, 1.5, Kept::SamePixels},
        {"square.wmf", squareWmf(), "wmf", 72, 72, Kept::Metafile},
        {"wide.emf", emf, "emf", 144, 72, Kept::Metafile},
        {"square.wmz", gzipped(squareWmf()), "wmf", 72, 72, Kept::Metafile},
        {"wide.emz", gzipped(emf), "emf", 144, 72, Kept::Metafile},
        {"name with spaces.jpeg", picture("name with spaces.jpeg"), "jpeg", 240, 180, Kept::SameBytes},
        {"land again.jpg", picture("land.jpg"), "jpeg", 240, 180, Kept::SameBytes},
    };
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "ledger.xls");
    ASSERT_TRUE(opened.first);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        writeFile(folder / kinds[i].file, kinds[i].bytes);
        names.push_back(insertAt(*opened.first, 3 + 20 * static_cast<int>(i), 2, folder / kinds[i].file));
        EXPECT_EQ(names.back(), "図 " + std::to_string(i + 1));
    }
    opened.save();
    EXPECT_EQ(layoutProblemsOf(opened.path), "");
    EXPECT_TRUE(xlrdReport(opened.path));

    auto poi = poiReport(opened.path);
    auto gnumeric = gnumericReport(opened.path);
    ASSERT_TRUE(poi && gnumeric);
    const QJsonObject sheet = sheetNamed(*poi, "Sheet1", "POI");
    auto grid = ExcelGrid::fromPoi(*poi, sheet);
    ASSERT_TRUE(grid);
    EXPECT_TRUE((*gnumeric)["warnings"].toArray().isEmpty());
    const QJsonObject gnumericSheet = sheetNamed(*gnumeric, "Sheet1", "Gnumeric");
    std::set<QString> contents;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const Inserted& kind = kinds[i];
        SCOPED_TRACE(kind.file);
        const QJsonObject picture = poiPicture(sheet, names[i]);
        EXPECT_EQ(picture["type"].toString(), kind.poiType);
        const PointRect cell = grid->block(3 + 20 * static_cast<int>(i), 2, 3 + 20 * static_cast<int>(i), 2);
        const PointRect anchored = grid->anchorRect(picture["anchor"].toArray());
        EXPECT_NEAR(anchored.left, cell.left, 0.5);
        EXPECT_NEAR(anchored.top, cell.top, 0.5);
        EXPECT_NEAR(anchored.width, kind.width, 0.5);
        EXPECT_NEAR(anchored.height, kind.height, 0.5);
        contents.insert(picture["md5"].toString());

        // Gnumeric keeps the bytes of a metafile and the pixels of a bitmap (it may encode them anew).
        const QJsonObject kept = gnumericPicture(gnumericSheet, names[i]);
        const QImage shown = QImage::fromData(QByteArray::fromBase64(kept["data"].toString().toLatin1()));
        if (kind.kept == Kept::Metafile) {
            const QString expected = md5Hex(kind.poiType == QString("wmf") ? wmf : emf);
            EXPECT_EQ(picture["md5"].toString(), expected);
            EXPECT_EQ(kept["md5"].toString(), expected);
            continue;
        }
        const QImage source(
            QString::fromStdString((kind.pixels.empty() ? folder / kind.file : kind.pixels).string()));
        ASSERT_FALSE(source.isNull());
        EXPECT_TRUE(pixelsOf(shown) == pixelsOf(source)) << "the pixels differ";
        if (kind.kept == Kept::SameBytes) {
            EXPECT_EQ(picture["md5"].toString(), md5Hex(kind.bytes));
        } else {
            EXPECT_EQ(picture["width"].toInt(), source.width());
            EXPECT_EQ(picture["height"].toInt(), source.height());
            EXPECT_NEAR(picture["dpiX"].toDouble(), kind.dpiX, 0.05) << "the resolution it was measured with";
            EXPECT_NEAR(picture["dpiY"].toDouble(), kind.dpiY, 0.05);
        }
    }
    const DrawingCensus census = DrawingCensus::of(opened.path);
    EXPECT_EQ(census.idProblems(), "");
    EXPECT_EQ(census.pictures.size(), contents.size()) << "one stored picture per content";
    std::uint32_t references = 0, mostReferences = 0;
    for (const auto& stored : census.pictures)
        references += stored.references, mostReferences = std::max(mostReferences, stored.references);
    EXPECT_EQ(references, kinds.size());
    EXPECT_EQ(mostReferences, 3u) << "land.jpg's content is shown three times";
}

// A picture that cannot be read fails alone and takes no name; a picture changed on disk after
// it was placed fails the save, which leaves the workbook as it was.
TEST(PictureInsert, ABrokenPictureFailsAloneAndAChangedOneFailsTheSave)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, "ledger.xls");
    ASSERT_TRUE(opened.first);
    const Bytes original = fileBytes(opened.path);
    std::filesystem::copy_file(pictureFixture("land.jpg"), folder / "photo.jpg");
    EXPECT_EQ(insertAt(*opened.first, 2, 2, folder / "photo.jpg"), "図 1");
    auto broken = opened.first->insertPicture(pictureFixture("broken.jpg"));
    ASSERT_FALSE(broken.ok());
    EXPECT_NE(broken.error().message.find("broken.jpg"), std::string::npos) << broken.error().message;
    EXPECT_EQ(insertAt(*opened.first, 30, 2, pictureFixture("wide.gif")), "図 2");
    Bytes edited = fileBytes(folder / "photo.jpg");
    edited.resize(edited.size() / 2);
    writeFile(folder / "photo.jpg", edited);
    auto saved = opened.workbook->saveAs(opened.path);
    ASSERT_FALSE(saved.ok());
    EXPECT_NE(saved.error().message.find("photo.jpg"), std::string::npos) << saved.error().describe();
    EXPECT_EQ(fileBytes(opened.path), original);
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"ledger.xls", "photo.jpg"}));
}

class PictureInsertIntoTemplate : public testing::TestWithParam<const char*> {};

// The template's own pictures stay as they were, the new one follows them, a copy of the sheet
// shows them all, and every drawing and shape id stays unique.
TEST_P(PictureInsertIntoTemplate, JoinsTheDrawingItHolds)
{
    TemporaryFolder folder;
    OpenedWorkbook opened = openCopy(folder, GetParam());
    ASSERT_TRUE(opened.first);
    const std::string name = insertAt(*opened.first, 40, 2, pictureFixture("wide.gif"));
    const std::string first = *opened.first->name();
    ASSERT_TRUE(opened.first->copyAfter(*opened.first).ok());
    opened.save();

    auto original = poiReport(workbookFixture(GetParam())), report = poiReport(opened.path);
    ASSERT_TRUE(original && report);
    const QJsonArray before =
        sheetNamed(*original, QString::fromStdString(first), "POI")["pictures"].toArray();
    const QJsonArray after = sheetNamed(*report, QString::fromStdString(first), "POI")["pictures"].toArray();
    ASSERT_EQ(after.size(), before.size() + 1);
    for (qsizetype i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << "template picture " << i;
    EXPECT_EQ(after.last().toObject()["name"].toString().remove(QChar(0)).toStdString(), name);
    EXPECT_EQ(sheetNamed(*report, QString::fromStdString(first + " (2)"), "POI")["pictures"].toArray(),
              after);
    EXPECT_EQ(DrawingCensus::of(opened.path).idProblems(), "");
    EXPECT_EQ(layoutProblemsOf(opened.path), "");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PictureInsertIntoTemplate,
                         testing::Values("SimpleWithImages.xls", "picture_in_cell.xls", "DrawingContinue.xls",
                                         "unicodeNameRecord.xls", "49423.xls", "ContinueRecordProblem.xls"));

} // namespace
