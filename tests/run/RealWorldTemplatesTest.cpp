// Templates as Excel and other programs write them, with comments, charts, form controls and
// many pictures, and a few with the blemishes real files carry: two runs on each (pictures on
// the template sheet, then copies of it with more), judged by Apache POI (strict about record
// order, like Excel), xlrd (reads every sheet whole), LibreOffice, and a record walk of its own.

#include "support/EngineRun.h"
#include "support/PlacementChecks.h"
#include "support/Oracles.h"

#include "platform/xls/compound/CompoundFile.h"
#include "support/BiffStreamBuilder.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

#include <map>

using namespace tavorin;
using namespace tavorin::test;

namespace {

std::uint16_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (std::uint32_t{u16(b, at + 2)} << 16); }
void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

Bytes workbookStreamOf(const std::string& fixture)
{
    auto file = xls::CompoundFile::open(workbookFixture(fixture));
    EXPECT_TRUE(file.ok());
    auto bytes = file->readStream(*file->find("Workbook"));
    EXPECT_TRUE(bytes.ok());
    return *bytes;
}

// Record headers of a Workbook stream, in order: (offset, type, length).
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
        if (record.type == 0x0085 && u32(stream, record.offset + 4) >= at)
            put32(stream, record.offset + 4, u32(stream, record.offset + 4) + shift);
        if (record.type == 0x020B)
            for (std::size_t p = record.offset + 4 + 12; p + 4 <= record.offset + 4 + record.length; p += 4)
                if (u32(stream, p) >= at)
                    put32(stream, p, u32(stream, p) + shift);
    }
    Bytes inserted{static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(type >> 8),
                   static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(data.size() >> 8)};
    inserted.insert(inserted.end(), data.begin(), data.end());
    stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
    return stream;
}

// An OfficeArt record header followed by its data.
Bytes art(std::uint16_t versionInstance, std::uint16_t type, const Bytes& data)
{
    Bytes out(8 + data.size());
    out[0] = static_cast<std::uint8_t>(versionInstance);
    out[1] = static_cast<std::uint8_t>(versionInstance >> 8);
    out[2] = static_cast<std::uint8_t>(type);
    out[3] = static_cast<std::uint8_t>(type >> 8);
    put32(out, 4, static_cast<std::uint32_t>(data.size()));
    std::copy(data.begin(), data.end(), out.begin() + 8);
    return out;
}

