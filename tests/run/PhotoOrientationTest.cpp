// Photos as phones and cameras store them (pixels sideways or mirrored, an EXIF orientation
// saying how to show them) placed by the whole run: LibreOffice prints each upright in its block
// and then turned by its mark; Apache POI finds the anchor of the upright photo's fitted frame,
// the shape's turn, no mirror, and the stored bytes are the photo's own with the tag set to "as
// stored" (a mirrored photo transposed). With the orientation left out, the pixels as stored.
// The eight orientations go into few workbooks (one sheet copy each), read by one LibreOffice run.

#include "run/RotationMark.h"
#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/LibreOfficePages.h"
#include "support/Oracles.h"
#include "support/RunBlock.h"
#include "support/PhotoSamples.h"
#include "support/PlacementChecks.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>
#include <QTransform>

#include <gtest/gtest.h>

#include <map>

namespace tavorin::test {
namespace {

// How the workbook shows each orientation: the stored pixels, transposed first for the mirrored
// ones (2 mirror = transpose then 90°, 4 = transpose then 270°, 5 = the transpose itself,
// 7 = transpose then 180°), turned clockwise by the shape. The printed pages check the sums.
struct Turn {
    bool transposed;
    int clockwise;
};
const std::map<int, Turn> storedTurns{{1, {false, 0}}, {2, {true, 90}},  {3, {false, 180}}, {4, {true, 270}},
                                      {5, {true, 0}},  {6, {false, 90}}, {7, {true, 180}},  {8, {false, 270}}};

// The stored picture's size in points (96 dpi) and its turn, for a photo placed upright or as stored.
struct Frame {
    double width, height;
    int degrees;
};
Frame frameOf(const QImage& stored, const Turn& turn, int mark)
{
    const QSize size = turn.transposed ? stored.size().transposed() : stored.size();
    return {size.width() * 0.75, size.height() * 0.75, (turn.clockwise + mark) % 360};
}

struct Photo {
    int orientation;
    int mark; // degrees clockwise
};
// Every orientation unmarked, then five with a mark on top.
const std::vector<Photo> uprightPhotos{{1, 0}, {2, 0}, {3, 0},  {4, 0},   {5, 0},   {6, 0}, {7, 0},
                                       {8, 0}, {6, 90}, {5, 270}, {3, 180}, {2, 90}, {7, 270}};
const std::vector<Photo> storedPhotos{{6, 0}, {5, 0}, {3, 0}, {6, 90}};

const QSize portrait(240, 384);
// Columns B:F, rows 2 to 21 of every copy.
constexpr int firstRow = 2, firstColumn = 2, lastRow = 21, lastColumn = 6;

QString copyName(int index) { return QStringLiteral("写真(%1)").arg(index + 1); }

QImage turned(const QImage& image, int clockwise) { return image.transformed(QTransform().rotate(clockwise)); }

// What a viewer shows of the photo (upright) or of its stored pixels, turned by the mark.
QImage expectedLook(const Photo& photo, bool upright)
{
    const QImage shown = uprightPhoto(portrait);
    return turned(upright ? shown : storedPixels(shown, photo.orientation), photo.mark);
}

struct Workbook {
    std::filesystem::path path;
    std::vector<Photo> photos;
    bool upright = true;
    std::vector<std::filesystem::path> pictures;
    RunOutcome outcome;
    std::vector<QImage> pages;
};

class PhotosPlaced : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TemporaryFolder;
        books_ = new std::vector<Workbook>{
            make("upright-xls.xls", "plain.xls", {"Sheet1"}, 0, uprightPhotos, true),
            make("as-stored.xls", "plain.xls", {"Sheet1"}, 0, storedPhotos, false),
            make("upright-xlsx.xlsx", "ledger.xlsx", {"Sheet1", "My Sheet"}, 1, uprightPhotos, true),
        };
        std::vector<std::filesystem::path> paths;
        for (const auto& book : *books_)
            paths.push_back(book.path);
        auto pages = libreOfficePages(paths, folder_->path());
        for (std::size_t i = 0; i < books_->size(); ++i)
            for (QImage& page : pages[i])
                if (!photoArea(page).isEmpty()) // sheets without a photo print nothing of interest
                    (*books_)[i].pages.push_back(page);
    }
    static void TearDownTestSuite()
    {
        delete books_;
        delete folder_;
    }

