// Templates as Excel and other programs write them, with comments, charts, form controls and many pictures,
// and a few with the blemishes real files carry: two runs on each (pictures on the template sheet, then
// copies of it with more), judged by Apache POI (strict about record order, like Excel), xlrd (every sheet
// whole, every stream position right), LibreOffice (it reads them), a record walk of its own and a census
// of the drawing ids.

#include "support/BiffStreamBuilder.h"
#include "support/DrawingCensus.h"
#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/PhotoSamples.h"
#include "support/PlacementChecks.h"
#include "support/RunBlock.h"
#include "support/SavedWorkbook.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

std::uint16_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

Bytes streamOf(const std::string& fixture) { return workbookStreamOf(workbookFixture(fixture)); }

// Record headers of a Workbook stream, in order.
struct RecordAt {
    std::size_t offset;
    std::uint16_t type, length;
};
std::vector<RecordAt> recordsOf(const Bytes& stream)
{
    std::vector<RecordAt> records;
    for (std::size_t at = 0; at + 4 <= stream.size() && (records.empty() || u16(stream, at) != 0);) {
        records.push_back({at, u16(stream, at), u16(stream, at + 2)});
        at += 4 + u16(stream, at + 2);
    }
    return records;
}

// Inserts a record at a record boundary and moves every absolute stream position behind it
// (BoundSheet8 and INDEX), as a writer that had the record from the start would have them.
Bytes withRecordInserted(Bytes stream, std::size_t at, std::uint16_t type, const Bytes& data)
{
    const auto shift = static_cast<std::uint32_t>(4 + data.size());
    for (const auto& record : recordsOf(stream)) {
        if (record.type == 0x0085 && le32(stream, record.offset + 4) >= at)
            setLe32(stream, record.offset + 4, le32(stream, record.offset + 4) + shift);
        if (record.type == 0x020B)
            for (std::size_t p = record.offset + 4 + 12; p + 4 <= record.offset + 4 + record.length; p += 4)
                if (le32(stream, p) >= at)
                    setLe32(stream, p, le32(stream, p) + shift);
    }
    const Bytes inserted = BiffStreamBuilder().record(type, data).bytes();
    stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
    return stream;
}

// An OfficeArt record: its header (version and instance, type, length), then the parts.
Bytes art(std::uint16_t versionInstance, std::uint16_t type, std::initializer_list<Bytes> parts)
{
    Bytes out;
    BiffStreamBuilder::putU16(out, versionInstance);
    BiffStreamBuilder::putU16(out, type);
    BiffStreamBuilder::putU32(out, 0);
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    setLe32(out, 4, static_cast<std::uint32_t>(out.size() - 8));
    return out;
}

std::filesystem::path madeOf(const TemporaryFolder& folder, Bytes stream)
{
    writeFile(folder / "book.xls", workbookFileWith(std::move(stream)));
    return folder / "book.xls";
}

// A writer that left the drawing containers' version at 0 instead of 0xF.
std::filesystem::path containerVersionZero(const TemporaryFolder& folder)
{
    Bytes stream = streamOf("SimpleWithImages.xls");
    for (const auto& record : recordsOf(stream))
        if (record.type == 0x00EC && u16(stream, record.offset + 6) == 0xF002) {
            stream[record.offset + 4] &= 0xF0;      // the drawing container
            stream[record.offset + 4 + 24] &= 0xF0; // its shape tree, behind the FDG
            break;
        }
    return madeOf(folder, std::move(stream));
}

// A stream declared 2 KB longer than the sector chain that holds it.
std::filesystem::path declaredLongerThanItsChain(const TemporaryFolder& folder)
{
    Bytes file = workbookFileWith(streamOf("ledger.xls"));
    const std::string name = "Workbook";
    for (std::size_t entry = 512; entry + 128 <= file.size(); entry += 128) {
        bool named = file[entry + 66] == 2; // a stream entry
        for (std::size_t i = 0; i < name.size(); ++i)
            named = named && file[entry + 2 * i] == name[i] && file[entry + 2 * i + 1] == 0;
        if (named) {
            setLe32(file, entry + 120, le32(file, entry + 120) + 2048);
            writeFile(folder / "book.xls", file);
            return folder / "book.xls";
        }
    }
    ADD_FAILURE() << "no Workbook entry in the built compound file";
    return {};
}

