// Photos' EXIF as this program reads it, against what exiftool and Qt's own reader make of the
// same files, and against EXIF blocks damaged on purpose: orientation, the bytes that say it,
// and the date the photo was taken.

#include "platform/pictures/ExifBlock.h"
#include "platform/pictures/JpegExif.h"
#include "platform/pictures/JpegOrientation.h"
#include "platform/pictures/PhotoTakenTime.h"
#include "platform/pictures/PictureSource.h"
#include "support/Files.h"
#include "support/PhotoSamples.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"

#include <QImageReader>

#include <gtest/gtest.h>

namespace tavorin::test {
namespace {

using pictures::ExifBlock;

const QString takenText = QStringLiteral("2019:07:21 08:15:42");
const CalendarDateTime takenTime{2019, 7, 21, 8, 15, 42, 0};

// exiftool's numeric Orientation and DateTimeOriginal of each file, one tab-separated line per file.
QStringList exiftoolView(const std::vector<std::filesystem::path>& files)
{
    QStringList arguments{"-T", "-n", "-Orientation", "-DateTimeOriginal"};
    for (const auto& file : files)
        arguments << pathText(file);
    const ProcessResult result = runProcess(QStringLiteral("exiftool"), arguments);
    EXPECT_TRUE(result.finished && result.exitCode == 0) << "exiftool (libimage-exiftool-perl): "
                                                         << result.standardError.toStdString();
    return result.standardOutput.trimmed().split('\n');
}

struct OrientationCase {
    int orientation;
    bool bigEndian;
};

std::string caseName(const ::testing::TestParamInfo<OrientationCase>& info)
{
    return "Orientation" + std::to_string(info.param.orientation) + (info.param.bigEndian ? "Motorola" : "Intel");
}

class EachOrientation : public ::testing::TestWithParam<OrientationCase> {};

// The photo a camera stores sideways or mirrored shows upright through the program's reading,
// exactly as through Qt's and as exiftool names the tag; with the orientation left out it shows
// as stored. Setting the tag to "as stored" changes two bytes, which exiftool then reads as 1.
TEST_P(EachOrientation, ShowsUprightAsQtAndExiftoolDo)
{
    const auto [orientation, bigEndian] = GetParam();
    TemporaryFolder folder;
    const QImage upright = uprightPhoto({60, 96});
    const QImage stored = storedPixels(upright, orientation);
    const Bytes jpeg = jpegWithExif(stored, {orientation, takenText, bigEndian});
    writeFile(folder / "photo.jpg", jpeg);

    auto orientationRead = pictures::JpegOrientation::read(jpeg);
    Bytes patched = jpeg;
    if (orientationRead.asStored) {
        ASSERT_EQ(orientationRead.asStored->bytes.size(), 2u);
        std::copy(orientationRead.asStored->bytes.begin(), orientationRead.asStored->bytes.end(),
                  patched.begin() + static_cast<std::ptrdiff_t>(orientationRead.asStored->offset));
    }
    writeFile(folder / "as-stored.jpg", patched);
    const QStringList seen = exiftoolView({folder / "photo.jpg", folder / "as-stored.jpg"});
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].toStdString(), (QString::number(orientation) + '\t' + takenText).toStdString());
    EXPECT_EQ(seen[1].toStdString(), (QStringLiteral("1\t") + takenText).toStdString());

    QImageReader qt(pathText(folder / "photo.jpg"));
    qt.setAutoTransform(true);
    const QImage qtShown = qt.read();
    EXPECT_EQ(qtShown.size(), upright.size());
    EXPECT_EQ(marksOf(qtShown).toStdString(), "top:left");

    pictures::PictureSource shown(pathText(folder / "photo.jpg"), true);
    EXPECT_EQ(shown.shownSize(), upright.size());
    EXPECT_EQ(marksOf(shown.decode()).toStdString(), "top:left");
    pictures::PictureSource asStored(pathText(folder / "photo.jpg"), false);
    EXPECT_EQ(asStored.shownSize(), stored.size());
    EXPECT_EQ(marksOf(asStored.decode()).toStdString(), marksOf(stored).toStdString());

