#include "platform/xls/drawing/PictureFile.h"

#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::pictureFixture;
using tavorin::test::TemporaryFolder;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes fromQt(const QByteArray& bytes) { return Bytes(bytes.begin(), bytes.end()); }

void put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void put32(Bytes& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

Bytes encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return fromQt(bytes);
}

// A colourful picture whose every pixel differs from its neighbours.
QImage pattern(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y) % 256, (y * 11) % 256, (x * y) % 256));
    return image.convertToFormat(format);
}

// A minimal EMF: EMR_HEADER (88 bytes) with the given frame in 0.01 mm, then EMR_EOF.
Bytes minimalEmf(std::int32_t frameRight, std::int32_t frameBottom)
{
    Bytes b;
    put32(b, 1);  // EMR_HEADER
    put32(b, 88);
    for (std::int32_t v : {0, 0, 99, 49})                  // bounds, device units
        put32(b, static_cast<std::uint32_t>(v));
    for (std::int32_t v : {0, 0, frameRight, frameBottom}) // frame, 0.01 mm
        put32(b, static_cast<std::uint32_t>(v));
    put32(b, 0x464D4520);                                   // " EMF"
    put32(b, 0x00010000);                                   // version
    put32(b, 88 + 20);                                      // bytes
    put32(b, 2);                                            // records
    put16(b, 1);                                            // handles
    put16(b, 0);
    put32(b, 0);                                            // description
    put32(b, 0);
    put32(b, 0);                                            // palette entries
    put32(b, 1024);                                         // device, pixels
    put32(b, 768);
    put32(b, 320);                                          // millimetres
    put32(b, 240);
    put32(b, 14);   // EMR_EOF
    put32(b, 20);
    put32(b, 0);
    put32(b, 16);
    put32(b, 20);
    return b;
}

// A minimal WMF with a placeable header: bounding box in units of 1/inch inch.
Bytes minimalWmf(std::int16_t right, std::int16_t bottom, std::uint16_t inch)
{
    Bytes b;
    put32(b, 0x9AC6CDD7);
    put16(b, 0);
    for (std::int16_t v : {std::int16_t{0}, std::int16_t{0}, right, bottom})
        put16(b, static_cast<std::uint16_t>(v));
    put16(b, inch);
    put32(b, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
    put16(b, checksum);
    // META_HEADER: disk metafile, 9 words, version 0x300, size in words, 0 objects, max record, 0.
    put16(b, 1);
    put16(b, 9);
    put16(b, 0x0300);
    put32(b, (18 + 6) / 2);
    put16(b, 0);
    put32(b, 3);
    put16(b, 0);
    put32(b, 3); // META_EOF
    put16(b, 0);
    return b;
}

Bytes gzipped(const Bytes& data)
{
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

Bytes inflated(const Bytes& data, std::size_t size)
{
    Bytes out(size);
    uLongf length = static_cast<uLongf>(size);
    EXPECT_EQ(uncompress(out.data(), &length, data.data(), static_cast<uLong>(data.size())), Z_OK);
    out.resize(length);
    return out;
}

// The bytes a picture's blip will carry after its UID, as the workbook writer streams them.
Bytes payloadOf(const PictureFile& picture)
{
    const auto& payload = picture.payload();
    Bytes out = payload.prefix;
    Bytes file = readFile(payload.file);
    EXPECT_GE(file.size(), payload.offset + payload.length);
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(payload.offset),
               file.begin() + static_cast<std::ptrdiff_t>(payload.offset + payload.length));
    return out;
}

QImage decodedPng(const PictureFile& picture)
{
    Bytes payload = payloadOf(picture);
    EXPECT_EQ(payload.front(), 0xFF); // the bitmap blip's tag byte
    QImage image;
    EXPECT_TRUE(image.loadFromData(payload.data() + 1, static_cast<int>(payload.size() - 1), "PNG"));
    return image;
}

void expectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    QImage a = actual.convertToFormat(QImage::Format_RGBA64);
    QImage e = expected.convertToFormat(QImage::Format_RGBA64);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            ASSERT_EQ(a.pixelColor(x, y).rgba64(), e.pixelColor(x, y).rgba64()) << "pixel " << x << "," << y;
}

PictureFile openOk(const std::filesystem::path& path)
{
    auto picture = PictureFile::open(path);
    EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.error().describe());
    return std::move(picture).value();
}