// BoundSheet8 positions that point one byte into their sheets' BOF records.
std::filesystem::path sheetPositionsOffByOne(const TemporaryFolder& folder)
{
    Bytes stream = streamOf("ledger.xls");
    for (const auto& record : recordsOf(stream))
        if (record.type == 0x0085)
            setLe32(stream, record.offset + 4, le32(stream, record.offset + 4) + 1);
    return madeOf(folder, std::move(stream));
}

// The embedded chart carries a drawing of its own (as a chart with a text box does), with a
// drawing id the workbook's drawing group does not list.
std::filesystem::path chartWithItsOwnDrawing(const TemporaryFolder& folder)
{
    Bytes stream = streamOf("EmbeddedChartHeaderTest.xls");
    const Bytes patriarch = art(0x000F, 0xF004, {art(0x0001, 0xF009, {Bytes(16, 0)}),
                                                 art(0x0002, 0xF00A, {{0x00, 0x14, 0, 0, 0x05, 0, 0, 0}})});
    const Bytes drawing =
        art(0x000F, 0xF002, {art(0x0070, 0xF008, {{1, 0, 0, 0, 0x00, 0x14, 0, 0}}), art(0x000F, 0xF003, {patriarch})});
    // Before the EOF that closes the chart substream (the second EOF of the first sheet).
    int depth = 0;
    bool inSheet = false;
    for (const auto& record : recordsOf(stream)) {
        if (record.type == 0x0809) {
            inSheet = inSheet || u16(stream, record.offset + 6) == 0x0010;
            ++depth;
        } else if (record.type == 0x000A && --depth == 1 && inSheet) {
            return madeOf(folder, withRecordInserted(stream, record.offset, 0x00EC, drawing));
        }
    }
    ADD_FAILURE() << "no chart substream in the fixture";
    return {};
}

struct Template {
    const char* name;
    const char* original; // the fixture whose contents the result must keep
    std::filesystem::path (*make)(const TemporaryFolder&); // nothing: a copy of the original
};

QString md5Of(const std::filesystem::path& path) { return md5Hex(fileBytes(path)); }

QStringList kindsOf(const QJsonObject& sheet, qsizetype morePictures = 0)
{
    QStringList kinds;
    for (const auto& shape : sheet["shapes"].toArray())
        kinds << shape.toObject()["kind"].toString();
    for (qsizetype i = 0; i < morePictures; ++i)
        kinds << "HSSFPicture";
    kinds.sort();
    return kinds;
}

// The pictures a run put on a sheet, in order: those showing one of the inserted files.
QJsonArray newPictures(const QJsonObject& sheet, const QStringList& insertedMd5)
{
    QJsonArray found;
    for (const auto& picture : sheet["pictures"].toArray())
        if (insertedMd5.contains(picture.toObject()["md5"].toString()))
            found.append(picture);
    return found;
}

// Excel's grammar: a sheet's drawing block (MSODRAWING pieces with their OBJ, TXO, CONTINUE and
// embedded charts) comes whole before the drawing selection and the comments' NOTE records, and
// DIMENSIONS stands before the first ROW.
void expectRecordOrder(const QJsonObject& substream, const QString& sheet)
{
    SCOPED_TRACE("records of " + sheet.toStdString());
    const QJsonArray records = substream["records"].toArray();
    qsizetype lastDrawing = -1, firstAfter = records.size(), dimensions = -1, firstRow = records.size();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString type = records[i].toString();
        if (type == "00EC" || type == "005D" || type == "01B6" || type == "BOF..EOF")
            lastDrawing = i;
        if (type == "001C" || type == "00ED")
            firstAfter = std::min(firstAfter, i);
        if (type == "0200" && dimensions < 0)
            dimensions = i;
        if (type == "0208")
            firstRow = std::min(firstRow, i);
    }
    EXPECT_LT(lastDrawing, firstAfter) << "a drawing record stands after a NOTE or the drawing selection";
    EXPECT_GE(dimensions, 0) << "no DIMENSIONS record";
    EXPECT_LT(dimensions, firstRow) << "DIMENSIONS after the first ROW";
}

