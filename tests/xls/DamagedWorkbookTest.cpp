// Workbooks that are damaged or not Excel 97-2003 files: a clear error, never a crash.

#include "EngineTestSupport.h"

#include "platform/xls/model/WorkbookModel.h"
#include "platform/xls/model/WorkbookStreamWriter.h"
#include "platform/xls/XlsApplication.h"

#include <random>

using namespace tavorin;
using namespace tavorin::xls;

namespace {

std::string openError(const std::filesystem::path& path)
{
    XlsApplication application;
    auto workbook = application.openWorkbook(path);
    return workbook.ok() ? std::string{} : workbook.error().describe();
}

std::vector<std::uint8_t> workbookStream(const char* fixture)
{
    auto file = WorkbookFile::open(test::workbookFixture(fixture));
    EXPECT_TRUE(file.ok());
    auto stream = file->compoundFile().readStream(file->workbookStream());
    EXPECT_TRUE(stream.ok());
    return stream.ok() ? *stream : std::vector<std::uint8_t>{};
}

} // namespace

TEST(DamagedWorkbook, OlderAndEncryptedWorkbooksAreRefusedByName)
{
    EXPECT_NE(openError(test::workbookFixture("biff4_no_format_no_window2.xls")).find("BIFF"), std::string::npos);
    EXPECT_NE(openError(test::workbookFixture("xor-encryption-abc.xls")).find("encrypted"), std::string::npos);
    test::TemporaryFolder folder;
    std::ofstream(folder / "text.xls") << "<html><body>not a workbook</body></html>";
    EXPECT_FALSE(openError(folder / "text.xls").empty());
    std::ofstream(folder / "empty.xls").close();
    EXPECT_FALSE(openError(folder / "empty.xls").empty());
    EXPECT_FALSE(openError(folder / "missing.xls").empty());
}

// corrupted_error.xls has a MiniFAT whose chain runs into the Workbook stream (xlrd 1.2 refuses
// it); the Workbook stream itself is intact. The engine reads it, and what it saves is a sound
// compound file that xlrd reads with all nine sheets.
TEST(DamagedWorkbook, OverlappingChainsStillGiveTheWorkbook)
{
    test::TemporaryFolder folder;
    auto document = WorkbookDocument::open(test::workbookFixture("corrupted_error.xls"));
    ASSERT_TRUE(document.ok()) << document.error().describe();
    ASSERT_TRUE((*document)->saveAs(folder / "repaired.xls").ok());
    auto listing = test::runOracle("xlrd_sheets.py", {QString::fromStdString((folder / "repaired.xls").string())});
    EXPECT_EQ(listing.exitCode, 0) << listing.standardError.toStdString();
    EXPECT_EQ(listing.standardOutput.split('\n', Qt::SkipEmptyParts).size(), 9);
}

// Every truncated copy of real workbooks either opens or says why; none crashes.
TEST(DamagedWorkbook, TruncatedFilesFailCleanly)
{
    test::TemporaryFolder folder;
    for (const char* name : {"ledger.xls", "SimpleWithImages.xls", "namesdemo.xls"}) {
        auto bytes = test::fileBytes(test::workbookFixture(name));
        for (std::size_t length = 0; length < bytes.size(); length += std::max<std::size_t>(1, bytes.size() / 97)) {
            auto path = folder / ("cut" + std::to_string(length) + ".xls");
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<std::streamsize>(length));
            XlsApplication application;
            auto workbook = application.openWorkbook(path);
            if (!workbook.ok()) {
                EXPECT_FALSE(workbook.error().message.empty());
            }
            std::filesystem::remove(path);
        }
    }
}

// Workbook streams cut short or with bytes overwritten: the model either refuses them with an
// error or reads them, and then writes exactly the stream it measured.
TEST(DamagedWorkbook, DamagedStreamsAreRefusedOrWrittenWhole)
{
    std::mt19937 generator(20011314);
    for (const char* name : {"ledger.xls", "50298.xls", "DrawingContinue.xls", "formula_test_sjmachin.xls"}) {
        auto pristine = workbookStream(name);
        ASSERT_FALSE(pristine.empty());
        for (int round = 0; round < 150; ++round) {
            auto stream = pristine;
            if (round % 3 == 0) {
                stream.resize(generator() % stream.size());
            } else {
                for (int flips = 0; flips < 1 + round % 7; ++flips)
                    stream[generator() % stream.size()] = static_cast<std::uint8_t>(generator());
            }
            auto model = WorkbookModel::read(std::move(stream));
            if (!model.ok()) {
                EXPECT_FALSE(model.error().describe().empty());
                continue;
            }
            // Half of the rounds read every sheet (the damage may lie in one), the others write
            // the sheets back unread.
            if (round % 2 == 1) {
                for (auto& sheet : model->sheets) {
                    if (auto loaded = model->load(*sheet); !loaded) {
                        EXPECT_FALSE(loaded.error().describe().empty());
                    }
                }
            }
            WorkbookStreamWriter writer(*model);
            MemoryOutputSink sink;
            EXPECT_TRUE(writer.write(sink).ok()) << name << " round " << round;
            EXPECT_EQ(sink.written(), writer.size());
        }
    }
}
