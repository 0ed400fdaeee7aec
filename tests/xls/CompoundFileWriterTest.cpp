#include "platform/xls/compound/CompoundFileCopy.h"
#include "platform/xls/compound/CompoundFileWriter.h"

#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::filesystem::path writeToFile(const CompoundFileWriter& writer, const std::filesystem::path& path)
{
    auto sink = FileOutputSink::create(path);
    EXPECT_TRUE(sink.ok());
    auto status = writer.write(**sink);
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().describe());
    EXPECT_TRUE((*sink)->finish().ok());
    return path;
}

QString oracleListing(const std::filesystem::path& path)
{
    auto result = test::runOracle("cfb_dump.py", {QString::fromStdString(path.string())});
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
    return result.standardOutput;
}

std::vector<std::uint8_t> pseudoRandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

} // namespace

class CompoundFileRewrite : public ::testing::TestWithParam<const char*> {};

// Rewriting every stream and storage of a real workbook gives a file in which an independent
// reader finds the same streams with the same bytes and the same root CLSID.
TEST_P(CompoundFileRewrite, KeepsEveryStreamByteForByte)
{
    test::TemporaryFolder folder;
    auto original = test::workbookFixture(GetParam());
    auto source = CompoundFile::open(original);
    ASSERT_TRUE(source.ok()) << source.error().describe();
    CompoundFileWriter writer;
    copyCompoundEntries(*source, writer, [](const std::string&) { return false; });
    auto copy = writeToFile(writer, folder / "copy.xls");

    EXPECT_EQ(oracleListing(copy).toStdString(), oracleListing(original).toStdString());
    auto reread = CompoundFile::open(copy);
    ASSERT_TRUE(reread.ok()) << reread.error().describe();
    EXPECT_EQ(reread->rootClsid(), source->rootClsid());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CompoundFileRewrite,
                         ::testing::Values("SimpleWithImages.xls", "namesdemo.xls", "ledger.xls", "50298.xls",
                                           "DrawingContinue.xls", "xor-encryption-abc.xls"));

TEST(CompoundFileWriter, LargeStreamsNeedDifatSectorsBeyondTheHeader)
{
    // 109 FAT sectors describe about 7 MB; 12 MB needs DIFAT sectors, which readers often break on.
    test::TemporaryFolder folder;
    auto big = pseudoRandomBytes(12 * 1024 * 1024 + 77, 1);
    auto small = pseudoRandomBytes(300, 2);
    CompoundFileWriter writer;
    writer.addStream(CompoundFileWriter::root, u"Workbook", big);
    auto storage = writer.addStorage(CompoundFileWriter::root, u"_VBA_PROJECT_CUR");
    writer.addStream(storage, u"PROJECT", small);
    writer.addStream(storage, u"Empty", std::vector<std::uint8_t>{});
    auto path = writeToFile(writer, folder / "big.xls");

    auto oracle = oracleListing(path);
    EXPECT_TRUE(oracle.contains(QStringLiteral("Workbook\t%1\t").arg(big.size())));
    EXPECT_TRUE(oracle.contains(QStringLiteral("_VBA_PROJECT_CUR/PROJECT\t300\t")));

    auto file = CompoundFile::open(path);
    ASSERT_TRUE(file.ok()) << file.error().describe();
    auto workbook = file->readStream(*file->find("Workbook"));
    ASSERT_TRUE(workbook.ok());
    EXPECT_EQ(*workbook, big);
    auto project = file->readStream(*file->find("_VBA_PROJECT_CUR/project"));
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(*project, small);
    EXPECT_EQ(file->entries()[*file->find("_VBA_PROJECT_CUR/Empty")].size, 0u);
}

TEST(CompoundFileWriter, ManySiblingsStayFindable)
{
    test::TemporaryFolder folder;
    CompoundFileWriter writer;
    std::vector<std::u16string> names;
    for (int i = 0; i < 150; ++i) {
        std::u16string name = u"s";
        for (char c : std::to_string(i * 7919 % 1000))
            name.push_back(static_cast<char16_t>(c));
        names.push_back(name);
        writer.addStream(CompoundFileWriter::root, name, pseudoRandomBytes(static_cast<std::size_t>(i * 61), i));
    }
    auto path = writeToFile(writer, folder / "many.bin");
    auto file = CompoundFile::open(path);
    ASSERT_TRUE(file.ok()) << file.error().describe();
    EXPECT_EQ(file->children(0).size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto entry = file->find(QString::fromStdU16String(names[i]).toStdString());
        ASSERT_TRUE(entry.has_value());
        auto bytes = file->readStream(*entry);
        ASSERT_TRUE(bytes.ok());
        EXPECT_EQ(*bytes, pseudoRandomBytes(i * 61, static_cast<unsigned>(i)));
    }
    // One line for the root, one per stream.
    EXPECT_EQ(oracleListing(path).trimmed().count(QLatin1Char('\n')) + 1, static_cast<qsizetype>(names.size() + 1));
}

TEST(CompoundFileWriter, RefusesBadNamesAndProducersThatBreakTheirWord)
{
    MemoryOutputSink sink;
    CompoundFileWriter slash;
    slash.addStream(CompoundFileWriter::root, u"a/b", std::vector<std::uint8_t>{1});
    EXPECT_FALSE(slash.write(sink).ok());

    CompoundFileWriter twice;
    twice.addStream(CompoundFileWriter::root, u"Book", std::vector<std::uint8_t>{1});
    twice.addStream(CompoundFileWriter::root, u"BOOK", std::vector<std::uint8_t>{2});
    EXPECT_FALSE(twice.write(sink).ok());

    CompoundFileWriter tooShort;
    tooShort.addStream(CompoundFileWriter::root, u"Workbook", 5000, [](OutputSink& out) {
        std::vector<std::uint8_t> bytes(4999, 1);
        return out.write(bytes);
    });
    auto shortStatus = tooShort.write(sink);
    ASSERT_FALSE(shortStatus.ok());
    EXPECT_NE(shortStatus.error().message.find("fewer"), std::string::npos);

    CompoundFileWriter tooLong;
    tooLong.addStream(CompoundFileWriter::root, u"Workbook", 5000, [](OutputSink& out) {
        std::vector<std::uint8_t> bytes(5001, 1);
        return out.write(bytes);
    });
    EXPECT_FALSE(tooLong.write(sink).ok());
}

TEST(FileOutputSink, NeverOverwritesAnExistingFile)
{
    test::TemporaryFolder folder;
    auto path = folder / "existing.xls";
    std::ofstream(path) << "keep me";
    auto sink = FileOutputSink::create(path);
    ASSERT_FALSE(sink.ok());
    std::ifstream in(path);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "keep me");
}
