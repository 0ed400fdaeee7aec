#include "DrawingFixture.h"

#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/drawing/OfficeArtRecord.h"
#include "platform/xls/drawing/SheetDrawing.h"

#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QImage>

#include <gtest/gtest.h>

#include <QCryptographicHash>

#include <xxhash.h>

#include <fstream>
#include <set>

using namespace tavorin;
using namespace tavorin::xls;
using tavorin::test::DrawingFixture;
using tavorin::test::pictureFixture;
using tavorin::test::workbookFixture;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (std::uint32_t{u16(b, at + 2)} << 16); }

struct Written {
    std::vector<DrawingRecord> records; // BIFF records split at their headers
};

Written split(const Bytes& stream)
{
    Written out;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        std::size_t length = u16(stream, at + 2);
        EXPECT_LE(length, 8224u);
        EXPECT_LE(at + 4 + length, stream.size());
        out.records.push_back({u16(stream, at), Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                                      stream.begin() + static_cast<std::ptrdiff_t>(at + 4 + length))});
        at += 4 + length;
    }
    return out;
}

Bytes written(const DrawingGroup& group)
{
    MemoryOutputSink sink;
    auto status = group.write(sink);
    EXPECT_TRUE(status.ok()) << (status ? "" : status.error().describe());
    EXPECT_EQ(sink.bytes().size(), group.streamSize());
    return sink.take();
}

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::shared_ptr<const PictureFile> picture(const char* name)
{
    auto file = PictureFile::open(pictureFixture(name));
    EXPECT_TRUE(file.ok());
    return std::make_shared<const PictureFile>(std::move(*file));
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::shared_ptr<const PictureFile> pictureAt(const std::filesystem::path& path)
{
    auto file = PictureFile::open(path);
    EXPECT_TRUE(file.ok()) << path;
    return std::make_shared<const PictureFile>(std::move(*file));
}

// XXH3-128 in its canonical (big-endian) byte order, straight from the library.
Bytes xxh128(const Bytes& bytes)
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits(bytes.data(), bytes.size()));
    return Bytes(canonical.digest, canonical.digest + 16);
}

Bytes md4(const Bytes& bytes)
{
    QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
        QCryptographicHash::Md4);
    return Bytes(digest.begin(), digest.end());
}

// Stores a picture in the group; 0 (and a failed check) when that fails.
std::uint32_t addOk(DrawingGroup& group, std::shared_ptr<const PictureFile> file)
{
    auto pib = group.addPicture(std::move(file));
    EXPECT_TRUE(pib.ok()) << (pib.ok() ? "" : pib.error().describe());
    return pib.ok() ? *pib : 0;
}

// The joined data of a written drawing group, read back by the same reader the round trips use.
DrawingGroup reread(const Bytes& stream)
{
    Written records = split(stream);
    Bytes data;
    std::vector<RecordChunkSink::Piece> pieces;
    for (std::size_t i = 0; i < records.records.size(); ++i) {
        EXPECT_EQ(records.records[i].type, i == 0 ? 0x00EB : 0x003C);
        data.insert(data.end(), records.records[i].data.begin(), records.records[i].data.end());
        pieces.push_back({records.records[i].type, static_cast<std::uint32_t>(records.records[i].data.size())});
    }
    auto group = DrawingGroup::read(data, pieces);
    EXPECT_TRUE(group.ok());
    return std::move(group).value();
}

// The blips of a written group as (FBSE fields, blip record payload) by walking the bytes.
struct StoredBlip {
    std::uint8_t type;
    std::uint32_t size, references;
    std::uint16_t blipRecordType, blipInstance;
    Bytes data; // after the UID
    Bytes fbseUid, blipUid;
};