// ----------------------------------------------------------------------------------------------

TEST(PictureFormatDetection, TellsEachFixtureByItsContent)
{
    EXPECT_EQ(openOk(pictureFixture("land.jpg")).format(), PictureFormat::Jpeg);
    EXPECT_EQ(openOk(pictureFixture("upper.JPG")).format(), PictureFormat::Jpeg);
    EXPECT_EQ(openOk(pictureFixture("name with spaces.jpeg")).format(), PictureFormat::Jpeg);
    EXPECT_EQ(openOk(pictureFixture("portrait.png")).format(), PictureFormat::Png);
    EXPECT_EQ(openOk(pictureFixture("wide.gif")).format(), PictureFormat::Gif);
    EXPECT_EQ(openOk(pictureFixture("square.bmp")).format(), PictureFormat::Bmp);
    EXPECT_EQ(openOk(pictureFixture("tall.tif")).format(), PictureFormat::Tiff);
}

TEST(PictureFormatDetection, IgnoresTheNameAndLooksAtTheBytes)
{
    TemporaryFolder folder;
    std::filesystem::copy_file(pictureFixture("portrait.png"), folder / "really-a-png.jpg");
    EXPECT_EQ(openOk(folder / "really-a-png.jpg").format(), PictureFormat::Png);
}

TEST(PictureFormatDetection, RefusesTextWithAReason)
{
    auto picture = PictureFile::open(pictureFixture("broken.jpg"));
    ASSERT_FALSE(picture.ok());
    EXPECT_NE(picture.error().message.find("not a picture"), std::string::npos) << picture.error().message;
    EXPECT_NE(picture.error().message.find("broken.jpg"), std::string::npos);
}

TEST(PictureFormatDetection, RefusesFormatsAnXlsCannotHoldNamingThem)
{
    TemporaryFolder folder;
    const std::pair<const char*, const char*> cases[] = {
        {"drawing.eps", "PostScript"}, {"chart.cgm", "Metafile (.cgm)"}, {"old.pct", "PICT"},
        {"old.pict", "PICT"},          {"art.wpg", "WordPerfect"},       {"scan.pcz", ".pcz"},
        {"anim.gfa", ".gfa"},          {"packed.bmz", ".bmz"}};
    for (const auto& [name, expected] : cases) {
        writeFile(folder / name, {'%', '!', 'P', 'S', 0, 1, 2, 3});
        auto picture = PictureFile::open(folder / name);
        ASSERT_FALSE(picture.ok()) << name;
        EXPECT_NE(picture.error().message.find(expected), std::string::npos) << picture.error().message;
        EXPECT_NE(picture.error().message.find("cannot be placed"), std::string::npos);
    }
}

TEST(PictureFormatDetection, RefusesAGzipThatHoldsNoMetafile)
{
    TemporaryFolder folder;
    writeFile(folder / "packed.bmz", gzipped(readFile(pictureFixture("square.bmp"))));
    auto picture = PictureFile::open(folder / "packed.bmz");
    ASSERT_FALSE(picture.ok());
    EXPECT_NE(picture.error().message.find("holds no EMF or WMF"), std::string::npos) << picture.error().message;
}

TEST(PictureFormatDetection, MissingFileAndEmptyFileFailCleanly)
{
    TemporaryFolder folder;
    EXPECT_FALSE(PictureFile::open(folder / "absent.jpg").ok());
    writeFile(folder / "empty.png", {});
    EXPECT_FALSE(PictureFile::open(folder / "empty.png").ok());
    EXPECT_FALSE(PictureFile::open(folder.path()).ok());
}

// ----------------------------------------------------------------------------------------------

TEST(PictureNaturalSize, FixturesWithoutResolutionAreMeasuredAt96Dpi)
{
    struct Case { const char* name; int pixelWidth, pixelHeight; };
    for (const Case& c : {Case{"land.jpg", 320, 240}, Case{"portrait.png", 240, 320}, Case{"wide.gif", 200, 100},
                          Case{"square.bmp", 150, 150}, Case{"tall.tif", 100, 300}}) {
        PictureFile picture = openOk(pictureFixture(c.name));
        EXPECT_EQ(picture.header().pixelWidth, c.pixelWidth) << c.name;
        EXPECT_EQ(picture.header().pixelHeight, c.pixelHeight) << c.name;
        EXPECT_DOUBLE_EQ(picture.widthPoints(), c.pixelWidth * 0.75) << c.name;
        EXPECT_DOUBLE_EQ(picture.heightPoints(), c.pixelHeight * 0.75) << c.name;
    }
}