struct Expected {
    QString sheet;
    std::vector<ExpectedPicture> pictures; // the new ones, in order
};

ExpectedPicture inBlock(const std::filesystem::path& path, int degrees, const QString& sheet, int firstRow)
{
    const bool land = path.filename() == "land.jpg";
    return {path, degrees, land ? 240.0 : 180.0, land ? 180.0 : 240.0, sheet, 0, firstRow, 2, firstRow + 7, 4};
}

// First run: two pictures on the template sheet itself, blocks B3:D10 and B12:D19. Second run:
// one picture on each of two copies of the template, which carry the first two.
std::vector<Expected> runTwice(const std::filesystem::path& book, const QStringList& sheets)
{
    const auto land = pictureFixture("land.jpg"), portrait = pictureFixture("portrait.png");
    RunOptions first = EngineRun::optionsFor(book, sheets);
    setBlock(first, 2, 4, 3, 10, 1);
    first.pictures = {EngineRun::pictureRow(land, "○"), EngineRun::pictureRow(portrait, "→")};
    RunOptions second = first;
    second.picturesPerSheet = 1;
    second.sheetNameText = "写真";
    second.pictures = {EngineRun::pictureRow(portrait, "○"), EngineRun::pictureRow(land, "←")};
    for (const RunOptions& options : {first, second}) {
        EngineRun engine;
        const RunOutcome outcome = engine.run(options);
        EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
        EXPECT_EQ(outcome.placed, 2) << outcome.message.toStdString();
    }
    const QString name = sheets[0];
    const std::vector<ExpectedPicture> firstRun{inBlock(land, 0, name, 3), inBlock(portrait, 90, name, 12)};
    std::vector<Expected> expected{{name, firstRun}, {"写真(1)", firstRun}, {"写真(2)", firstRun}};
    expected[1].pictures.push_back(inBlock(portrait, 0, "写真(1)", 3));
    expected[2].pictures.push_back(inBlock(land, 270, "写真(2)", 3));
    return expected;
}