std::vector<StoredBlip> storedBlips(const Bytes& stream)
{
    Bytes data;
    for (const auto& record : split(stream).records)
        data.insert(data.end(), record.data.begin(), record.data.end());
    std::vector<StoredBlip> blips;
    std::size_t at = 8;
    while (at + 8 <= data.size() && u16(data, at + 2) != 0xF001)
        at += 8 + u32(data, at + 4);
    if (at + 8 > data.size())
        return blips;
    std::size_t count = u16(data, at) >> 4; // the store's instance: its number of entries
    std::size_t end = at + 8 + u32(data, at + 4);
    for (std::size_t e = at + 8; e < end;) {
        std::size_t fbse = e + 8;
        StoredBlip blip{data[fbse], u32(data, fbse + 20), u32(data, fbse + 24), u16(data, fbse + 36 + 2),
                        static_cast<std::uint16_t>(u16(data, fbse + 36) >> 4), {}, {}, {}};
        std::size_t blipLength = u32(data, fbse + 36 + 4);
        EXPECT_EQ(blip.size, blipLength + 8);
        EXPECT_EQ(u32(data, e + 4), 36 + blipLength + 8);
        blip.data.assign(data.begin() + static_cast<std::ptrdiff_t>(fbse + 36 + 8 + 16),
                         data.begin() + static_cast<std::ptrdiff_t>(fbse + 36 + 8 + blipLength));
        blip.fbseUid.assign(data.begin() + static_cast<std::ptrdiff_t>(fbse + 2),
                            data.begin() + static_cast<std::ptrdiff_t>(fbse + 18));
        blip.blipUid.assign(data.begin() + static_cast<std::ptrdiff_t>(fbse + 36 + 8),
                            data.begin() + static_cast<std::ptrdiff_t>(fbse + 36 + 8 + 16));
        blips.push_back(std::move(blip));
        e += 8 + u32(data, e + 4);
    }
    EXPECT_EQ(count, blips.size());
    return blips;
}

TEST(DrawingGroupBlips, EqualPicturesAreStoredOnceAndCounted)
{
    DrawingGroup group = DrawingGroup::makeNew();
    auto land = picture("land.jpg");
    EXPECT_EQ(addOk(group, land), 1u);
    EXPECT_EQ(addOk(group, picture("portrait.png")), 2u);
    for (int i = 0; i < 398; ++i)
        EXPECT_EQ(addOk(group, picture("name with spaces.jpeg")), 1u); // same bytes as land.jpg
    Bytes stream = written(group);
    auto blips = storedBlips(stream);
    ASSERT_EQ(blips.size(), 2u);
    EXPECT_EQ(blips[0].type, 5);
    EXPECT_EQ(blips[0].references, 399u);
    EXPECT_EQ(blips[0].blipRecordType, 0xF01D);
    EXPECT_EQ(blips[0].blipInstance, 0x46A);
    Bytes jpeg = readFile(pictureFixture("land.jpg"));
    ASSERT_EQ(blips[0].data.size(), jpeg.size() + 1);
    EXPECT_EQ(blips[0].data[0], 0xFF);
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), blips[0].data.begin() + 1));
    EXPECT_EQ(blips[1].type, 6);
    EXPECT_EQ(blips[1].references, 1u);
    // The store's instance counts its entries.
    EXPECT_EQ(reread(stream).blips().size(), 2u);
}

TEST(DrawingGroupBlips, EachBlipCarriesOneKeyOfItsOwnContent)
{
    DrawingGroup group = DrawingGroup::makeNew();
    addOk(group, picture("land.jpg"));
    addOk(group, picture("portrait.png"));
    addOk(group, picture("square.bmp")); // converted to PNG
    auto blips = storedBlips(written(group));
    ASSERT_EQ(blips.size(), 3u);
    for (const auto& blip : blips)
        EXPECT_EQ(blip.fbseUid, blip.blipUid); // the store entry and its blip name the same content
    // Photos streamed from their files are keyed from exactly the bytes that were written.
    EXPECT_EQ(blips[0].blipUid, xxh128(readFile(pictureFixture("land.jpg"))));
    EXPECT_EQ(blips[1].blipUid, xxh128(readFile(pictureFixture("portrait.png"))));
    // A converted picture keeps the MD4 of its PNG, as Excel keys one.
    EXPECT_EQ(blips[2].blipUid, md4(Bytes(blips[2].data.begin() + 1, blips[2].data.end())));
    EXPECT_NE(blips[0].blipUid, blips[1].blipUid);
}

