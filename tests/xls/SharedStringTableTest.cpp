// The shared string table as written: strings longer than a record go on in CONTINUE records by
// the format's rules, and EXTSST points at the first string of every bucket.

#include "EngineTestSupport.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/model/CellEditor.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/records/WorkbookRecordType.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::u16string repeated(const std::u16string& piece, std::size_t count)
{
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

std::vector<std::uint8_t> streamOf(const WorkbookModel& model)
{
    WorkbookStreamWriter writer(model);
    MemoryOutputSink sink;
    EXPECT_TRUE(writer.write(sink).ok());
    return sink.take();
}

struct SstRecords {
    std::vector<Record> pieces; // SST and its CONTINUEs
    std::optional<Record> extSst;
};

// Walks the written globals record by record, as the format lays them out.
SstRecords sstRecords(std::span<const std::uint8_t> stream)
{
    SstRecords found;
    std::uint64_t offset = 0;
    bool inSst = false;
    while (offset + 4 <= stream.size()) {
        Record record{ByteReader::u16At(stream, offset),
                      stream.subspan(offset + 4, ByteReader::u16At(stream, offset + 2)), offset};
        if (record.type == RecordType::Sst)
            inSst = true;
        else if (record.type != RecordType::Continue)
            inSst = false;
        if (inSst)
            found.pieces.push_back(record);
        if (record.type == RecordType::ExtSst)
            found.extSst = record;
        if (record.type == RecordType::Eof)
            break;
        offset = record.end();
    }
    return found;
}

} // namespace

