#include "support/SavedWorkbook.h"

#include "support/Oracles.h"
#include "support/StreamLayout.h"

#include "platform/xls/compound/CompoundFile.h"

#include <gtest/gtest.h>

namespace tavorin::test {

std::vector<std::uint8_t> workbookStreamOf(const std::filesystem::path& workbook)
{
    auto file = xls::CompoundFile::open(workbook);
    auto entry = file ? file->find("Workbook") : std::nullopt;
    if (file && !entry)
        entry = file->find("Book"); // kept under the name it was read from
    auto stream = entry ? file->readStream(*entry)
                        : xls::Result<std::vector<std::uint8_t>>(xls::Error{"no Workbook stream", "test", {}, {}});
    EXPECT_TRUE(stream.ok()) << workbook << ": " << (stream.ok() ? "" : stream.error().describe());
    return stream.ok() ? std::move(*stream) : std::vector<std::uint8_t>{};
}

std::string layoutProblemsOf(const std::filesystem::path& workbook)
{
    std::string text;
    for (const auto& line : streamLayoutProblems(workbookStreamOf(workbook)))
        text += line + "\n";
    return text;
}

std::optional<QJsonObject> expectSavedWhole(const std::filesystem::path& workbook)
{
    EXPECT_EQ(layoutProblemsOf(workbook), "") << workbook.filename();
    auto report = xlrdReport(workbook);
    EXPECT_TRUE(report.has_value()) << "xlrd cannot load every sheet of " << workbook;
    return report;
}

} // namespace tavorin::test