    static Workbook make(const std::string& name, const std::string& fixture, const QStringList& sheets, int sheet,
                         const std::vector<Photo>& photos, bool upright)
    {
        Workbook book{folder_->path() / name, photos, upright, {}, {}, {}};
        std::filesystem::copy_file(workbookFixture(fixture), book.path);
        RunOptions options = EngineRun::optionsFor(book.path, sheets, sheet);
        setBlock(options, firstColumn, lastColumn, firstRow, lastRow);
        options.picturesPerSheet = 1;
        options.sheetNameText = QStringLiteral("写真");
        options.photoOrientation = upright;
        for (std::size_t i = 0; i < photos.size(); ++i) {
            const Photo& photo = photos[i];
            const auto path = folder_->path() / (name + "-" + std::to_string(i) + "-o" + std::to_string(photo.orientation) + ".jpg");
            const QImage stored = storedPixels(uprightPhoto(portrait), photo.orientation);
            writeFile(path, jpegWithExif(stored, {photo.orientation, {}, i % 2 == 1}));
            book.pictures.push_back(path);
            options.pictures.push_back(EngineRun::pictureRow(path, rotationMarkFor(photo.mark)));
        }
        EngineRun engine;
        book.outcome = engine.run(options);
        return book;
    }

    static const Workbook& book(std::size_t index) { return books_->at(index); }

    static TemporaryFolder* folder_;
    static std::vector<Workbook>* books_;
};

TemporaryFolder* PhotosPlaced::folder_ = nullptr;
std::vector<Workbook>* PhotosPlaced::books_ = nullptr;

// The page of each photo shows it as a viewer does, then turned by its mark: band and block where
// the upright photo (or, left as stored, its stored pixels) turned by the mark has them, and the
// page's photo as tall or as wide as that picture.
TEST_F(PhotosPlaced, LibreOfficePrintsEachAsViewersShowItTurnedByItsMark)
{
    for (const Workbook& workbook : *books_) {
        SCOPED_TRACE(workbook.path.filename().string());
        EXPECT_EQ(workbook.outcome.placed, static_cast<int>(workbook.photos.size()));
        EXPECT_TRUE(workbook.outcome.saved);
        ASSERT_EQ(workbook.pages.size(), workbook.photos.size());
        for (std::size_t i = 0; i < workbook.photos.size(); ++i) {
            const Photo& photo = workbook.photos[i];
            SCOPED_TRACE("orientation " + std::to_string(photo.orientation) + ", mark " + std::to_string(photo.mark));
            const QRect area = photoArea(workbook.pages[i]);
            const QImage expected = expectedLook(photo, workbook.upright);
            EXPECT_EQ(marksOf(workbook.pages[i].copy(area)).toStdString(), marksOf(expected).toStdString());
            EXPECT_EQ(area.height() > area.width(), expected.height() > expected.width())
                << area.width() << " x " << area.height() << " pixels on the page";
        }
    }
}

