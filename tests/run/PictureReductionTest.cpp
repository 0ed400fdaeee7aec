// Pictures reduced to a resolution: each is stored with at most N pixels per inch of the frame it shows in
// (its width along the frame's width, also when the shape is turned), never enlarged, JPEG kept JPEG and PNG
// kept PNG with its transparency, metafiles and small pictures as their own bytes; the same photo twice
// stored once; every frame anchored as without reduction. The stored pixel sizes come from Apache POI, the
// frames from POI's anchors through Excel's grid rules, the rest from Gnumeric, xlrd and LibreOffice.

#include "support/DrawingCensus.h"
#include "support/EngineRun.h"
#include "support/ExcelGrid.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/OpenpyxlReport.h"
#include "support/PhotoSamples.h"
#include "support/ProcessResult.h"
#include "support/RunBlock.h"
#include "support/SamplePictures.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <cmath>

using namespace tavorin;
using namespace tavorin::test;

namespace {

void writePicture(const std::filesystem::path& path, const std::string& kind)
{
    if (kind == "photo.jpg")
        noisyPicture({1600, 1200}, false).save(QString::fromStdString(path.string()), "JPEG", 95);
    else if (kind == "alpha.png")
        noisyPicture({900, 600}, true).save(QString::fromStdString(path.string()), "PNG");
    else if (kind == "turned.jpg") // shown portrait: stored 1600 x 1200 with EXIF orientation 6
        writeFile(path, jpegWithExif(storedPixels(uprightPhoto({1200, 1600}), 6), {6, {}, false}));
    else if (kind == "square.wmf")
        writePictureFile(path, squareWmf());
    else
        std::filesystem::copy_file(pictureFixture(kind), path);
}

struct ReductionCase {
    const char* name;
    const char* picture;
    const char* mark;     // ○ or →
    int magnification;    // percent
    int dpi;
    const char* type;     // what POI says is stored
    bool reduced;         // else stored as the file's own bytes (or, for a metafile, as without reduction)
    bool libreOffice = false;
};
class PictureReduction : public ::testing::TestWithParam<ReductionCase> {};
TEST_P(PictureReduction, StoresAtMostTheResolutionInTheSameFrames)
{
    const ReductionCase& c = GetParam();
    TemporaryFolder folder;
    const auto picture = folder / c.picture;
    writePicture(picture, c.picture);
    std::vector<std::filesystem::path> books;
    std::vector<float> lastProgress;
    for (int dpi : {0, c.dpi}) {
        books.push_back(copyWorkbook(folder.path(), "ledger.xls", "dpi" + std::to_string(dpi) + ".xls"));
        RunOptions options = EngineRun::optionsFor(books.back(), {"Sheet1", "My Sheet"});
        options.startColumn = 2, options.endColumn = 6, options.startRow = 3, options.endRow = 14;
        options.startRowIndex = 2, options.endRowIndex = 13, options.rowSpacing = 1;
        options.magnificationText = QString::number(c.magnification);
        options.pictureDpi = dpi;
        options.pictures = {EngineRun::pictureRow(picture, c.mark), EngineRun::pictureRow(picture, c.mark)};
        EngineRun run;
        const RunOutcome outcome = run.run(options);
        ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
        ASSERT_EQ(outcome.placed, 2);
        lastProgress = run.progress;
    }
    EXPECT_TRUE(std::is_sorted(lastProgress.begin(), lastProgress.end()));
    EXPECT_GT(std::count_if(lastProgress.begin(), lastProgress.end(), [](float p) { return p > 50 && p < 100; }), 0)
        << "the bar moves while the workbook is saved";
    EXPECT_EQ(lastProgress.back(), 100.0f);

    const auto plain = poiReport(books[0]), reduced = poiReport(books[1]);
    ASSERT_TRUE(plain && reduced);
    const QJsonArray before = sheetNamed(*plain, "Sheet1", "POI")["pictures"].toArray();
    const QJsonObject sheet = sheetNamed(*reduced, "Sheet1", "POI");
    const QJsonArray after = sheet["pictures"].toArray();
    ASSERT_EQ(after.size(), 2);
    ASSERT_EQ(before.size(), 2);
    auto grid = ExcelGrid::fromPoi(*reduced, sheet);
    ASSERT_TRUE(grid);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject was = before[i].toObject(), is = after[i].toObject();
        EXPECT_EQ(is["anchor"], was["anchor"]) << "the frame is the same as without reduction";
        EXPECT_EQ(is["rotation"], was["rotation"]);
        EXPECT_EQ(is["type"].toString(), c.type);
        if (!c.reduced) {
            EXPECT_EQ(is["md5"], was["md5"]);
            if (QString(c.type) != "wmf") {
                EXPECT_EQ(is["md5"].toString(), md5Hex(fileBytes(picture))) << "stored as its own bytes";
            }
            continue;
        }
        // The shape's own frame: a shape turned sideways covers its frame turned by 90°.
        const PointRect shown = grid->anchorRect(is["anchor"].toArray());
        const bool sideways = is["rotation"].toInt() == 90 || is["rotation"].toInt() == 270;
        const double frameWidth = sideways ? shown.height : shown.width, frameHeight = sideways ? shown.width : shown.height;
        EXPECT_NEAR(is["width"].toDouble(), frameWidth / 72 * c.dpi, 1.5);
        EXPECT_NEAR(is["height"].toDouble(), frameHeight / 72 * c.dpi, 1.5);
        EXPECT_LT(is["bytes"].toInt(), was["bytes"].toInt());
    }
    const DrawingCensus census = DrawingCensus::of(books[1]);
    ASSERT_EQ(census.pictures.size(), 1u) << "the same picture twice is stored once";
    EXPECT_EQ(census.pictures[0].references, 2u);
    EXPECT_TRUE(xlrdReport(books[1]).has_value());