// The template's shapes and comments on every sheet made from it, the new pictures in the
// drawing, anchored in their blocks; the cells as they were.
void expectPoiKeepsAndPlaces(const QJsonObject& report, const QJsonObject& original,
                             const std::vector<Expected>& expected, const QStringList& insertedMd5)
{
    const QJsonObject template0 = original["sheets"].toArray()[0].toObject();
    for (const auto& sheetExpected : expected) {
        SCOPED_TRACE("POI, sheet " + sheetExpected.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(report, sheetExpected.sheet, "POI");
        EXPECT_EQ(kindsOf(sheet), kindsOf(template0, static_cast<qsizetype>(sheetExpected.pictures.size())));
        EXPECT_EQ(sheet["comments"], template0["comments"]);
        EXPECT_EQ(sheet["cells"], template0["cells"]);
        const QJsonArray added = newPictures(sheet, insertedMd5);
        ASSERT_EQ(added.size(), static_cast<qsizetype>(sheetExpected.pictures.size()));
        for (qsizetype i = 0; i < added.size(); ++i) {
            const auto& picture = sheetExpected.pictures[static_cast<std::size_t>(i)];
            const QJsonArray anchor = added[i].toObject()["anchor"].toArray();
            EXPECT_EQ(added[i].toObject()["md5"].toString(), md5Of(picture.path));
            // Fonts whose digit width is known here are judged to half a point; any anchor must at
            // least lie in the block's cells.
            if (report["normalFont"].toObject()["name"].toString() == "Arial")
                expectAnchoredInBlock(report, sheet, added[i].toObject(), picture, 1.0);
            EXPECT_GE(anchor[0].toInt(), picture.firstColumn - 1);
            EXPECT_LE(anchor[4].toInt() + anchor[5].toInt() / 1024.0, picture.lastColumn);
            EXPECT_GE(anchor[2].toInt(), picture.firstRow - 1);
            EXPECT_LE(anchor[6].toInt() + anchor[7].toInt() / 256.0, picture.lastRow);
        }
    }
    for (const QString& untouched : sheetNames(original).mid(1))
        EXPECT_EQ(sheetNamed(report, untouched, "POI")["cells"], sheetNamed(original, untouched, "POI")["cells"]);
}

class RealWorldTemplate : public ::testing::TestWithParam<Template> {};

TEST_P(RealWorldTemplate, TwoRunsAddPicturesAndKeepEveryShapeCommentChartAndCell)
{
    const Template& param = GetParam();
    TemporaryFolder folder;
    const auto book = param.make ? param.make(folder) : copyWorkbook(folder.path(), param.original, "book.xls");
    ASSERT_FALSE(book.empty());
    auto input = recordWalk(book);
    auto original = poiReport(workbookFixture(param.original));
    ASSERT_TRUE(input && original) << "the template cannot be read";
    const QJsonArray charts = (*input)["substreams"].toArray()[1].toObject()["charts"].toArray();
    const QStringList sheets = sheetNames(*original);
    const std::vector<Expected> expected = runTwice(book, sheets);
    QStringList sheetsAfter = sheets;
    sheetsAfter.insert(sheets.size(), "写真(1)");
    sheetsAfter.insert(sheets.size() + 1, "写真(2)");
    const QStringList insertedMd5{md5Of(pictureFixture("land.jpg")), md5Of(pictureFixture("portrait.png"))};

    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value()) << "POI cannot read the saved workbook";
    EXPECT_EQ(sheetNames(*report), sheetsAfter);
    expectPoiKeepsAndPlaces(*report, *original, expected, insertedMd5);

    // xlrd reads every sheet whole (cells of a sheet without DIMENSIONS too).
    if (auto whole = expectSavedWhole(book)) {
        EXPECT_EQ(sheetNames(*whole), sheetsAfter);
        EXPECT_EQ(sheetNamed(*whole, sheets[0], "xlrd")["cells"].toArray().size(),
                  (*original)["sheets"].toArray()[0].toObject()["cells"].toArray().size());
    }

    // The record walk: Excel's order on every sheet, embedded charts copied byte for byte.
    auto records = recordWalk(book);
    ASSERT_TRUE(records.has_value());
    const QJsonArray substreams = (*records)["substreams"].toArray();
    ASSERT_EQ(substreams.size(), sheetsAfter.size() + 1);
    for (qsizetype i = 1; i < substreams.size(); ++i) {
        expectRecordOrder(substreams[i].toObject(), sheetsAfter[i - 1]);
        if (i == 1 || sheetsAfter[i - 1].startsWith("写真")) {
            EXPECT_EQ(substreams[i].toObject()["charts"].toArray(), charts) << sheetsAfter[i - 1].toStdString();
        }
    }

    EXPECT_EQ(DrawingCensus::of(book).idProblems(), "") << "drawing ids that clash make Excel repair the workbook";

    if (auto shown = libreOfficeReport(book)) {
        EXPECT_EQ(sheetNames(*shown), sheetsAfter) << "LibreOffice reads the workbook";
    }
}