TEST(PictureNaturalSize, HonoursTheResolutionEachBitmapFormatRecords)
{
    TemporaryFolder folder;
    QImage image = pattern(300, 150);
    image.setDotsPerMeterX(11811); // 300 dpi
    image.setDotsPerMeterY(5906);  // 150 dpi
    for (const char* format : {"png", "bmp", "tiff", "jpg"}) {
        auto path = folder / (std::string("dense.") + format);
        writeFile(path, encoded(image, format));
        PictureFile picture = openOk(path);
        EXPECT_NEAR(picture.header().dpiX, 300.0, 0.05) << format;
        EXPECT_NEAR(picture.header().dpiY, 150.0, 0.05) << format;
        EXPECT_NEAR(picture.widthPoints(), 300 * 72.0 / 300, 0.01) << format;
        EXPECT_NEAR(picture.heightPoints(), 150 * 72.0 / 150, 0.01) << format;
    }
}

// land.jpg with an EXIF block after its JFIF segment (whose density has no unit) saying
// 220 x 110 pixels per inch, big-endian.
Bytes jpegWithExifResolution()
{
    Bytes land = readFile(pictureFixture("land.jpg"));
    auto be16 = [](Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v >> 8)); b.push_back(static_cast<std::uint8_t>(v)); };
    auto be32 = [&](Bytes& b, std::uint32_t v) { be16(b, v >> 16); be16(b, v & 0xFFFF); };
    Bytes tiff{'M', 'M', 0, 42};
    be32(tiff, 8);
    be16(tiff, 3);
    std::uint32_t values = 8 + 2 + 3 * 12 + 4;
    be16(tiff, 282); be16(tiff, 5); be32(tiff, 1); be32(tiff, values);
    be16(tiff, 283); be16(tiff, 5); be32(tiff, 1); be32(tiff, values + 8);
    be16(tiff, 296); be16(tiff, 3); be32(tiff, 1); be16(tiff, 2); be16(tiff, 0);
    be32(tiff, 0);
    be32(tiff, 440); be32(tiff, 2);
    be32(tiff, 110); be32(tiff, 1);
    Bytes segment{0xFF, 0xE1};
    be16(segment, static_cast<unsigned>(2 + 6 + tiff.size()));
    for (char c : std::string("Exif\0\0", 6))
        segment.push_back(static_cast<std::uint8_t>(c));
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    std::size_t afterJfif = 2 + 2 + ((land[4] << 8) | land[5]);
    land.insert(land.begin() + static_cast<std::ptrdiff_t>(afterJfif), segment.begin(), segment.end());
    return land;
}

TEST(PictureNaturalSize, JpegTakesTheExifResolutionWhenJfifGivesNone)
{
    TemporaryFolder folder;
    writeFile(folder / "exif.jpg", jpegWithExifResolution());
    PictureFile picture = openOk(folder / "exif.jpg");
    EXPECT_DOUBLE_EQ(picture.header().dpiX, 220.0);
    EXPECT_DOUBLE_EQ(picture.header().dpiY, 110.0);
    EXPECT_DOUBLE_EQ(picture.widthPoints(), 320 * 72.0 / 220);
    EXPECT_DOUBLE_EQ(picture.heightPoints(), 240 * 72.0 / 110);
}

TEST(PictureNaturalSize, JpegWithItsFrameHeaderFarFromTheStartIsMeasured)
{
    // Large metadata blocks (a colour profile, a preview) before the frame header.
    Bytes land = readFile(pictureFixture("land.jpg"));
    Bytes padded(land.begin(), land.begin() + 2);
    for (int i = 0; i < 4; ++i) {
        Bytes segment{0xFF, 0xE2, 0xFF, 0xFF};
        segment.resize(2 + 0xFFFF, static_cast<std::uint8_t>(i));
        padded.insert(padded.end(), segment.begin(), segment.end());
    }
    padded.insert(padded.end(), land.begin() + 2, land.end());
    TemporaryFolder folder;
    writeFile(folder / "padded.jpg", padded);
    PictureFile original = openOk(pictureFixture("land.jpg"));
    PictureFile picture = openOk(folder / "padded.jpg");
    EXPECT_EQ(picture.header().pixelWidth, original.header().pixelWidth);
    EXPECT_EQ(picture.header().pixelHeight, original.header().pixelHeight);
    EXPECT_DOUBLE_EQ(picture.widthPoints(), original.widthPoints());
    EXPECT_EQ(picture.payload().length, padded.size());
}

