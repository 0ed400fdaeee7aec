// What the .xlsx engine does with packages as they come: damaged ones are refused with a message
// that names the problem and leave the file byte for byte; a macro workbook keeps its macro part
// as it was stored; a second run adds to the first; sheet copies get their own print area; a
// workbook another program saved meanwhile is not replaced.

#include "support/CompoundFileBuilder.h"
#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/OpenpyxlReport.h"
#include "support/Oracles.h"
#include "support/RunBlock.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include "platform/WorkbookSheetNames.h"
#include "run/RotationMark.h"

#include <QJsonArray>

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>
#include <list>

using namespace tavorin;
using namespace tavorin::test;

namespace {

// A copy of a fixture with entries replaced (empty text: left out) or added, through libzip.
void rewrittenCopy(const std::string& fixture, const std::filesystem::path& to,
                   const std::vector<std::pair<std::string, std::string>>& changes)
{
    copyWorkbook(to.parent_path(), fixture, to.filename().string());
    int error = 0;
    zip_t* archive = zip_open(to.c_str(), 0, &error);
    ASSERT_NE(archive, nullptr);
    std::list<std::string> held; // libzip reads the new entries when the archive is closed
    for (const auto& [name, text] : changes) {
        zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
        if (text.empty()) {
            ASSERT_GE(index, 0) << name;
            zip_delete(archive, static_cast<zip_uint64_t>(index));
            continue;
        }
        const std::string* copy = &held.emplace_back(text);
        zip_source_t* source = zip_source_buffer(archive, copy->data(), copy->size(), 0);
        ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0) << name;
    }
    ASSERT_EQ(zip_close(archive), 0);
}

RunOptions runOn(const std::filesystem::path& book, const QStringList& sheets, int perSheet, int pictures, int startRow = 3)
{
    RunOptions o = EngineRun::optionsFor(book, sheets);
    setBlock(o, 2, 4, startRow, startRow + 7, 2);
    o.picturesPerSheet = perSheet;
    o.sheetNameText = QStringLiteral("Photo");
    o.nameCaption = {true, double(startRow - 1), 2};
    const char* files[] = {"land.jpg", "portrait.png"};
    for (int k = 0; k < pictures; ++k)
        o.pictures.push_back(EngineRun::pictureRow(pictureFixture(files[k % 2]), rotationMarkFor(90 * k)));
    return o;
}

struct Damage {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    const char* says; // a piece of the message
    bool listed;      // the workbook part itself is sound: the sheets are listed
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

const std::string sheetPart = "xl/worksheets/sheet1.xml";

const Damage damages[] = {
    {"a zip cut in half",
     [](const auto& to) {
         const Bytes bytes = fileBytes(workbookFixture("StockPortfolio.xlsx"));
         writeFile(to, Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2)));
     },
     "zip", false},
    {"no zip at all", [](const auto& to) { writeFile(to, {'P', 'K', 3, 4, ' ', 'n', 'o', ' ', 'z', 'i', 'p'}); }, "zip", false},
    {"no workbook part", [](const auto& to) { rewrittenCopy("StockPortfolio.xlsx", to, {{"xl/workbook.xml", ""}}); },
     "main document is missing", false},
    {"broken workbook XML",
     [](const auto& to) { rewrittenCopy("StockPortfolio.xlsx", to, {{"xl/workbook.xml", "<workbook><sheets><sheet"}}); },
     "xl/workbook.xml: the XML is malformed", false},
    {"no content types", [](const auto& to) { rewrittenCopy("StockPortfolio.xlsx", to, {{"[Content_Types].xml", ""}}); },
     "content types", false},
    {"encrypted package",
     [](const auto& to) {
         CompoundFileBuilder file;
         file.addStream(u"EncryptedInfo", std::vector<std::uint8_t>(64, 4));
         file.addStream(u"EncryptedPackage", std::vector<std::uint8_t>(4096, 7));
         writeFile(to, file.build());
     },
     "encrypted", false},
    {"binary workbook inside",
     [](const auto& to) {
         rewrittenCopy("StockPortfolio.xlsx", to,
                       {{"xl/workbook.bin", std::string(64, '\1')},
                        {"_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                                        "2006/relationships/officeDocument\" Target=\"xl/workbook.bin\"/></Relationships>"}});
     },
     ".xlsb", false},
    {"broken sheet XML", [](const auto& to) { rewrittenCopy("StockPortfolio.xlsx", to, {{sheetPart, "<worksheet><sheetData>"}}); },
     "xl/worksheets/sheet1.xml: the XML is malformed", true},
    {"a sheet that unpacks like a zip bomb",
     [](const auto& to) { rewrittenCopy("StockPortfolio.xlsx", to, {{sheetPart, std::string(64 << 20, ' ')}}); },
     "zip bomb", true},
};

