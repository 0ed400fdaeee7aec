// The shared string table: strings added are written by the format's rules and read back by POI;
// strings that a file cuts across CONTINUE records are read whole.

#include "EngineTestSupport.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/RecordWriter.h"
#include "platform/xls/records/SharedStringTable.h"

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

// The SST record and its CONTINUE records, walked by hand.
std::vector<std::span<const std::uint8_t>> sstPieces(std::span<const std::uint8_t> stream)
{
    std::vector<std::span<const std::uint8_t>> pieces;
    for (std::size_t at = 0; at + 4 <= stream.size(); at += 4 + ByteReader::u16At(stream, at + 2)) {
        const std::uint16_t type = ByteReader::u16At(stream, at);
        if (type == 0x00FC || (type == 0x003C && !pieces.empty()))
            pieces.push_back(stream.subspan(at + 4, ByteReader::u16At(stream, at + 2)));
        else if (!pieces.empty())
            break;
    }
    return pieces;
}

// A Japanese text of 20000 characters and 3000 more strings: SST pieces within 8224 bytes, each CONTINUE
// going on with the long text starting with its option byte (0x01: two bytes per character), EXTSST
// pointing at each bucket's first string, and POI reading every text back in its cell.
TEST(SharedStrings, AddedStringsAreWrittenByTheFormatsRulesAndReadBackByPoi)
{
    TemporaryFolder folder;
    auto document = openDocument(workbookFixture("plain.xls"));
    ASSERT_TRUE(document);
    auto& model = document->model();
    CellEditor cells(model, *model.sheets[0]);
    std::u16string longText;
    for (int i = 0; i < 5000; ++i)
        longText += u"写真台帳";
    ASSERT_TRUE(cells.setText(0, 0, longText).ok());
    for (std::uint32_t row = 0; row < 3000; ++row)
        ASSERT_TRUE(cells.setText(row, 1, u"文字列 " + QString::number(row).toStdU16String()).ok());
    ASSERT_TRUE(document->saveAs(folder / "strings.xls").ok());

    const Bytes stream = workbookStreamOf(folder / "strings.xls");
    const auto pieces = sstPieces(stream);
    ASSERT_GE(pieces.size(), 6u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].size(), 8224u);
        EXPECT_TRUE(i == 0 || i >= 5 || pieces[i][0] == 0x01)
            << "CONTINUE " << i << " does not repeat the option byte";
    }
    EXPECT_EQ(layoutProblemsOf(folder / "strings.xls"), "");

    auto report = poiReport(folder / "strings.xls");
    ASSERT_TRUE(report);
    const QJsonObject sheet = sheetNamed(*report, "Sheet1", "POI");
    EXPECT_EQ(cellOf(sheet, "A1")["value"].toString(), QString::fromStdU16String(longText));
    for (int row = 0; row < 3000; row += 7)
        EXPECT_EQ(cellOf(sheet, QStringLiteral("B%1").arg(row + 1))["value"].toString(),
                  QStringLiteral("文字列 %1").arg(row));
    EXPECT_EQ(cellOf(sheet, "B3000")["value"].toString(), QStringLiteral("文字列 2999"));
}

// Pieces laid one after the other as they lie in a stream, each after a record header.
struct PiecesInStream {
    Bytes stream;
    std::vector<std::span<const std::uint8_t>> pieces;

    explicit PiecesInStream(const std::vector<Bytes>& data)
    {
        for (const auto& piece : data) {
            stream.insert(stream.end(), 4, 0);
            stream.insert(stream.end(), piece.begin(), piece.end());
        }
        for (std::size_t i = 0, at = 0; i < data.size(); at += 4 + data[i].size(), ++i)
            pieces.emplace_back(stream.data() + at + 4, data[i].size());
    }
};

void putText(Bytes& out, std::u16string_view text, bool wide)
{
    for (char16_t c : text)
        wide ? putU16(out, c) : putU8(out, c);
}

// Whole strings (plain, with formatting runs, with phonetic data) and one whose characters go on
// in a CONTINUE record in the other width read as their text.
TEST(SharedStrings, StringsCutAcrossContinueRecordsAreReadWhole)
{
    Bytes first, second;
    putU32(first, 9);
    putU32(first, 4);
    putU16(first, 3), putU8(first, 0x00), putText(first, u"abc", false);
    putU16(first, 2), putU8(first, 0x09), putU16(first, 2), putText(first, u"写真", true);
    putU32(first, 0x00010000), putU32(first, 0x00020001);
    putU16(first, 11), putU8(first, 0x00), putText(first, u"hello ", false);
    putU8(second, 0x01), putText(second, u"world", true);
    putU16(second, 2), putU8(second, 0x05), putU32(second, 6), putText(second, u"台帳", true);
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
}

} // namespace