TEST(PictureNaturalSize, MetafilesUseTheirFrame)
{
    TemporaryFolder folder;
    writeFile(folder / "two-by-one-inch.emf", minimalEmf(5080, 2540));
    PictureFile emf = openOk(folder / "two-by-one-inch.emf");
    EXPECT_EQ(emf.format(), PictureFormat::Emf);
    EXPECT_NEAR(emf.widthPoints(), 144.0, 1e-9);
    EXPECT_NEAR(emf.heightPoints(), 72.0, 1e-9);

    writeFile(folder / "one-by-half-inch.wmf", minimalWmf(1440, 720, 1440));
    PictureFile wmf = openOk(folder / "one-by-half-inch.wmf");
    EXPECT_EQ(wmf.format(), PictureFormat::Wmf);
    EXPECT_DOUBLE_EQ(wmf.widthPoints(), 72.0);
    EXPECT_DOUBLE_EQ(wmf.heightPoints(), 36.0);
}

TEST(PictureNaturalSize, CompressedMetafilesAreUnpackedFirst)
{
    TemporaryFolder folder;
    writeFile(folder / "a.emz", gzipped(minimalEmf(2540, 2540)));
    PictureFile emz = openOk(folder / "a.emz");
    EXPECT_EQ(emz.format(), PictureFormat::Emf);
    EXPECT_NEAR(emz.widthPoints(), 72.0, 1e-9);

    writeFile(folder / "a.wmz", gzipped(minimalWmf(2000, 1000, 1000)));
    PictureFile wmz = openOk(folder / "a.wmz");
    EXPECT_EQ(wmz.format(), PictureFormat::Wmf);
    EXPECT_DOUBLE_EQ(wmz.widthPoints(), 144.0);
    EXPECT_DOUBLE_EQ(wmz.heightPoints(), 72.0);
}

TEST(PictureNaturalSize, WmfWithoutPlaceableHeaderIsRefusedForWantOfASize)
{
    TemporaryFolder folder;
    Bytes bare = minimalWmf(10, 10, 1440);
    bare.erase(bare.begin(), bare.begin() + 22);
    writeFile(folder / "bare.wmf", bare);
    auto picture = PictureFile::open(folder / "bare.wmf");
    ASSERT_FALSE(picture.ok());
    EXPECT_NE(picture.error().message.find("placeable"), std::string::npos);
}

// ----------------------------------------------------------------------------------------------

TEST(PictureBlip, JpegAndPngAreStoredByteForByteFromTheirFile)
{
    for (const char* name : {"land.jpg", "portrait.png"}) {
        PictureFile picture = openOk(pictureFixture(name));
        Bytes file = readFile(pictureFixture(name));
        Bytes payload = payloadOf(picture);
        ASSERT_EQ(payload.size(), file.size() + 1) << name;
        EXPECT_EQ(payload[0], 0xFF);
        EXPECT_TRUE(std::equal(file.begin(), file.end(), payload.begin() + 1)) << name;
        EXPECT_EQ(picture.payload().file, pictureFixture(name)); // streamed, not copied
        // Keyed when written, from the bytes read then; the picture as it was opened is held to.
        EXPECT_FALSE(picture.uid().has_value()) << name;
        EXPECT_EQ(picture.payload().fileSize, file.size()) << name;
    }
    EXPECT_EQ(openOk(pictureFixture("land.jpg")).blipRecordType(), 0xF01D);
    EXPECT_EQ(openOk(pictureFixture("land.jpg")).blipRecordInstance(), 0x46A);
    EXPECT_EQ(openOk(pictureFixture("portrait.png")).blipRecordType(), 0xF01E);
    EXPECT_EQ(openOk(pictureFixture("portrait.png")).blipRecordInstance(), 0x6E0);
}