// POI: each anchor holds the fitted frame of the photo as shown (a photo turned by a quarter
// has its sides exchanged), the shape turns it by the orientation's turn plus the mark (checked
// with the anchor) and mirrors nothing; left as stored, it turns by the mark alone. The stored
// picture has the size the turn starts from, and is the file byte for byte but for the two bytes
// of its orientation tag, which say 1 (the JPEGs were written with the tag's value at byte 30:
// SOI, the APP1 head, "Exif\0\0", the TIFF header, IFD0's count, the entry's head); left as
// stored, the file itself.
TEST_F(PhotosPlaced, PoiFindsTheUprightPhotosFrameTurnAndBytes)
{
    for (std::size_t b : {0u, 1u}) {
        const Workbook& workbook = book(b);
        SCOPED_TRACE(workbook.path.filename().string());
        const auto report = poiReport(workbook.path);
        ASSERT_TRUE(report);
        for (std::size_t i = 0; i < workbook.photos.size(); ++i) {
            const Photo& photo = workbook.photos[i];
            SCOPED_TRACE("orientation " + std::to_string(photo.orientation) + ", mark " + std::to_string(photo.mark));
            const Turn turn = workbook.upright ? storedTurns.at(photo.orientation) : Turn{false, 0};
            const Frame frame = frameOf(storedPixels(uprightPhoto(portrait), photo.orientation), turn, photo.mark);
            const ExpectedPicture expected{workbook.pictures[i], frame.degrees, frame.width, frame.height,
                                           copyName(int(i)), 0, firstRow, firstColumn, lastRow, lastColumn};
            const QJsonObject sheet = sheetNamed(*report, copyName(int(i)), "POI");
            const QJsonArray pictures = sheet["pictures"].toArray();
            ASSERT_EQ(pictures.size(), 1);
            expectAnchoredInBlock(*report, sheet, pictures[0].toObject(), expected, 1.0);
            const QJsonObject picture = pictures[0].toObject();
            EXPECT_EQ(picture["width"].toDouble() * 0.75, frame.width);
            EXPECT_EQ(picture["height"].toDouble() * 0.75, frame.height);
            EXPECT_FALSE(picture["flipH"].toBool() || picture["flipV"].toBool()) << "no mirror";
            if (turn.transposed) // a mirrored photo is stored transposed: other bytes, its size checked here
                continue;
            Bytes stored = fileBytes(workbook.pictures[i]);
            if (workbook.upright && photo.orientation != 1) { // the tag's value, at byte 30, says 1
                stored[30] = i % 2 == 1 ? 0 : 1;
                stored[31] = i % 2 == 1 ? 1 : 0;
            }
            EXPECT_EQ(picture["md5"].toString(), md5Hex(stored));
        }
    }
}

// LibreOffice's own geometry: every photo inside its block, centred, touching two sides, turned
// as POI says, on both engines' workbooks.
TEST_F(PhotosPlaced, LibreOfficeShowsEachInItsBlock)
{
    for (std::size_t b : {0u, 2u}) {
        const Workbook& workbook = book(b);
        SCOPED_TRACE(workbook.path.filename().string());
        QStringList blockEnds;
        for (std::size_t i = 0; i < workbook.photos.size(); ++i)
            blockEnds << copyName(int(i)) + QStringLiteral("!F21");
        ASSERT_TRUE(workbook.upright);
        const auto report = libreOfficeReport(workbook.path, blockEnds);
        ASSERT_TRUE(report);
        for (std::size_t i = 0; i < workbook.photos.size(); ++i) {
            const Photo& photo = workbook.photos[i];
            SCOPED_TRACE("orientation " + std::to_string(photo.orientation) + ", mark " + std::to_string(photo.mark));
            const Frame frame = frameOf(storedPixels(uprightPhoto(portrait), photo.orientation),
                                        storedTurns.at(photo.orientation), photo.mark);
            const ExpectedPicture expected{workbook.pictures[i], frame.degrees, frame.width, frame.height,
                                           copyName(int(i)), 0, firstRow, firstColumn, lastRow, lastColumn};
            const QJsonObject sheet = sheetNamed(*report, copyName(int(i)), "LibreOffice");
            const QJsonArray graphics = sheet["graphics"].toArray();
            ASSERT_EQ(graphics.size(), 1);
            expectShownInBlock(sheet, graphics[0].toObject(), expected, 1.0);
        }
    }
}

} // namespace
} // namespace tavorin::test