TEST(DrawingGroupBlips, PicturesOfTheSameSizeAreComparedByContent)
{
    test::TemporaryFolder folder;
    Bytes land = readFile(pictureFixture("land.jpg"));
    Bytes changed = land;
    changed[changed.size() - 10] ^= 0x55; // inside the scan data: still a JPEG, same size
    writeFile(folder / "same.jpg", land);
    writeFile(folder / "changed.jpg", changed);
    DrawingGroup group = DrawingGroup::makeNew();
    EXPECT_EQ(addOk(group, picture("land.jpg")), 1u);
    EXPECT_EQ(addOk(group, pictureAt(folder / "changed.jpg")), 2u);
    EXPECT_EQ(addOk(group, pictureAt(folder / "same.jpg")), 1u);
    EXPECT_EQ(addOk(group, picture("land.jpg")), 1u);
    EXPECT_EQ(addOk(group, pictureAt(folder / "changed.jpg")), 2u);
    auto blips = storedBlips(written(group));
    ASSERT_EQ(blips.size(), 2u);
    EXPECT_EQ(blips[0].references, 3u);
    EXPECT_EQ(blips[1].references, 2u);
    EXPECT_EQ(Bytes(blips[1].data.begin() + 1, blips[1].data.end()), changed);
    EXPECT_NE(blips[0].blipUid, blips[1].blipUid);
}

TEST(DrawingGroupBlips, APictureTheWorkbookAlreadyHoldsIsReused)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("SimpleWithImages.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    auto before = storedBlips(written(*group));
    auto jpeg = std::find_if(before.begin(), before.end(), [](const StoredBlip& b) { return b.type == 5; });
    ASSERT_NE(jpeg, before.end());
    // The picture's bytes follow a second UID when the instance is odd, then the tag byte.
    std::size_t skip = (jpeg->blipInstance & 1 ? 16 : 0) + 1;
    test::TemporaryFolder folder;
    writeFile(folder / "again.jpg", Bytes(jpeg->data.begin() + static_cast<std::ptrdiff_t>(skip), jpeg->data.end()));
    auto index = static_cast<std::uint32_t>(jpeg - before.begin() + 1);
    EXPECT_EQ(addOk(*group, pictureAt(folder / "again.jpg")), index);
    auto after = storedBlips(written(*group));
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[index - 1].references, jpeg->references + 1);
}

TEST(DrawingGroupBlips, APictureThatChangedAfterInsertionFailsTheWrite)
{
    test::TemporaryFolder folder;
    Bytes land = readFile(pictureFixture("land.jpg"));
    for (bool longer : {true, false}) {
        writeFile(folder / "photo.jpg", land);
        DrawingGroup group = DrawingGroup::makeNew();
        addOk(group, pictureAt(folder / "photo.jpg"));
        Bytes edited = land;
        if (longer)
            edited.insert(edited.end(), 100, 0xAB);
        else
            edited.resize(edited.size() / 2);
        writeFile(folder / "photo.jpg", edited);
        MemoryOutputSink out;
        auto status = group.write(out);
        ASSERT_FALSE(status.ok()) << longer;
        EXPECT_NE(status.error().message.find("changed since it was inserted"), std::string::npos)
            << status.error().message;
    }
}