TEST(PictureBlip, BitmapsBecomePngWithIdenticalPixels)
{
    for (const char* name : {"square.bmp", "wide.gif", "tall.tif"}) {
        PictureFile picture = openOk(pictureFixture(name));
        EXPECT_EQ(picture.blipType(), PictureFile::BlipType::Png) << name;
        QImage source(QString::fromStdString(pictureFixture(name).string()));
        ASSERT_FALSE(source.isNull()) << name;
        expectSamePixels(decodedPng(picture), source);
    }
}

// The stored PNG says the resolution the picture was measured with, whatever screen the
// program runs on: a window and the command line must store the same bytes.
TEST(PictureBlip, ConvertedBitmapsStateTheirOwnResolution)
{
    for (const char* name : {"square.bmp", "wide.gif", "tall.tif"}) {
        PictureFile picture = openOk(pictureFixture(name));
        QImage png = decodedPng(picture);
        EXPECT_EQ(png.dotsPerMeterX(), 3780) << name << ": 96 dpi, as the picture was measured";
        EXPECT_EQ(png.dotsPerMeterY(), 3780) << name;
    }
    TemporaryFolder folder;
    QImage image = pattern(30, 20);
    image.setDotsPerMeterX(11811); // 300 dpi
    image.setDotsPerMeterY(5906);  // 150 dpi
    for (const char* format : {"bmp", "tiff"}) {
        auto path = folder / (std::string("dense.") + format);
        writeFile(path, encoded(image, format));
        QImage png = decodedPng(openOk(path));
        EXPECT_NEAR(png.dotsPerMeterX(), 11811, 1) << format;
        EXPECT_NEAR(png.dotsPerMeterY(), 5906, 1) << format;
    }
}

TEST(PictureBlip, SixteenBitGreyKeepsItsDepth)
{
    QImage converted = decodedPng(openOk(pictureFixture("tall.tif")));
    QImage source(QString::fromStdString(pictureFixture("tall.tif").string()));
    EXPECT_EQ(source.format(), QImage::Format_Grayscale16);
    EXPECT_EQ(converted.format(), QImage::Format_Grayscale16);
}

TEST(PictureBlip, DibWithoutFileHeaderDecodesLikeItsBmp)
{
    TemporaryFolder folder;
    for (auto format : {QImage::Format_RGB32, QImage::Format_Indexed8}) {
        QImage image = pattern(33, 17, QImage::Format_RGB32);
        if (format == QImage::Format_Indexed8)
            image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        Bytes bmp = encoded(image, "bmp");
        writeFile(folder / "picture.dib", Bytes(bmp.begin() + 14, bmp.end()));
        PictureFile picture = openOk(folder / "picture.dib");
        EXPECT_EQ(picture.format(), PictureFormat::Dib);
        EXPECT_EQ(picture.header().pixelWidth, 33);
        expectSamePixels(decodedPng(picture), image);
    }
}