class DamagedPackage : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedPackage, IsRefusedWithItsReasonAndLeftByteForByte)
{
    const Damage& damage = GetParam();
    TemporaryFolder folder;
    const auto book = folder / "book.xlsx";
    damage.make(book);
    const Bytes before = fileBytes(book);

    auto names = workbookSheetNames(book);
    EXPECT_EQ(names.ok(), damage.listed);
    if (!names.ok()) {
        EXPECT_NE(names.error().describe().find(damage.says), std::string::npos) << names.error().describe();
    }

    EngineRun engine;
    const RunOutcome outcome = engine.run(runOn(book, {"Sheet1", "Sheet2"}, 0, 2));
    EXPECT_EQ(outcome.placed, 0);
    EXPECT_NE(outcome.message.toStdString().find(damage.says), std::string::npos) << outcome.message.toStdString();
    EXPECT_EQ(fileBytes(book), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1) << "a file was left beside it";
}

INSTANTIATE_TEST_SUITE_P(Packages, DamagedPackage, ::testing::ValuesIn(damages));

// Relationships that lead in a circle (the sheet's drawing relating back to the sheet) are
// followed once when the sheet is copied.
TEST(XlsxPackage, RelationshipsInACircleAreCopiedOnce)
{
    TemporaryFolder folder;
    const auto book = folder / "book.xlsx";
    rewrittenCopy("StockPortfolio.xlsx", book,
                  {{"xl/worksheets/_rels/sheet1.xml.rels",
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
                    "Id=\"rId9\" Type=\"http://example.org/loop\" Target=\"sheet1.xml\"/></Relationships>"}});
    EngineRun engine;
    const RunOutcome outcome = engine.run(runOn(book, {"Sheet1", "Sheet2"}, 1, 2));
    ASSERT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    auto report = openpyxlReport(book);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(sheetNames(*report), (QStringList{"Sheet1", "Sheet2", "Photo(1)", "Photo(2)"}));
}

struct StoredEntry {
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint16_t method = 0;
    friend bool operator==(const StoredEntry&, const StoredEntry&) = default;
};

std::optional<StoredEntry> storedEntry(const std::filesystem::path& path, const char* name)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return std::nullopt;
    zip_stat_t stat;
    std::optional<StoredEntry> entry;
    if (zip_stat(archive, name, 0, &stat) == 0)
        entry = StoredEntry{stat.crc, stat.comp_size, stat.comp_method};
    zip_discard(archive);
    return entry;
}