    EXPECT_EQ(pictures::photoTakenTime(folder / "photo.jpg"), std::optional(takenTime));
}

INSTANTIATE_TEST_SUITE_P(Photos, EachOrientation,
                         ::testing::Values(OrientationCase{1, false}, OrientationCase{2, true}, OrientationCase{3, false},
                                           OrientationCase{4, true}, OrientationCase{5, false}, OrientationCase{6, true},
                                           OrientationCase{7, false}, OrientationCase{8, true},
                                           OrientationCase{6, false}, OrientationCase{8, false}),
                         caseName);

// A HEIC as phones write it: coded sideways, turned by its irot box, the orientation repeated in
// its EXIF. It shows upright by the box alone (the EXIF orientation would turn it once more),
// as coded with the orientation left out; its date comes from its EXIF item.
TEST(HeicPhoto, ShowsUprightByItsOwnTurnAndTellsItsDate)
{
    TemporaryFolder folder;
    const QImage upright = uprightPhoto({64, 96});
    const QImage coded = storedPixels(upright, 6);
    writeHeic(folder / "IMG_0001.HEIC", coded, 6, exifTiff({6, takenText, true}));

    pictures::PictureSource shown(pathText(folder / "IMG_0001.HEIC"), true);
    EXPECT_TRUE(shown.isHeif());
    EXPECT_EQ(shown.shownSize(), upright.size());
    EXPECT_EQ(marksOf(shown.decode()).toStdString(), "top:left");
    pictures::PictureSource asCoded(pathText(folder / "IMG_0001.HEIC"), false);
    EXPECT_EQ(asCoded.shownSize(), coded.size());
    EXPECT_EQ(marksOf(asCoded.decode()).toStdString(), marksOf(coded).toStdString());
    EXPECT_EQ(pictures::photoTakenTime(folder / "IMG_0001.HEIC"), std::optional(takenTime));
    EXPECT_EQ(exiftoolView({folder / "IMG_0001.HEIC"}), QStringList{QStringLiteral("6\t") + takenText});

    const Bytes whole = fileBytes(folder / "IMG_0001.HEIC");
    writeFile(folder / "cut.heic", Bytes(whole.begin(), whole.begin() + 200));
    pictures::PictureSource cut(pathText(folder / "cut.heic"), true);
    EXPECT_TRUE(cut.decode().isNull());
    EXPECT_FALSE(cut.error().empty());
    EXPECT_FALSE(pictures::photoTakenTime(folder / "cut.heic"));
}

// --- damaged EXIF blocks: less is read, nothing else happens ---

// Offsets in the block exifTiff writes (little-endian, orientation then the Exif IFD pointer):
// IFD0 at 8 (count, two entries, next), the Exif IFD at 38, its date text at 56.
constexpr std::size_t ifd0Count = 8, exifPointerValue = 30, exifIfd = 38, dateType = 42, dateText = 56;

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::optional<std::uint16_t> orientation;
    bool taken;
};

std::string damageName(const ::testing::TestParamInfo<DamageCase>& info) { return info.param.name; }

void put16(Bytes& bytes, std::size_t at, unsigned value)
{
    bytes[at] = std::uint8_t(value & 0xFF);
    bytes[at + 1] = std::uint8_t(value >> 8);
}