// A 4 x 2 bitmap, 8 bits per pixel, RLE8-compressed: bottom row 1 1 2 2, top row 3 3 3 3.
Bytes rle8Bitmap()
{
    Bytes pixels{2, 1, 2, 2, 0, 0, 4, 3, 0, 1};
    Bytes info;
    put32(info, 40);
    put32(info, 4);
    put32(info, 2);
    put16(info, 1);
    put16(info, 8);
    put32(info, 1); // BI_RLE8
    put32(info, static_cast<std::uint32_t>(pixels.size()));
    put32(info, 0);
    put32(info, 0);
    put32(info, 4); // colours used
    put32(info, 0);
    Bytes palette;
    for (std::uint32_t colour : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu})
        put32(palette, colour);
    Bytes file{'B', 'M'};
    put32(file, static_cast<std::uint32_t>(14 + info.size() + palette.size() + pixels.size()));
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(14 + info.size() + palette.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

TEST(PictureBlip, RleBitmapIsDecompressedIntoPng)
{
    TemporaryFolder folder;
    writeFile(folder / "small.rle", rle8Bitmap());
    PictureFile picture = openOk(folder / "small.rle");
    EXPECT_EQ(picture.format(), PictureFormat::Bmp);
    QImage png = decodedPng(picture);
    ASSERT_EQ(png.size(), QSize(4, 2));
    EXPECT_EQ(QColor(png.pixel(0, 1)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(png.pixel(1, 1)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(png.pixel(2, 1)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(png.pixel(3, 1)), QColor(0, 255, 0));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(QColor(png.pixel(x, 0)), QColor(0, 0, 255));
}

TEST(PictureBlip, MetafileIsCompressedBehindItsHeader)
{
    TemporaryFolder folder;
    Bytes wmf = minimalWmf(1440, 720, 1440);
    writeFile(folder / "m.wmf", wmf);
    PictureFile picture = openOk(folder / "m.wmf");
    EXPECT_EQ(picture.blipRecordType(), 0xF01B);
    EXPECT_EQ(picture.blipRecordInstance(), 0x216);
    Bytes payload = payloadOf(picture);
    ASSERT_GE(payload.size(), 34u);
    Bytes metafile(wmf.begin() + 22, wmf.end()); // without the placeable header
    auto u32 = [&](std::size_t at) { return std::uint32_t(payload[at] | payload[at + 1] << 8 | payload[at + 2] << 16 | payload[at + 3] << 24); };
    EXPECT_EQ(u32(0), metafile.size());                  // cbSize
    EXPECT_EQ(u32(12), 1440u);                           // rcBounds right
    EXPECT_EQ(u32(16), 720u);                            // rcBounds bottom
    EXPECT_EQ(u32(20), 914400u);                         // one inch in EMU
    EXPECT_EQ(u32(24), 457200u);
    EXPECT_EQ(u32(28), payload.size() - 34);             // cbSave
    EXPECT_EQ(payload[32], 0x00);                        // deflate
    EXPECT_EQ(payload[33], 0xFE);                        // filter
    EXPECT_EQ(inflated(Bytes(payload.begin() + 34, payload.end()), metafile.size()), metafile);

    writeFile(folder / "m.emf", minimalEmf(5080, 2540));
    PictureFile emf = openOk(folder / "m.emf");
    EXPECT_EQ(emf.blipRecordType(), 0xF01A);
    EXPECT_EQ(emf.blipRecordInstance(), 0x3D4);
    Bytes emfPayload = payloadOf(emf);
    EXPECT_EQ(inflated(Bytes(emfPayload.begin() + 34, emfPayload.end()), 108), minimalEmf(5080, 2540));
}

TEST(PictureBlip, EqualContentsGiveEqualUidsAndDifferentContentsDoNot)
{
    TemporaryFolder folder;
    std::filesystem::copy_file(pictureFixture("square.bmp"), folder / "copy.bmp");
    EXPECT_EQ(openOk(pictureFixture("square.bmp")).uid(), openOk(folder / "copy.bmp").uid());
    auto keyOf = [](const char* name) { return *openOk(pictureFixture(name)).payload().keyOfRange(); };
    EXPECT_EQ(keyOf("land.jpg"), keyOf("name with spaces.jpeg"));
    EXPECT_NE(keyOf("land.jpg"), keyOf("upper.JPG"));
}

TEST(PictureDamage, DamagedFilesFailWithTheirFormatNamed)
{
    TemporaryFolder folder;
    Bytes png = readFile(pictureFixture("portrait.png"));
    writeFile(folder / "cut.png", Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2)));
    auto cut = PictureFile::open(folder / "cut.png");
    ASSERT_FALSE(cut.ok());
    EXPECT_NE(cut.error().message.find("PNG"), std::string::npos) << cut.error().message;

    Bytes jpeg = readFile(pictureFixture("land.jpg"));
    writeFile(folder / "head.jpg", Bytes(jpeg.begin(), jpeg.begin() + 40));
    auto head = PictureFile::open(folder / "head.jpg");
    ASSERT_FALSE(head.ok());
    EXPECT_NE(head.error().message.find("JPEG"), std::string::npos) << head.error().message;

    Bytes bmp = readFile(pictureFixture("square.bmp"));
    writeFile(folder / "short.bmp", Bytes(bmp.begin(), bmp.begin() + 200));
    auto shortBmp = PictureFile::open(folder / "short.bmp");
    ASSERT_FALSE(shortBmp.ok());
    EXPECT_NE(shortBmp.error().message.find("BMP picture: the pixel data is cut short"), std::string::npos) << shortBmp.error().message;

    Bytes broken = png;
    broken[20] ^= 0x40; // height inside IHDR: the checksum no longer matches
    writeFile(folder / "flipped.png", broken);
    EXPECT_FALSE(PictureFile::open(folder / "flipped.png").ok());
}

} // namespace