// A Japanese text of 20000 characters (40000 bytes) needs at least five records; every record stays within 8224
// bytes, each CONTINUE that goes on with characters starts with the option byte (0x01: two bytes
// per character), and POI reads the whole text back.
TEST(SharedStrings, LongTextGoesOnInContinueRecords)
{
    test::TemporaryFolder folder;
    auto document = test::openDocument(test::workbookFixture("plain.xls"));
    ASSERT_TRUE(document);
    auto& model = document->model();
    std::u16string longText = repeated(u"写真台帳", 5000);
    CellEditor cells(model, *model.sheets[0]);
    ASSERT_TRUE(cells.setText(0, 0, u"short one").ok());
    ASSERT_TRUE(cells.setText(1, 0, longText).ok());

    auto stream = streamOf(model);
    auto sst = sstRecords(stream);
    ASSERT_GE(sst.pieces.size(), 5u);
    for (const auto& piece : sst.pieces)
        EXPECT_LE(piece.data.size(), 8224u);
    for (std::size_t i = 1; i < sst.pieces.size(); ++i)
        EXPECT_EQ(sst.pieces[i].data[0], 0x01) << "CONTINUE " << i << " does not repeat the option byte";

    ASSERT_TRUE(document->saveAs(folder / "long.xls").ok());
    auto report = test::poiContent(folder / "long.xls");
    auto cellsRead = report["sheets"].toArray()[0].toObject()["cells"].toArray();
    bool found = false;
    for (const auto& cell : cellsRead) {
        if (cell.toObject()["cell"].toString() == "A2") {
            EXPECT_EQ(cell.toObject()["value"].toString(), QString::fromStdU16String(longText));
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

// 3000 different strings: EXTSST has one entry per bucket of dsst strings (at most 128 buckets,
// at least 8 strings each), and each entry gives the stream offset of its bucket's first string
// and that offset from the start of the record holding it.
TEST(SharedStrings, ExtSstPointsAtEveryBucket)
{
    test::TemporaryFolder folder;
    auto document = test::openDocument(test::workbookFixture("plain.xls"));
    ASSERT_TRUE(document);
    auto& model = document->model();
    CellEditor cells(model, *model.sheets[0]);
    std::vector<std::u16string> texts;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back(u"文字列 " + QString::number(i).toStdU16String() + u" of many strings");
        ASSERT_TRUE(cells.setText(static_cast<std::uint32_t>(i), 1, texts.back()).ok());
    }
    auto stream = streamOf(model);
    auto sst = sstRecords(stream);
    ASSERT_TRUE(sst.extSst.has_value());
    ASSERT_GE(sst.pieces.size(), 2u);
    std::uint32_t unique = ByteReader::u32At(sst.pieces[0].data, 4);
    std::uint16_t perBucket = ByteReader::u16At(sst.extSst->data, 0);
    EXPECT_GE(perBucket, 8);
    std::size_t buckets = (unique + perBucket - 1) / perBucket;
    EXPECT_LE(buckets, 128u);
    ASSERT_EQ(sst.extSst->data.size(), 2 + 8 * buckets);

    // Bucket b starts with string b * perBucket; the new strings follow the table's old ones.
    std::uint32_t firstNew = unique - 3000;
    for (std::size_t b = 0; b < buckets; ++b) {
        std::uint32_t streamOffset = ByteReader::u32At(sst.extSst->data, 2 + 8 * b);
        std::uint16_t inRecord = ByteReader::u16At(sst.extSst->data, 6 + 8 * b);
        auto holder = std::find_if(sst.pieces.begin(), sst.pieces.end(), [&](const Record& r) {
            return r.offset <= streamOffset && streamOffset < r.end();
        });
        ASSERT_NE(holder, sst.pieces.end()) << "bucket " << b;
        EXPECT_EQ(streamOffset - holder->offset, inRecord) << "bucket " << b;
        std::size_t index = b * perBucket;
        if (index < firstNew)
            continue;
        const auto& text = texts[index - firstNew];
        EXPECT_EQ(ByteReader::u16At(stream, streamOffset), text.size()) << "bucket " << b;
        EXPECT_EQ(stream[streamOffset + 2] & 0x01, 0x01);
        EXPECT_EQ(ByteReader::u16At(stream, streamOffset + 3), text[0]);
    }

    ASSERT_TRUE(document->saveAs(folder / "many.xls").ok());
    auto report = test::poiContent(folder / "many.xls");
    auto cellsRead = report["sheets"].toArray()[0].toObject()["cells"].toArray();
    std::size_t matched = 0;
    for (const auto& cell : cellsRead) {
        auto object = cell.toObject();
        if (!object["cell"].toString().startsWith('B'))
            continue;
        int row = object["cell"].toString().mid(1).toInt() - 1;
        if (row >= 0 && row < 3000 &&
            object["value"].toString() == QString::fromStdU16String(texts[static_cast<std::size_t>(row)]))
            ++matched;
    }
    EXPECT_EQ(matched, 3000u);
}

namespace {

// Lays SST pieces one after the other in one buffer, as they lie in a stream (each after a
// record header); the spans point into that buffer.
struct PiecesInStream {
    std::vector<std::uint8_t> stream;
    std::vector<std::span<const std::uint8_t>> pieces;

    explicit PiecesInStream(const std::vector<std::vector<std::uint8_t>>& data)
    {
        for (const auto& piece : data) {
            stream.insert(stream.end(), 4, 0);
            stream.insert(stream.end(), piece.begin(), piece.end());
        }
        std::size_t at = 0;
        for (const auto& piece : data) {
            pieces.emplace_back(stream.data() + at + 4, piece.size());
            at += 4 + piece.size();
        }
    }
};

void putLatin1(std::vector<std::uint8_t>& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
}

void putWide(std::vector<std::uint8_t>& out, std::u16string_view text)
{
    for (char16_t c : text)
        putU16(out, c);
}

} // namespace

// Strings lying whole in one record (plain, with formatting runs, with phonetic data) and a
// string whose characters go on in a CONTINUE in another width all read back as their text.
TEST(SharedStringsReading, WholeAndCutStringsGiveTheirCharacters)
{
    std::vector<std::uint8_t> first;
    putU32(first, 9);
    putU32(first, 4);
    // "abc", one byte per character.
    putU16(first, 3);
    putU8(first, 0x00);
    putLatin1(first, "abc");
    // "写真" with two formatting runs.
    putU16(first, 2);
    putU8(first, 0x09);
    putU16(first, 2);
    putWide(first, u"写真");
    putU32(first, 0x00010000);
    putU32(first, 0x00020001);
    // "hello world": "hello " here, "world" in the next record in two bytes per character.
    putU16(first, 11);
    putU8(first, 0x00);
    putLatin1(first, "hello ");
    std::vector<std::uint8_t> second;
    putU8(second, 0x01);
    putWide(second, u"world");
    // "台帳" with 6 bytes of phonetic data.
    putU16(second, 2);
    putU8(second, 0x05);
    putU32(second, 6);
    putWide(second, u"台帳");
    second.insert(second.end(), {1, 2, 3, 4, 5, 6});

    PiecesInStream input({first, second});
    auto table = SharedStringTable::read(input.stream, input.pieces, 0);
    ASSERT_TRUE(table.ok()) << table.error().describe();
    ASSERT_EQ(table->size(), 4u);
    EXPECT_EQ(table->text(0), u"abc");
    EXPECT_EQ(table->text(1), u"写真");
    EXPECT_EQ(table->text(2), u"hello world");
    EXPECT_EQ(table->text(3), u"台帳");
    EXPECT_EQ(table->totalReferences(), 9u);

    // Written again and read back, every string keeps its characters.
    MemoryOutputSink sink;
    {
        RecordWriter out(sink, 0);
        table->write(out);
    }
    RecordReader records(sink.bytes());
    std::vector<std::span<const std::uint8_t>> written;
    while (records.peekType() == RecordType::Sst || records.peekType() == RecordType::Continue) {
        auto record = records.next();
        ASSERT_TRUE(record.ok());
        written.push_back(record->data);
    }
    auto again = SharedStringTable::read(sink.bytes(), written, 0);
    ASSERT_TRUE(again.ok()) << again.error().describe();
    ASSERT_EQ(again->size(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(again->text(i), table->text(i)) << "string " << i;
}

// A last string that announces more characters or phonetic bytes than the table holds is an
// error naming the string, not a read past the data.
TEST(SharedStringsReading, AStringRunningPastTheTableIsAnError)
{
    for (bool phonetic : {false, true}) {
        std::vector<std::uint8_t> data;
        putU32(data, 2);
        putU32(data, 2);
        putU16(data, 2);
        putU8(data, 0x00);
        putLatin1(data, "ok");
        putU16(data, phonetic ? 2 : 10);
        putU8(data, phonetic ? 0x04 : 0x00);
        if (phonetic)
            putU32(data, 1000);
        putLatin1(data, "cut");
        PiecesInStream input({data});
        auto table = SharedStringTable::read(input.stream, input.pieces, 0x1234);
        ASSERT_TRUE(table.ok()) << "the header alone is sound";
        auto strings = table->readStrings();
        ASSERT_FALSE(strings.ok());
        EXPECT_NE(strings.error().message.find("string 1 "), std::string::npos) << strings.error().message;
        EXPECT_EQ(strings.error().recordType, RecordType::Sst);
        EXPECT_EQ(strings.error().offset, 0x1234u);
        EXPECT_FALSE(table->add(u"new").ok()) << "nothing is added to a table that cannot be read";
    }
}