TEST(DrawingGroupBlips, LongStoresAreCutIntoContinueRecords)
{
    test::TemporaryFolder folder;
    QImage noise(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            noise.setPixel(x, y, static_cast<QRgb>((x * 2654435761u) ^ (y * 40503u) ^ (x * y * 2246822519u)));
    ASSERT_TRUE(noise.save(QString::fromStdString((folder / "noise.png").string())));
    DrawingGroup group = DrawingGroup::makeNew();
    auto file = PictureFile::open(folder / "noise.png");
    ASSERT_TRUE(file.ok());
    ASSERT_GT(file->blipDataSize(), 3u * 8224);
    addOk(group, std::make_shared<const PictureFile>(std::move(*file)));
    Bytes stream = written(group);
    auto records = split(stream).records;
    ASSERT_GT(records.size(), 2u);
    for (std::size_t i = 0; i + 1 < records.size(); ++i)
        EXPECT_EQ(records[i].data.size(), 8224u);
    EXPECT_EQ(reread(stream).blips().at(0).references, 1u);
}

TEST(DrawingGroupBlips, NewPicturesJoinAStoreReadFromAWorkbook)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("SimpleWithImages.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    EXPECT_EQ(addOk(*group, picture("wide.gif")), 5u);
    group->addReference(1);
    auto blips = storedBlips(written(*group));
    ASSERT_EQ(blips.size(), 5u);
    EXPECT_EQ(blips[0].references, 2u);
    EXPECT_EQ(blips[4].type, 6);
    EXPECT_EQ(blips[4].references, 1u);
}

TEST(DrawingGroupClusters, DrawingIdsAndShapeIdsFollowTheClusters)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("picture_in_cell.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    group->registerDrawing(1);
    // Cluster 1 of drawing 1 has used 2 ids (0x400, 0x401): the next is 0x402.
    EXPECT_EQ(group->newShapeId(1), 0x402u);
    EXPECT_EQ(group->newDrawingId(), 2u);
    EXPECT_EQ(group->newShapeId(2), 0x800u); // a new cluster for the new drawing
    EXPECT_EQ(group->newShapeId(2), 0x801u);
    DrawingGroup again = reread(written(*group));
    ASSERT_EQ(again.clusters().size(), 2u);
    EXPECT_EQ(again.clusters()[0].used, 3u);
    EXPECT_EQ(again.clusters()[1].drawingId, 2u);
    EXPECT_EQ(again.clusters()[1].used, 2u);
    EXPECT_EQ(again.maximumShapeId(), 0x802u);
    EXPECT_EQ(again.savedDrawings(), 2u);
}

TEST(DrawingGroupClusters, AFullClusterGetsASuccessorAppended)
{
    DrawingGroup group = DrawingGroup::makeNew();
    std::uint32_t id = group.newDrawingId();
    std::set<std::uint32_t> ids;
    for (int i = 0; i < 1030; ++i)
        ids.insert(group.newShapeId(id));
    EXPECT_EQ(ids.size(), 1030u);
    ASSERT_EQ(group.clusters().size(), 2u);
    EXPECT_EQ(group.clusters()[0].used, 1024u);
    EXPECT_EQ(*ids.rbegin(), 2u * 1024 + 5);
    EXPECT_GT(group.maximumShapeId(), *ids.rbegin());
}

// ----------------------------------------------------------------------------------------------

Bytes recordsBytes(const SheetDrawing& drawing)
{
    MemoryOutputSink sink;
    EXPECT_TRUE(drawing.write(sink).ok());
    EXPECT_EQ(sink.bytes().size(), drawing.streamSize());
    return sink.take();
}

TEST(SheetDrawingPictures, EachPictureEndsAnMsoDrawingPieceFollowedByItsObj)
{
    DrawingGroup group = DrawingGroup::makeNew();
    auto drawing = SheetDrawing::makeNew(group);
    ASSERT_TRUE(drawing.ok());
    std::uint32_t pib = addOk(group, picture("land.jpg"));
    ASSERT_TRUE(drawing->addPicture(group, pib, u"図 ").ok());
    ASSERT_TRUE(drawing->addPicture(group, pib, u"図 ").ok());
    auto records = split(recordsBytes(*drawing)).records;
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].type, 0x00EC);
    EXPECT_EQ(records[1].type, 0x005D);
    EXPECT_EQ(records[2].type, 0x00EC);
    EXPECT_EQ(records[3].type, 0x005D);
    // Each MSODRAWING piece ends with an empty ClientData record header.
    for (std::size_t i : {0u, 2u}) {
        const Bytes& data = records[i].data;
        ASSERT_GE(data.size(), 8u);
        EXPECT_EQ(u16(data, data.size() - 6), 0xF011);
        EXPECT_EQ(u32(data, data.size() - 4), 0u);
    }
    // The container lengths cover both pieces.
    EXPECT_EQ(u32(records[0].data, 4) + 8, records[0].data.size() + records[2].data.size());
    // OBJ: ftCmo picture, ids = shape id % 1024, then ftCf, ftPioGrbit, ftEnd.
    EXPECT_EQ(records[1].data.size(), 38u);
    EXPECT_EQ(u16(records[1].data, 4), 8);
    EXPECT_EQ(u16(records[1].data, 6), 1);
    EXPECT_EQ(u16(records[3].data, 6), 2);
    EXPECT_EQ(u16(records[1].data, 8), 0x6011);

    auto again = SheetDrawing::read(records);
    ASSERT_TRUE(again.ok()) << again.error().describe();
    ASSERT_EQ(again->shapes().size(), 3u);
    EXPECT_EQ(again->shapes()[0].shapeId, 0x400u);
    EXPECT_EQ(again->shapes()[1].shapeId, 0x401u);
    EXPECT_EQ(again->shapes()[1].name, u"図 1");
    EXPECT_EQ(again->shapes()[2].name, u"図 2");
    EXPECT_EQ(again->shapes()[2].pib, pib);
    // FDG: three shapes, the last id given out.
    EXPECT_EQ(u32(records[0].data, 16), 3u);
    EXPECT_EQ(u32(records[0].data, 20), 0x402u);
}