// Two runs on a macro workbook: the second adds its pictures below the first ones; the macro
// part is stored exactly as it was, its compressed bytes copied through.
TEST(XlsxPackage, AMacroWorkbookKeepsItsMacrosAndASecondRunAddsMore)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger_macro.xlsm", "ledger.xlsm");
    const auto macros = storedEntry(book, "xl/vbaProject.bin");
    ASSERT_TRUE(macros.has_value());
    EngineRun first, second;
    ASSERT_TRUE(first.run(runOn(book, {"Sheet1", "My Sheet"}, 0, 2)).saved);
    ASSERT_TRUE(second.run(runOn(book, {"Sheet1", "My Sheet"}, 0, 2, 23)).saved);
    EXPECT_EQ(storedEntry(book, "xl/vbaProject.bin"), macros);

    auto report = openpyxlReport(book);
    ASSERT_TRUE(report.has_value());
    EXPECT_TRUE(report->value("vba").toBool());
    const QJsonObject sheet = sheetNamed(*report, "Sheet1", "openpyxl");
    const QJsonArray images = sheet["images"].toArray();
    ASSERT_EQ(images.size(), 4);
    for (int k = 0; k < 4; ++k) { // blocks of rows 3-10, 13-20 (first run), 23-30, 33-40 (second run)
        const int row = images[k].toObject()["from"].toObject()["row"].toInt() + 1;
        EXPECT_GE(row, 3 + 10 * k) << k;
        EXPECT_LE(row, 10 + 10 * k) << k;
    }
    EXPECT_EQ(cellOf(sheet, "B22")["value"].toString(), QStringLiteral(" land.jpg"));
}

// Each copy gets the template's print area as its own sheet-local name, naming the copy.
TEST(XlsxPackage, SheetCopiesCarryTheirOwnPrintAreas)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "ledger.xlsx");
    EngineRun engine;
    ASSERT_TRUE(engine.run(runOn(book, {"Sheet1", "My Sheet"}, 1, 2)).saved);
    auto report = openpyxlReport(book);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(sheetNames(*report), (QStringList{"Sheet1", "My Sheet", "Photo(1)", "Photo(2)"}));
    EXPECT_EQ(sheetNamed(*report, "Sheet1", "openpyxl")["printArea"].toString(), QStringLiteral("$A$1:$H$60"));
    EXPECT_EQ(sheetNamed(*report, "Photo(1)", "openpyxl")["printArea"].toString(), QStringLiteral("$A$1:$H$60"));
    EXPECT_EQ(sheetNamed(*report, "Photo(2)", "openpyxl")["printArea"].toString(), QStringLiteral("$A$1:$H$60"));
    auto shown = libreOfficeReport(book);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(sheetNamed(*shown, "Photo(2)", "LibreOffice")["printAreas"].toArray().first().toString(),
              QStringLiteral("$Photo(2).$A$1:$H$60"));
    EXPECT_EQ(sheetNamed(*shown, "Photo(1)", "LibreOffice")["merged"].toArray().first().toString(), QStringLiteral("A1:F1"));
}

// Another program saves the workbook while the run works: its file stays, the run says so.
TEST(XlsxPackage, AWorkbookChangedOnDiskDuringTheRunIsNotReplaced)
{
    TemporaryFolder folder;
    const auto book = copyWorkbook(folder.path(), "StockPortfolio.xlsx", "book.xlsx");
    const Bytes other = fileBytes(workbookFixture("ledger.xlsx"));
    EngineRun engine;
    engine.onProgress = [&](float) { writeFile(book, other); };
    const RunOutcome outcome = engine.run(runOn(book, {"Sheet1", "Sheet2"}, 0, 1));
    EXPECT_FALSE(outcome.saved);
    EXPECT_TRUE(outcome.changedOnDisk);
    EXPECT_EQ(fileBytes(book), other);
}

// tavorin-batch lists an .xlsx and refuses an encrypted package in English.
TEST(XlsxPackage, TheCommandLineListsXlsxAndRefusesEncryptedPackages)
{
    const ProcessResult listed = runProcess(QStringLiteral(TAVORIN_BATCH_PATH),
                                            {"sheets", pathText(workbookFixture("formscomments.xlsx"))});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.standardOutput, QStringLiteral("NoFormNoComment\nComments\nFormsComments\nForms\nM2M Work Request Form\n"));
    TemporaryFolder folder;
    CompoundFileBuilder file;
    file.addStream(u"EncryptedPackage", std::vector<std::uint8_t>(4096, 7));
    writeFile(folder / "secret.xlsx", file.build());
    const ProcessResult refused = runProcess(QStringLiteral(TAVORIN_BATCH_PATH), {"sheets", pathText(folder / "secret.xlsx")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.standardError.contains(QStringLiteral("encrypted"))) << refused.standardError.toStdString();
}

} // namespace