std::string templateName(const ::testing::TestParamInfo<Template>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , RealWorldTemplate,
    ::testing::Values(Template{"Comments", "SimpleWithComments.xls", nullptr},
                      Template{"NinetyFivePicturesContinuedAfterObj", "49423.xls", nullptr},
                      Template{"FormControlsContinuedAfterObj", "ContinueRecordProblem.xls", nullptr},
                      Template{"EmbeddedChart", "EmbeddedChartHeaderTest.xls", nullptr},
                      Template{"EmbeddedChartWithItsOwnDrawing", "EmbeddedChartHeaderTest.xls", chartWithItsOwnDrawing},
                      Template{"Biff8InBookStream", "BOOK_in_capitals.xls", nullptr},
                      Template{"NoDimensions", "53984.xls", nullptr},
                      Template{"ContainerVersionZero", "SimpleWithImages.xls", containerVersionZero},
                      Template{"StreamDeclaredLongerThanItsChain", "ledger.xls", declaredLongerThanItsChain},
                      Template{"SheetPositionsPointNowhere", "ledger.xls", sheetPositionsOffByOne}),
    templateName);

// The drawing group's records joined (MSODRAWINGGROUP and the CONTINUEs after it).
Bytes drawingGroupOf(const Bytes& stream)
{
    Bytes joined;
    bool inGroup = false;
    for (const auto& record : recordsOf(stream)) {
        inGroup = record.type == 0x00EB || (inGroup && record.type == 0x003C);
        if (inGroup)
            joined.insert(joined.end(), stream.begin() + static_cast<std::ptrdiff_t>(record.offset + 4),
                          stream.begin() + static_cast<std::ptrdiff_t>(record.offset + 4 + record.length));
    }
    return joined;
}

RunOptions twoBlocksOn(const std::filesystem::path& book, const QStringList& sheets,
                       const std::vector<std::filesystem::path>& pictures)
{
    RunOptions options = EngineRun::optionsFor(book, sheets);
    setBlock(options, 2, 3, 2, 5);
    for (const auto& picture : pictures)
        options.pictures.push_back(EngineRun::pictureRow(picture, "○"));
    return options;
}

// A ledger of photos reopened: its drawing group of megabytes (the stream's pages it is read from go back
// to the system as it is taken apart) keeps every stored photo byte for byte as more join it; damaged so
// that it does not read, no picture is placed and it is written back as it was read.
TEST(ReopenedLedger, KeepsEveryStoredPhotoAsMoreJoinItAndADamagedGroupAsItWasRead)
{
    TemporaryFolder folder;
    std::vector<std::filesystem::path> photos;
    for (quint32 i = 0; i < 9; ++i) {
        photos.push_back(folder / ("photo" + std::to_string(i) + ".jpg"));
        writeFile(photos.back(), encodedImage(noisyPicture({1600, 1200}, false, i), "JPEG"));
    }
    const auto book = copyWorkbook(folder.path(), "ledger.xls", "book.xls");
    ASSERT_TRUE(EngineRun().run(twoBlocksOn(book, {"Sheet1"}, {photos.begin(), photos.end() - 1})).saved);

    Bytes stream = workbookStreamOf(book);
    ASSERT_GT(drawingGroupOf(stream).size(), 3u << 19) << "large enough to be read in pages";
    const auto records = recordsOf(stream);
    const auto first = std::find_if(records.begin(), records.end(), [](const RecordAt& record) { return record.type == 0x00EB; });
    ASSERT_NE(first, records.end());
    stream[first->offset + 4 + 3] ^= 0x0F; // the container's type, 0xF000, is no drawing group
    TemporaryFolder elsewhere;
    const auto damaged = madeOf(elsewhere, stream);
    const RunOutcome outcome = EngineRun().run(twoBlocksOn(damaged, {"Sheet1"}, {photos.back()}));
    EXPECT_EQ(outcome.placed, 0);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(drawingGroupOf(workbookStreamOf(damaged)), drawingGroupOf(stream));

    ASSERT_TRUE(EngineRun().run(twoBlocksOn(book, {"Sheet1"}, {photos.back()})).saved);
    const auto report = poiReport(book);
    ASSERT_TRUE(report);
    const QJsonArray stored = sheetNamed(*report, "Sheet1", "POI")["pictures"].toArray();
    ASSERT_EQ(stored.size(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(stored[i].toObject()["md5"].toString(), md5Of(photos[std::size_t(i)])) << i;
}

} // namespace
