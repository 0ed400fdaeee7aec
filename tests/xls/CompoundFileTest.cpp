#include "platform/xls/compound/CompoundFile.h"

#include "support/ProcessResult.h"
#include "support/TestPaths.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The CLSID in the registry form that olefile prints (nothing for the null CLSID).
QString clsidText(const std::array<std::uint8_t, 16>& id)
{
    if (std::all_of(id.begin(), id.end(), [](std::uint8_t byte) { return byte == 0; }))
        return {};
    auto hex = [&](int from, int to, bool reversed) {
        QString text;
        for (int i = 0; i < to - from; ++i) {
            int index = reversed ? to - 1 - i : from + i;
            text += QStringLiteral("%1").arg(id[static_cast<std::size_t>(index)], 2, 16, QLatin1Char('0'));
        }
        return text.toUpper();
    };
    return hex(0, 4, true) + "-" + hex(4, 6, true) + "-" + hex(6, 8, true) + "-" + hex(8, 10, false) + "-" +
           hex(10, 16, false);
}

void collectStreams(const CompoundFile& file, std::uint32_t storage, const QString& prefix, QStringList& lines)
{
    for (std::uint32_t child : file.children(storage)) {
        const auto& entry = file.entries()[child];
        QString path = prefix + QString::fromStdU16String(entry.name);
        if (entry.isStorage()) {
            collectStreams(file, child, path + "/", lines);
            continue;
        }
        auto bytes = file.readStream(child);
        ASSERT_TRUE(bytes.ok()) << bytes.error().describe();
        QByteArray data(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()));
        lines << QStringLiteral("%1\t%2\t%3")
                     .arg(path)
                     .arg(bytes->size())
                     .arg(QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()));
    }
}

// Our reading of every stream, in the oracle's format.
QString describe(const CompoundFile& file)
{
    QStringList lines;
    collectStreams(file, 0, QString(), lines);
    std::sort(lines.begin(), lines.end());
    lines.prepend("root\t" + clsidText(file.rootClsid()));
    return lines.join('\n');
}

std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

Result<CompoundFile> openBytes(std::vector<std::uint8_t> bytes)
{
    return CompoundFile::open(ByteSource::fromBytes(std::move(bytes)));
}

// Offsets inside a version 3 file (512-byte sectors), found by hand from the header so that the
// damage is placed without using the reader under test.
std::size_t sectorOffset(std::uint32_t sector) { return (std::size_t{sector} + 1) * 512; }
std::size_t fatEntryOffset(const std::vector<std::uint8_t>& file, std::uint32_t sector)
{
    std::uint32_t fatSector = u32(file, 76 + 4 * (sector / 128));
    return sectorOffset(fatSector) + 4 * (sector % 128);
}
std::size_t directoryEntryOffset(const std::vector<std::uint8_t>& file, std::uint32_t entry)
{
    std::uint32_t sector = u32(file, 48);
    for (std::uint32_t i = 0; i < entry / 4; ++i)
        sector = u32(file, fatEntryOffset(file, sector));
    return sectorOffset(sector) + 128 * (entry % 4);
}
std::uint32_t entryStartSector(const std::vector<std::uint8_t>& file, std::uint32_t entry)
{
    return u32(file, directoryEntryOffset(file, entry) + 116);
}

} // namespace

class CompoundFileAgainstOlefile : public ::testing::TestWithParam<const char*> {};

TEST_P(CompoundFileAgainstOlefile, ReadsEveryStreamAsOlefileDoes)
{
    auto path = test::workbookFixture(GetParam());
    auto oracle = test::runOracle("cfb_dump.py", {QString::fromStdString(path.string())});
    ASSERT_TRUE(oracle.finished);
    ASSERT_EQ(oracle.exitCode, 0) << oracle.standardError.toStdString();

    auto file = CompoundFile::open(path);
    ASSERT_TRUE(file.ok()) << file.error().describe();
    EXPECT_EQ(describe(*file).toStdString(), oracle.standardOutput.trimmed().toStdString());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CompoundFileAgainstOlefile,
                         ::testing::Values("27364.xls", "50298.xls", "DrawingContinue.xls", "SheetWithDrawing.xls",
                                           "SimpleWithImages.xls", "formula_test_sjmachin.xls", "issue20.xls",
                                           "jp_ledger.xls", "ledger.xls", "namesdemo.xls", "picture_in_cell.xls",
                                           "plain.xls", "unicodeNameRecord.xls", "xor-encryption-abc.xls"));