class DamagedBlock : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedBlock, YieldsOnlyWhatIsSound)
{
    Bytes block = exifTiff({6, takenText, false});
    ASSERT_EQ(block.size(), dateText + 20);
    GetParam().damage(block);
    const ExifBlock read = ExifBlock::read(block);
    EXPECT_EQ(read.orientation, GetParam().orientation);
    EXPECT_EQ(read.taken.has_value(), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Exif, DamagedBlock,
    ::testing::Values(
        DamageCase{"Sound", [](Bytes&) {}, 6, true},
        DamageCase{"NotTiff", [](Bytes& b) { b[0] = b[1] = 'X'; }, std::nullopt, false},
        DamageCase{"IfdOutside", [](Bytes& b) { put16(b, 4, 0xFFF0); }, std::nullopt, false},
        DamageCase{"CountPastTheEnd", [](Bytes& b) { put16(b, ifd0Count, 0xFFFF); }, 6, true},
        DamageCase{"ExifIfdIsIfd0", [](Bytes& b) { put16(b, exifPointerValue, 8); }, 6, false},
        DamageCase{"ExifIfdOutside", [](Bytes& b) { put16(b, exifPointerValue, 0xFFF0); }, 6, false},
        DamageCase{"OrientationNine", [](Bytes& b) { put16(b, 18, 9); }, std::nullopt, true},
        DamageCase{"OrientationZero", [](Bytes& b) { put16(b, 18, 0); }, std::nullopt, true},
        DamageCase{"OrientationAsLong", [](Bytes& b) { put16(b, 12, 4); }, std::nullopt, true},
        DamageCase{"DateBlank", [](Bytes& b) { std::fill(b.begin() + dateText, b.begin() + dateText + 19, ' '); }, 6, false},
        DamageCase{"DateZeros", [](Bytes& b) { std::copy_n("0000:00:00 00:00:00", 19, b.begin() + dateText); }, 6, false},
        DamageCase{"DateImpossible", [](Bytes& b) { std::copy_n("2019:02:30 08:15:42", 19, b.begin() + dateText); }, 6, false},
        DamageCase{"DateNotText", [](Bytes& b) { put16(b, dateType, 7); }, 6, false},
        DamageCase{"DateOutside", [](Bytes& b) { put16(b, exifIfd + 10, 0xFFF0); }, 6, false},
        DamageCase{"CutInTheOrientation", [](Bytes& b) { b.resize(19); }, std::nullopt, false},
        DamageCase{"CutInTheDate", [](Bytes& b) { b.resize(dateText + 10); }, 6, false}),
    damageName);

// Every cut of a sound block, and of a JPEG carrying it, reads without harm: the orientation
// is read exactly when its value lies inside what is left.
TEST(DamagedBlock, EveryCutIsSafe)
{
    const Bytes block = exifTiff({6, takenText, true});
    for (std::size_t length = 0; length <= block.size(); ++length) {
        const ExifBlock read = ExifBlock::read(std::span(block).first(length));
        EXPECT_EQ(read.orientation.has_value(), length >= 22) << length; // the whole 12-byte entry
    }
    const Bytes jpeg = jpegWithExif(uprightPhoto({16, 16}), {6, takenText, false});
    for (std::size_t length = 0; length <= 120; ++length) {
        const auto read = pictures::JpegOrientation::read(std::span(jpeg).first(length));
        EXPECT_EQ(read.asStored.has_value(), length >= 12 + 22) << length; // behind SOI, APP1 head, "Exif\0\0"
    }
}

// Segments that lie about their length, or put EXIF where none is looked for, give no orientation.
TEST(DamagedJpeg, SegmentsOutOfBoundsGiveNoOrientation)
{
    const Bytes sound = jpegWithExif(uprightPhoto({16, 16}), {6, takenText, false});
    ASSERT_TRUE(pictures::JpegExif::find(sound));
    Bytes tooShort = sound;
    tooShort[4] = 0;
    tooShort[5] = 1; // a length below its own two bytes
    EXPECT_FALSE(pictures::JpegExif::find(tooShort));
    Bytes notExif = sound;
    notExif[6] = 'X';
    EXPECT_FALSE(pictures::JpegExif::find(notExif));
    Bytes afterScan{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02};
    afterScan.insert(afterScan.end(), sound.begin() + 2, sound.end());
    EXPECT_FALSE(pictures::JpegExif::find(afterScan));
    const Bytes noStart(sound.begin() + 2, sound.end());
    EXPECT_FALSE(pictures::JpegExif::find(noStart));
}

} // namespace
} // namespace tavorin::test
