// The compound file as olefile, an independent reader, sees it: every stream read and rewritten
// byte for byte, and streams that need DIFAT sectors. (Damage: WorkbookListingTest's table.)

#include "EngineTestSupport.h"

#include "platform/xls/compound/CompoundFileCopy.h"
#include "platform/xls/compound/CompoundFileWriter.h"

#include <QCryptographicHash>

#include <random>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

QString md5(std::span<const std::uint8_t> bytes)
{
    const QByteArrayView view(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size()));
    return QString::fromLatin1(QCryptographicHash::hash(view, QCryptographicHash::Md5).toHex());
}

// Our reading of every stream, in olefile's "path<TAB>size<TAB>md5" form, sorted.
void listStreams(const CompoundFile& file, std::uint32_t storage, const QString& prefix, QStringList& lines)
{
    for (std::uint32_t child : file.children(storage)) {
        const auto& entry = file.entries()[child];
        const QString path = prefix + QString::fromStdU16String(entry.name);
        if (entry.isStorage()) {
            listStreams(file, child, path + "/", lines);
            continue;
        }
        auto bytes = file.readStream(child);
        ASSERT_TRUE(bytes.ok()) << bytes.error().describe();
        lines << QStringLiteral("%1\t%2\t%3").arg(path).arg(bytes->size()).arg(md5(*bytes));
    }
}

Bytes written(const CompoundFileWriter& writer)
{
    MemoryOutputSink out;
    auto status = writer.write(out);
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
    return out.take();
}

Bytes pseudoRandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

class CompoundFileOfFixture : public testing::TestWithParam<const char*> {};

// Our reader finds every stream olefile finds, with the same bytes; a copy through our writer is the
// same file to olefile, root CLSID included.
TEST_P(CompoundFileOfFixture, ReadsAndRewritesEveryStreamAsOlefileSeesIt)
{
    const auto path = workbookFixture(GetParam());
    auto file = CompoundFile::open(path);
    ASSERT_TRUE(file.ok()) << file.error().describe();
    QStringList oracle = streamListing(path);
    ASSERT_FALSE(oracle.isEmpty());
    const QStringList withRoot = oracle;
    oracle.removeFirst();
    oracle.sort();
    QStringList ours;
    listStreams(*file, 0, {}, ours);
    ours.sort();
    EXPECT_EQ(ours, oracle);

    CompoundFileWriter writer;
    copyCompoundEntries(*file, writer, [](const std::string&) { return false; });
    TemporaryFolder folder;
    writeFile(folder / "copy.xls", written(writer));
    EXPECT_EQ(streamListing(folder / "copy.xls"), withRoot);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CompoundFileOfFixture,
                         testing::Values("27364.xls", "50298.xls", "DrawingContinue.xls",
                                         "SheetWithDrawing.xls", "SimpleWithImages.xls",
                                         "formula_test_sjmachin.xls", "issue20.xls", "jp_ledger.xls",
                                         "ledger.xls", "namesdemo.xls", "picture_in_cell.xls", "plain.xls",
                                         "unicodeNameRecord.xls", "xor-encryption-abc.xls"));

// 109 FAT sectors in the header describe about 7 MB; a 12 MB stream needs DIFAT sectors, which
// readers often break on. 40 siblings in a storage make a deep directory tree.
TEST(CompoundFileWriter, LargeStreamsAndManySiblingsReadBackInOlefileAndOurs)
{
    const Bytes big = pseudoRandomBytes(12 * 1024 * 1024 + 77, 1);
    CompoundFileWriter writer;
    writer.addStream(CompoundFileWriter::root, u"Workbook", big);
    const auto storage = writer.addStorage(CompoundFileWriter::root, u"_VBA_PROJECT_CUR");
    QStringList expected{QStringLiteral("Workbook\t%1\t%2").arg(big.size()).arg(md5(big))};
    for (unsigned i = 0; i < 40; ++i) {
        const Bytes bytes = pseudoRandomBytes(i * 61, i);
        writer.addStream(storage, u"s" + QString::number(i * 7919 % 1000).toStdU16String(), bytes);
        expected << QStringLiteral("_VBA_PROJECT_CUR/s%1\t%2\t%3")
                        .arg(i * 7919 % 1000)
                        .arg(bytes.size())
                        .arg(md5(bytes));
    }
    expected.sort();
    TemporaryFolder folder;
    writeFile(folder / "big.xls", written(writer));
    QStringList oracle = streamListing(folder / "big.xls");
    ASSERT_FALSE(oracle.isEmpty());
    oracle.removeFirst();
    oracle.sort();
    EXPECT_EQ(oracle, expected);

    auto file = CompoundFile::open(folder / "big.xls");
    ASSERT_TRUE(file.ok()) << file.error().describe();
    QStringList ours;
    listStreams(*file, 0, {}, ours);
    ours.sort();
    EXPECT_EQ(ours, expected);
    EXPECT_TRUE(file->find("_vba_project_cur/S0").has_value()) << "names are found without regard to case";
}

} // namespace