TEST(CompoundFile, FindsStreamsByPathWithoutRegardToCase)
{
    auto file = CompoundFile::open(test::workbookFixture("plain.xls"));
    ASSERT_TRUE(file.ok()) << file.error().describe();
    auto workbook = file->find("WORKBOOK");
    ASSERT_TRUE(workbook.has_value());
    EXPECT_EQ(file->entries()[*workbook].utf8Name(), "Workbook");
    EXPECT_FALSE(file->find("Workbook/Inside").has_value());
    EXPECT_FALSE(file->find("Book").has_value());
}

TEST(CompoundFile, ReadsAStreamPieceByPieceAsWhole)
{
    auto file = CompoundFile::open(test::workbookFixture("DrawingContinue.xls"));
    ASSERT_TRUE(file.ok());
    auto entry = file->find("Workbook");
    ASSERT_TRUE(entry);
    auto whole = file->readStream(*entry);
    ASSERT_TRUE(whole.ok());
    auto stream = file->stream(*entry);
    ASSERT_TRUE(stream.ok());
    // Odd-sized pieces end inside sectors at every possible place.
    std::vector<std::uint8_t> pieces;
    std::uint64_t offset = 0;
    while (offset < stream->size()) {
        std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(777, stream->size() - offset));
        std::vector<std::uint8_t> piece(count);
        ASSERT_TRUE(stream->read(offset, piece).ok());
        pieces.insert(pieces.end(), piece.begin(), piece.end());
        offset += count;
    }
    EXPECT_EQ(pieces, *whole);
    std::vector<std::uint8_t> beyond(2);
    EXPECT_FALSE(stream->read(stream->size() - 1, beyond).ok());
}

TEST(CompoundFileDamage, RefusesFilesThatAreNotCompoundFiles)
{
    auto biff4 = CompoundFile::open(test::workbookFixture("biff4_no_format_no_window2.xls"));
    ASSERT_FALSE(biff4.ok());
    EXPECT_NE(biff4.error().message.find("not a compound file"), std::string::npos);

    EXPECT_FALSE(openBytes({}).ok());
    EXPECT_FALSE(openBytes(std::vector<std::uint8_t>(600, 'x')).ok());
    auto missing = CompoundFile::open("/nonexistent/folder/book.xls");
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("cannot open"), std::string::npos);
}

TEST(CompoundFileDamage, BrokenChainsAreReportedNotFollowed)
{
    const auto original = fileBytes(test::workbookFixture("SimpleWithImages.xls"));
    auto file = openBytes(original);
    ASSERT_TRUE(file.ok());
    auto workbookEntry = *file->find("Workbook");
    std::uint32_t start = entryStartSector(original, workbookEntry);

    auto looping = original;
    putU32(looping, fatEntryOffset(looping, start), start);
    auto loopFile = openBytes(looping);
    ASSERT_TRUE(loopFile.ok());
    auto loopRead = loopFile->readStream(workbookEntry);
    ASSERT_FALSE(loopRead.ok());
    EXPECT_NE(loopRead.error().message.find("loops"), std::string::npos);

    auto outside = original;
    putU32(outside, fatEntryOffset(outside, start), 0x00FFFFF0);
    auto outsideFile = openBytes(outside);
    ASSERT_TRUE(outsideFile.ok());
    auto outsideRead = outsideFile->readStream(workbookEntry);
    ASSERT_FALSE(outsideRead.ok());
    EXPECT_NE(outsideRead.error().message.find("outside the file"), std::string::npos);

    auto shortChain = original;
    putU32(shortChain, fatEntryOffset(shortChain, start), 0xFFFFFFFE);
    auto shortFile = openBytes(shortChain);
    ASSERT_TRUE(shortFile.ok());
    // A chain that ends early: the whole stream is what it holds, one sector; reading past that
    // at the declared size is an error.
    auto shortRead = shortFile->readStream(workbookEntry);
    ASSERT_TRUE(shortRead.ok()) << shortRead.error().describe();
    EXPECT_EQ(shortRead->size(), 512u);
    auto declared = shortFile->stream(workbookEntry);
    ASSERT_TRUE(declared.ok());
    std::uint8_t byte = 0;
    auto pastChain = declared->read(600, std::span(&byte, 1));
    ASSERT_FALSE(pastChain.ok());
    EXPECT_NE(pastChain.error().message.find("ends before"), std::string::npos);
}