    // Gnumeric's pixels: transparency kept; a photo shown turned still shows upright.
    const auto gnumeric = gnumericReport(books[1]);
    ASSERT_TRUE(gnumeric);
    const QJsonObject kept = sheetNamed(*gnumeric, "Sheet1", "Gnumeric")["pictures"].toArray()[0].toObject();
    const QImage pixels = QImage::fromData(QByteArray::fromBase64(kept["data"].toString().toLatin1()));
    if (QString(c.picture) == "alpha.png") {
        EXPECT_EQ(qAlpha(pixels.pixel(2, 2)), 0);
    }
    if (QString(c.picture) == "turned.jpg") {
        EXPECT_EQ(marksOf(pixels.transformed(QTransform().rotate(after[0].toObject()["rotation"].toInt()))),
                  QString("top:left"));
    }
    if (c.libreOffice) {
        const auto office = libreOfficeReport(books[1]);
        ASSERT_TRUE(office);
        EXPECT_EQ(sheetNamed(*office, "Sheet1", "LibreOffice")["graphics"].toArray().size(), 2);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureReduction,
    ::testing::Values(ReductionCase{"PhotoAt150Dpi", "photo.jpg", "○", 100, 150, "jpeg", true, true},
                      ReductionCase{"PhotoTurnedByItsMarkAt96Dpi", "photo.jpg", "→", 100, 96, "jpeg", true},
                      ReductionCase{"PhotoAtHalfSizeAt220Dpi", "photo.jpg", "○", 50, 220, "jpeg", true},
                      ReductionCase{"PhotoTurnedByItsExifAt150Dpi", "turned.jpg", "○", 100, 150, "jpeg", true},
                      ReductionCase{"TransparentPngStaysPng", "alpha.png", "○", 100, 96, "png", true},
                      ReductionCase{"SmallPhotoUntouched", "land.jpg", "○", 100, 150, "jpeg", false},
                      ReductionCase{"MetafileNeverReduced", "square.wmf", "○", 100, 50, "wmf", false}),
    [](const auto& run) { return std::string(run.param.name); });

// The media of a package as PIL reads them: "name format width height mode" lines, in name order.
QStringList mediaOf(const std::filesystem::path& package)
{
    const ProcessResult result = runProcess(
        TAVORIN_SYSTEM_PYTHON,
        {"-c", "import sys, zipfile, io\nfrom PIL import Image\nz = zipfile.ZipFile(sys.argv[1])\n"
               "for n in sorted(x for x in z.namelist() if x.startswith('xl/media/')):\n"
               "    i = Image.open(io.BytesIO(z.read(n)))\n    print(n, i.format, i.width, i.height, i.mode)\n",
         QString::fromStdString(package.string())});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    return result.standardOutput.split('\n', Qt::SkipEmptyParts);
}

// The .xlsx engine reduces through the same code: the media part's pixels follow the frame of openpyxl's
// anchor in Excel's grid, the anchors stay those of the run without reduction.
struct PackageCase {
    const char* name;
    const char* picture;
    const char* mark;
    int dpi;
    const char* format, *mode; // as PIL reads the stored media
};
class PackagePictureReduction : public ::testing::TestWithParam<PackageCase> {};
TEST_P(PackagePictureReduction, StoresAtMostTheResolutionInTheSameFrames)
{
    const PackageCase& c = GetParam();
    TemporaryFolder folder;
    const auto picture = folder / c.picture;
    writePicture(picture, c.picture);
    std::vector<std::filesystem::path> books;
    for (int dpi : {0, c.dpi}) {
        books.push_back(copyWorkbook(folder.path(), "ledger.xlsx", "dpi" + std::to_string(dpi) + ".xlsx"));
        RunOptions options = EngineRun::optionsFor(books.back(), {"Sheet1"});
        options.startColumn = 2, options.endColumn = 6, options.startRow = 3, options.endRow = 14;
        options.startRowIndex = 2, options.endRowIndex = 13, options.rowSpacing = 1;
        options.pictureDpi = dpi;
        options.pictures = {EngineRun::pictureRow(picture, c.mark), EngineRun::pictureRow(picture, c.mark)};
        EngineRun run;
        ASSERT_TRUE(run.run(options).saved);
        EXPECT_EQ(run.progress.back(), 100.0f);
        EXPECT_GT(std::count_if(run.progress.begin(), run.progress.end(), [](float p) { return p > 90 && p < 100; }), 0)
            << "the bar moves while the package is written";
    }
    const auto plain = openpyxlReport(books[0]), reduced = openpyxlReport(books[1]);
    ASSERT_TRUE(plain && reduced);
    const QJsonArray before = sheetNamed(*plain, "Sheet1", "openpyxl")["images"].toArray();
    const QJsonArray after = sheetNamed(*reduced, "Sheet1", "openpyxl")["images"].toArray();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after, before) << "anchors and frames as without reduction";
    const QStringList media = mediaOf(books[1]);
    ASSERT_EQ(media.size(), 1) << "the same picture twice is stored once";
    const QStringList fields = media[0].split(' ');
    ASSERT_EQ(fields.size(), 5);
    // The frame itself: a picture turned sideways is anchored by the rectangle it covers, its frame turned.
    const QJsonObject sheet = sheetNamed(*reduced, "Sheet1", "openpyxl");
    const auto grid = XlsxGrid::fromOpenpyxl(*reduced, sheet);
    ASSERT_TRUE(grid);
    const PointRect shown = grid->anchorRect(after[0].toObject());
    const bool sideways = std::abs(after[0].toObject()["rotation"].toDouble() - 90) < 1;
    EXPECT_EQ(fields[1], c.format);
    EXPECT_NEAR(fields[2].toDouble(), (sideways ? shown.height : shown.width) / 72 * c.dpi, 1.5);
    EXPECT_NEAR(fields[3].toDouble(), (sideways ? shown.width : shown.height) / 72 * c.dpi, 1.5);
    EXPECT_EQ(fields[4], c.mode);
}
INSTANTIATE_TEST_SUITE_P(Pictures, PackagePictureReduction,
                         ::testing::Values(PackageCase{"PhotoAt150Dpi", "photo.jpg", "○", 150, "JPEG", "RGB"},
                                           PackageCase{"PhotoTurnedByItsMarkAt96Dpi", "photo.jpg", "→", 96, "JPEG", "RGB"},
                                           PackageCase{"TransparentPngAt96Dpi", "alpha.png", "○", 96, "PNG", "RGBA"}),
                         [](const auto& run) { return std::string(run.param.name); });