TEST(SheetDrawingPictures, NewPicturesGoAfterTheShapesOfATemplate)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("picture_in_cell.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    auto drawing = SheetDrawing::read(fixture.sheetDrawings.at(0).records);
    ASSERT_TRUE(drawing.ok());
    group->registerDrawing(drawing->drawingId());
    std::uint32_t pib = addOk(*group, picture("wide.gif"));
    auto added = drawing->addPicture(*group, pib, u"図 ");
    ASSERT_TRUE(added.ok());
    EXPECT_EQ((*added)->shapeId, 0x402u);
    EXPECT_EQ((*added)->name, u"図 2");
    Bytes bytes = recordsBytes(*drawing);
    const Bytes& original = fixture.sheetDrawings.at(0).streamBytes;
    // The template's own records come first, its OBJ untouched; only its lengths grew.
    auto before = split(original).records;
    auto after = split(bytes).records;
    ASSERT_EQ(after.size(), before.size() + 2);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(after[2].type, 0x00EC);
    EXPECT_EQ(after[3].type, 0x005D);
    auto again = SheetDrawing::read(after);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->shapes().size(), 3u);
    EXPECT_EQ(again->shapes()[1].pib, 1u); // the template's picture keeps its blip
}

TEST(SheetDrawingPictures, NamesSkipThoseTheSheetAlreadyUses)
{
    DrawingGroup group = DrawingGroup::makeNew();
    auto drawing = SheetDrawing::makeNew(group);
    ASSERT_TRUE(drawing.ok());
    auto first = drawing->addPicture(group, 1, u"図 ");
    ASSERT_TRUE(first.ok());
    (*first)->name = u"図 2"; // as if the sheet had a picture of that name
    auto second = drawing->addPicture(group, 1, u"図 ");
    ASSERT_TRUE(second.ok());
    EXPECT_EQ((*second)->name, u"図 3");
    EXPECT_TRUE(drawing->hasShapeNamed(u"図 2"));
    EXPECT_NE(drawing->findPicture(u"図 3"), nullptr);
}

TEST(SheetDrawingCopy, CopyGetsANewDrawingIdNewShapeIdsAndCountsItsBlips)
{
    DrawingFixture fixture = DrawingFixture::load(workbookFixture("picture_in_cell.xls"));
    auto group = DrawingGroup::read(fixture.groupData, fixture.groupPieces);
    ASSERT_TRUE(group.ok());
    auto drawing = SheetDrawing::read(fixture.sheetDrawings.at(0).records);
    ASSERT_TRUE(drawing.ok());
    group->registerDrawing(drawing->drawingId());
    std::uint32_t pib = addOk(*group, picture("land.jpg"));
    ASSERT_TRUE(drawing->addPicture(*group, pib, u"図 ").ok());

    auto copy = drawing->copyFor(*group);
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy->drawingId(), 2u);
    auto copied = SheetDrawing::read(split(recordsBytes(*copy)).records);
    ASSERT_TRUE(copied.ok());
    EXPECT_EQ(copied->drawingId(), 2u);
    std::set<std::uint32_t> original, renumbered;
    auto template_ = SheetDrawing::read(split(recordsBytes(*drawing)).records);
    ASSERT_TRUE(template_.ok());
    for (const auto& shape : template_->shapes())
        original.insert(shape.shapeId);
    for (const auto& shape : copied->shapes()) {
        renumbered.insert(shape.shapeId);
        EXPECT_EQ(shape.shapeId / 1024, 2u); // the copy's own cluster
        EXPECT_TRUE(original.contains(shape.shapeId % 1024 + 1024)); // same low bits: OBJ ids stay
    }
    EXPECT_EQ(renumbered.size(), original.size());
    // The template picture's blip and the new one are each used once more.
    EXPECT_EQ(group->blips()[0].references, 2u);
    EXPECT_EQ(group->blips()[pib - 1].references, 2u);
    DrawingGroup again = reread(written(*group));
    ASSERT_EQ(again.clusters().size(), 2u);
    EXPECT_EQ(again.clusters()[1].drawingId, 2u);
    EXPECT_GT(again.maximumShapeId(), *renumbered.rbegin());
    EXPECT_EQ(again.savedDrawings(), 2u);

    // A second copy takes the next drawing id and cluster.
    auto second = drawing->copyFor(*group);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second->drawingId(), 3u);
    EXPECT_EQ(second->shapes().at(0).shapeId / 1024, 3u);
}

} // namespace