TEST(CompoundFileDamage, DirectoryDamageIsReported)
{
    const auto original = fileBytes(test::workbookFixture("SimpleWithImages.xls"));
    std::uint32_t firstChild = u32(original, directoryEntryOffset(original, 0) + 76);

    auto selfLink = original;
    putU32(selfLink, directoryEntryOffset(selfLink, firstChild) + 68, firstChild);
    auto loop = openBytes(selfLink);
    ASSERT_FALSE(loop.ok());
    EXPECT_NE(loop.error().message.find("twice"), std::string::npos);

    auto farLink = original;
    putU32(farLink, directoryEntryOffset(farLink, firstChild) + 72, 5000);
    auto far = openBytes(farLink);
    ASSERT_FALSE(far.ok());
    EXPECT_NE(far.error().message.find("beyond the directory"), std::string::npos);

    // A stream that claims far more than its chain holds is as long as its chain: nothing is
    // allocated for the claim.
    auto file = openBytes(original);
    ASSERT_TRUE(file.ok());
    const std::size_t workbookEntry = directoryEntryOffset(original, *file->find("Workbook"));
    const std::uint32_t declared = u32(original, workbookEntry + 120);
    auto hugeStream = original;
    putU32(hugeStream, workbookEntry + 120, 0x7FFFFFFF);
    auto huge = openBytes(hugeStream);
    ASSERT_TRUE(huge.ok()) << huge.error().describe();
    auto bytes = huge->readStream(*huge->find("Workbook"));
    ASSERT_TRUE(bytes.ok()) << bytes.error().describe();
    EXPECT_EQ(bytes->size(), (declared + 511) / 512 * 512);
}

TEST(CompoundFileDamage, TruncatedAndCorruptedFilesNeverCrash)
{
    const auto original = fileBytes(test::workbookFixture("SimpleWithImages.xls"));
    int opened = 0;
    // Every cut either opens (and then every stream reads or fails cleanly) or fails to open.
    for (std::size_t cut = 0; cut < original.size(); cut += 509) {
        std::vector<std::uint8_t> truncated(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(cut));
        auto file = openBytes(std::move(truncated));
        if (!file.ok())
            continue;
        ++opened;
        for (std::uint32_t i = 0; i < file->entries().size(); ++i)
            if (file->entries()[i].isStream())
                (void)file->readStream(i);
    }
    EXPECT_LT(opened, static_cast<int>(original.size() / 509));

    auto header = original;
    putU32(header, 44, 0x40000000);
    auto tooManyFat = openBytes(header);
    ASSERT_FALSE(tooManyFat.ok());
    EXPECT_EQ(tooManyFat.error().offset, 44u);

    auto corrupted = CompoundFile::open(test::workbookFixture("corrupted_error.xls"));
    if (corrupted.ok()) {
        auto workbook = corrupted->find("Workbook");
        ASSERT_TRUE(workbook.has_value());
        (void)corrupted->readStream(*workbook);
    }
}
