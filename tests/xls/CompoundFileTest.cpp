// Compound files our writer makes, as olefile and our reader read them. (Fixtures read and rewritten:
// WorkbookRoundTripTest's table; damage: WorkbookListingTest's.)

#include "EngineTestSupport.h"

#include "platform/xls/compound/CompoundFileWriter.h"

#include <random>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

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
        lines << QStringLiteral("%1\t%2\t%3").arg(path).arg(bytes->size()).arg(md5Hex(*bytes));
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

// 109 FAT sectors in the header describe about 7 MB; a 12 MB stream needs DIFAT sectors, which
// readers often break on. 40 siblings in a storage make a deep directory tree.
TEST(CompoundFileWriter, LargeStreamsAndManySiblingsReadBackInOlefileAndOurs)
{
    const Bytes big = pseudoRandomBytes(12 * 1024 * 1024 + 77, 1);
    CompoundFileWriter writer;
    writer.addStream(CompoundFileWriter::root, u"Workbook", big);
    const auto storage = writer.addStorage(CompoundFileWriter::root, u"_VBA_PROJECT_CUR");
    QStringList expected{QStringLiteral("Workbook\t%1\t%2").arg(big.size()).arg(md5Hex(big))};
    for (unsigned i = 0; i < 40; ++i) {
        const Bytes bytes = pseudoRandomBytes(i * 61, i);
        writer.addStream(storage, u"s" + QString::number(i * 7919 % 1000).toStdU16String(), bytes);
        expected << QStringLiteral("_VBA_PROJECT_CUR/s%1\t%2\t%3")
                        .arg(i * 7919 % 1000)
                        .arg(bytes.size())
                        .arg(md5Hex(bytes));
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