// A PNG whose header is sound but whose pixels do not decode passes the drop and the placement; at the save
// it cannot be reduced. Nothing is lost: both engines store its own bytes, and the run names it.
TEST(PictureReductionFailure, APictureThatDoesNotDecodeIsStoredAsItWasAndNamed)
{
    TemporaryFolder folder;
    Bytes broken = encodedImage(noisyPicture({1600, 1200}, false), "PNG");
    const auto data = std::search(broken.begin(), broken.end(), std::begin("IDAT"), std::end("IDAT") - 1) + 68;
    ASSERT_LT(data + 4000, broken.end());
    std::for_each(data, data + 4000, [](std::uint8_t& byte) { byte ^= 0x5a; });
    const auto picture = folder / "broken.png";
    writeFile(picture, broken);
    for (const char* fixture : {"ledger.xls", "ledger.xlsx"}) {
        SCOPED_TRACE(fixture);
        const auto book = copyWorkbook(folder.path(), fixture);
        RunOptions options = EngineRun::optionsFor(book, {"Sheet1"});
        setBlock(options, 2, 3, 2, 5);
        options.pictureDpi = 96;
        options.pictures = {EngineRun::pictureRow(picture, "○")};
        EngineRun run;
        const RunOutcome outcome = run.run(options);
        ASSERT_TRUE(outcome.saved);
        EXPECT_EQ(outcome.placed, 1);
        EXPECT_EQ(outcome.notReduced, std::vector<std::filesystem::path>{picture});
        EXPECT_TRUE(outcome.message.contains(QStringLiteral("縮小できなかった画像")) &&
                    outcome.message.contains(QStringLiteral("\r\nbroken.png")))
            << outcome.message.toStdString();
        // Its own bytes in the saved workbook: the blip POI reads, or the package's media part at full size.
        if (std::string(fixture).ends_with(".xlsx")) {
            EXPECT_EQ(mediaOf(book), QStringList{"xl/media/image1.png PNG 1600 1200 RGB"});
            continue;
        }
        const auto report = poiReport(book);
        ASSERT_TRUE(report);
        const QJsonArray stored = sheetNamed(*report, "Sheet1", "POI")["pictures"].toArray();
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(stored[0].toObject()["md5"].toString(), md5Hex(broken));
    }
}

} // namespace