Bytes joined(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// --- the templates ---------------------------------------------------------------------------

using Maker = std::filesystem::path (*)(const TemporaryFolder&);

std::filesystem::path copyOf(const TemporaryFolder& folder, const std::string& fixture)
{
    auto path = folder / "book.xls";
    std::filesystem::copy_file(workbookFixture(fixture), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return path;
}

std::filesystem::path madeOf(const TemporaryFolder& folder, Bytes stream)
{
    auto path = folder / "book.xls";
    writeFile(path, workbookFileWith(std::move(stream)));
    return path;
}

// A writer that left the drawing containers' version at 0 instead of 0xF.
std::filesystem::path containerVersionZero(const TemporaryFolder& folder)
{
    Bytes stream = workbookStreamOf("SimpleWithImages.xls");
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
    Bytes file = workbookFileWith(workbookStreamOf("ledger.xls"));
    const std::string name = "Workbook";
    for (std::size_t entry = 512; entry + 128 <= file.size(); entry += 128) {
        bool named = true;
        for (std::size_t i = 0; i < name.size(); ++i)
            named = named && file[entry + 2 * i] == name[i] && file[entry + 2 * i + 1] == 0;
        if (named && file[entry + 66] == 2) { // a stream entry
            put32(file, entry + 120, u32(file, entry + 120) + 2048);
            auto path = folder / "book.xls";
            writeFile(path, file);
            return path;
        }
    }
    ADD_FAILURE() << "no Workbook entry in the built compound file";
    return {};
}

// BoundSheet8 positions that point one byte into their sheets' BOF records.
std::filesystem::path sheetPositionsOffByOne(const TemporaryFolder& folder)
{
    Bytes stream = workbookStreamOf("ledger.xls");
    for (const auto& record : recordsOf(stream))
        if (record.type == 0x0085)
            put32(stream, record.offset + 4, u32(stream, record.offset + 4) + 1);
    return madeOf(folder, std::move(stream));
}

// The embedded chart carries a drawing of its own (as a chart with a text box does), with a
// drawing id the workbook's drawing group does not list.
std::filesystem::path chartWithItsOwnDrawing(const TemporaryFolder& folder)
{
    Bytes stream = workbookStreamOf("EmbeddedChartHeaderTest.xls");
    const Bytes patriarch = art(0x000F, 0xF004, joined({art(0x0001, 0xF009, Bytes(16, 0)),
                                                         art(0x0002, 0xF00A, {0x00, 0x14, 0, 0, 0x05, 0, 0, 0})}));
    const Bytes drawing = art(0x000F, 0xF002, joined({art(0x0070, 0xF008, {1, 0, 0, 0, 0x00, 0x14, 0, 0}),
                                                       art(0x000F, 0xF003, patriarch)}));
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

std::filesystem::path comments(const TemporaryFolder& f) { return copyOf(f, "SimpleWithComments.xls"); }
std::filesystem::path manyPictures(const TemporaryFolder& f) { return copyOf(f, "49423.xls"); }
std::filesystem::path formControls(const TemporaryFolder& f) { return copyOf(f, "ContinueRecordProblem.xls"); }
std::filesystem::path embeddedChart(const TemporaryFolder& f) { return copyOf(f, "EmbeddedChartHeaderTest.xls"); }
std::filesystem::path bookStream(const TemporaryFolder& f) { return copyOf(f, "BOOK_in_capitals.xls"); }
std::filesystem::path noDimensions(const TemporaryFolder& f) { return copyOf(f, "53984.xls"); }

struct Template {
    const char* name;
    Maker make;
    const char* original; // the fixture whose contents the result must keep
};

void PrintTo(const Template& t, std::ostream* out) { *out << t.name; }

// --- what the readers see ----------------------------------------------------------------------

QString md5Of(const std::filesystem::path& path)
{
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
}

QStringList kindsOf(const QJsonObject& sheet)
{
    QStringList kinds;
    for (const auto& shape : sheet["shapes"].toArray())
        kinds << shape.toObject()["kind"].toString();
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
    int lastDrawing = -1, firstAfter = static_cast<int>(records.size()), dimensions = -1, firstRow = -1;
    for (int i = 0; i < records.size(); ++i) {
        const QString type = records[i].toString();
        if (type == "00EC" || type == "005D" || type == "01B6" || type == "BOF..EOF")
            lastDrawing = i;
        if ((type == "001C" || type == "00ED") && i < firstAfter)
            firstAfter = i;
        if (type == "0200" && dimensions < 0)
            dimensions = i;
        if (type == "0208" && firstRow < 0)
            firstRow = i;
    }
    EXPECT_LT(lastDrawing, firstAfter) << "a drawing record stands after a NOTE or the drawing selection";
    EXPECT_GE(dimensions, 0) << "no DIMENSIONS record";
    if (firstRow >= 0) {
        EXPECT_LT(dimensions, firstRow) << "DIMENSIONS after the first ROW";
    }
}

struct Expected {
    QString sheet;
    std::vector<ExpectedPicture> pictures; // the new ones, in order
};

class RealWorldTemplate : public ::testing::TestWithParam<Template> {};

TEST_P(RealWorldTemplate, TwoRunsAddPicturesAndKeepEveryShapeCommentChartAndCell)
{
    const Template& param = GetParam();
    TemporaryFolder folder;
    const auto book = param.make(folder);
    ASSERT_FALSE(book.empty());
    auto input = recordWalk(book);
    ASSERT_TRUE(input.has_value());
    const QJsonArray charts = (*input)["substreams"].toArray()[1].toObject()["charts"].toArray();
    auto original = poiReport(workbookFixture(param.original));
    ASSERT_TRUE(original.has_value()) << "POI cannot read " << param.original;
    const QJsonObject template0 = (*original)["sheets"].toArray()[0].toObject();
    const QString templateName = template0["name"].toString();
    const QStringList sheets = sheetNames(*original);

    const auto land = pictureFixture("land.jpg"), portrait = pictureFixture("portrait.png");
    const QStringList insertedMd5{md5Of(land), md5Of(portrait)};
    auto block = [](const std::filesystem::path& path, int degrees, const QString& sheet, int firstRow) {
        const bool isLand = path.filename() == "land.jpg";
        return ExpectedPicture{path, degrees, isLand ? 240.0 : 180.0, isLand ? 180.0 : 240.0, sheet, 0, firstRow, 2,
                               firstRow + 7, 4};
    };

    // First run: two pictures on the template sheet itself, blocks B3:D10 and B12:D19.
    RunOptions first = EngineRun::optionsFor(book, sheets);
    first.startColumn = 2;
    first.endColumn = 4;
    first.startRow = 3;
    first.endRow = 10;
    first.startRowIndex = 2;
    first.endRowIndex = 9;
    first.rowSpacing = 1;
    first.pictures = {EngineRun::pictureRow(land, QStringLiteral("○")), EngineRun::pictureRow(portrait, QStringLiteral("→"))};
    EngineRun engine;
    RunOutcome outcome = engine.run(first);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 2) << engine.messages.back().text.toStdString();

    // Second run: one picture on each of two copies of the template, which carry the first two.
    RunOptions second = first;
    second.picturesPerSheet = 1;
    second.sheetNameText = QStringLiteral("写真");
    second.pictures = {EngineRun::pictureRow(portrait, QStringLiteral("○")), EngineRun::pictureRow(land, QStringLiteral("←"))};
    outcome = engine.run(second);
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 2) << engine.messages.back().text.toStdString();

    const std::vector<ExpectedPicture> firstRun{block(land, 0, templateName, 3), block(portrait, 90, templateName, 12)};
    std::vector<Expected> expected{{templateName, firstRun}, {"写真(1)", firstRun}, {"写真(2)", firstRun}};
    expected[1].pictures.push_back(block(portrait, 0, "写真(1)", 3));
    expected[2].pictures.push_back(block(land, 270, "写真(2)", 3));
    QStringList sheetsAfter = sheets;
    sheetsAfter.insert(static_cast<int>(sheets.size()), QStringLiteral("写真(1)"));
    sheetsAfter.insert(static_cast<int>(sheets.size()) + 1, QStringLiteral("写真(2)"));

    // Apache POI: the template's shapes and comments on every sheet made from it, the new
    // pictures in the drawing it reads, anchored in their blocks; the cells as they were.
    auto report = poiReport(book);
    ASSERT_TRUE(report.has_value()) << "POI cannot read the saved workbook";
    EXPECT_EQ(sheetNames(*report), sheetsAfter);
    for (const auto& sheetExpected : expected) {
        SCOPED_TRACE("POI, sheet " + sheetExpected.sheet.toStdString());
        const QJsonObject sheet = sheetNamed(*report, sheetExpected.sheet, "POI");
        QStringList kinds = kindsOf(template0);
        for (std::size_t i = 0; i < sheetExpected.pictures.size(); ++i)
            kinds << QStringLiteral("HSSFPicture");
        kinds.sort();
        EXPECT_EQ(kindsOf(sheet), kinds);
        EXPECT_EQ(sheet["comments"], template0["comments"]);
        EXPECT_EQ(sheet["cells"], template0["cells"]);
        const QJsonArray added = newPictures(sheet, insertedMd5);
        ASSERT_EQ(added.size(), static_cast<int>(sheetExpected.pictures.size()));
        for (int i = 0; i < added.size(); ++i) {
            const auto& picture = sheetExpected.pictures[static_cast<std::size_t>(i)];
            const QJsonArray anchor = added[i].toObject()["anchor"].toArray();
            EXPECT_EQ(added[i].toObject()["md5"].toString(), md5Of(picture.path));
            // Fonts whose digit width is known here are judged to half a point; any anchor
            // must at least lie in the block's cells.
            if ((*report)["normalFont"].toObject()["name"].toString() == QStringLiteral("Arial"))
                expectAnchoredInBlock(*report, sheet, added[i].toObject(), picture, 1.0);
            EXPECT_GE(anchor[0].toInt(), picture.firstColumn - 1);
            EXPECT_LE(anchor[4].toInt() + anchor[5].toInt() / 1024.0, picture.lastColumn);
            EXPECT_GE(anchor[2].toInt(), picture.firstRow - 1);
            EXPECT_LE(anchor[6].toInt() + anchor[7].toInt() / 256.0, picture.lastRow);
        }
    }
    for (const QString& untouched : sheets.mid(1))
        EXPECT_EQ(sheetNamed(*report, untouched, "POI")["cells"], sheetNamed(*original, untouched, "POI")["cells"]);

    // xlrd reads every sheet whole (cells of a sheet without DIMENSIONS too).
    auto xlrd = xlrdReport(book);
    ASSERT_TRUE(xlrd.has_value());
    EXPECT_EQ(sheetNames(*xlrd), sheetsAfter);
    EXPECT_EQ(sheetNamed(*xlrd, templateName, "xlrd")["cells"].toArray().size(), template0["cells"].toArray().size());

    // The record walk: Excel's order on every sheet, embedded charts copied byte for byte.
    auto records = recordWalk(book);
    ASSERT_TRUE(records.has_value());
    const QJsonArray substreams = (*records)["substreams"].toArray();
    ASSERT_EQ(substreams.size(), sheetsAfter.size() + 1);
    for (int i = 1; i < substreams.size(); ++i) {
        const QJsonObject substream = substreams[i].toObject();
        expectRecordOrder(substream, sheetsAfter[i - 1]);
        if (sheetsAfter[i - 1] == templateName || sheetsAfter[i - 1].startsWith(QStringLiteral("写真"))) {
            EXPECT_EQ(substream["charts"].toArray(), charts) << sheetsAfter[i - 1].toStdString();
        }
    }

    // LibreOffice shows each new picture in its block.
    auto shown = libreOfficeReport(book);
    ASSERT_TRUE(shown.has_value());
    for (const auto& sheetExpected : expected) {
        SCOPED_TRACE("LibreOffice, sheet " + sheetExpected.sheet.toStdString());
        const QJsonArray added = newPictures(sheetNamed(*report, sheetExpected.sheet, "POI"), insertedMd5);
        const QJsonObject sheet = sheetNamed(*shown, sheetExpected.sheet, "LibreOffice");
        for (int i = 0; i < added.size(); ++i) {
            QString name = added[i].toObject()["name"].toString();
            name.remove(QChar(0)); // the name property ends with its terminating NUL
            QJsonObject graphic;
            for (const auto& value : sheet["graphics"].toArray())
                if (value.toObject()["name"].toString() == name)
                    graphic = value.toObject();
            ASSERT_FALSE(graphic.isEmpty()) << "LibreOffice shows no picture named " << name.toStdString();
            expectShownInBlock(sheet, graphic, sheetExpected.pictures[static_cast<std::size_t>(i)], 1.0);
        }
    }
}

std::string templateName(const ::testing::TestParamInfo<Template>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    , RealWorldTemplate,
    ::testing::Values(Template{"Comments", comments, "SimpleWithComments.xls"},
                      Template{"NinetyFivePicturesContinuedAfterObj", manyPictures, "49423.xls"},
                      Template{"FormControlsContinuedAfterObj", formControls, "ContinueRecordProblem.xls"},
                      Template{"EmbeddedChart", embeddedChart, "EmbeddedChartHeaderTest.xls"},
                      Template{"EmbeddedChartWithItsOwnDrawing", chartWithItsOwnDrawing, "EmbeddedChartHeaderTest.xls"},
                      Template{"Biff8InBookStream", bookStream, "BOOK_in_capitals.xls"},
                      Template{"NoDimensions", noDimensions, "53984.xls"},
                      Template{"ContainerVersionZero", containerVersionZero, "SimpleWithImages.xls"},
                      Template{"StreamDeclaredLongerThanItsChain", declaredLongerThanItsChain, "ledger.xls"},
                      Template{"SheetPositionsPointNowhere", sheetPositionsOffByOne, "ledger.xls"}),
    templateName);

} // namespace
