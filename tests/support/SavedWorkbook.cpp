#include "support/SavedWorkbook.h"

#include "support/Oracles.h"
#include "support/StreamLayout.h"

#include "platform/xls/compound/CompoundFile.h"

#include <gtest/gtest.h>

namespace tavorin::test {

std::optional<std::vector<std::uint8_t>> workbookStreamOf(const std::filesystem::path& workbook)
{
    auto file = xls::CompoundFile::open(workbook);
    if (!file)
        return std::nullopt;
    auto entry = file->find("Workbook");
    if (!entry)
        entry = file->find("Book"); // kept under the name it was read from
    if (!entry)
        return std::nullopt;
    auto stream = file->readStream(*entry);
    return stream ? std::optional(std::move(*stream)) : std::nullopt;
}

std::optional<QJsonObject> expectSavedWhole(const std::filesystem::path& workbook)
{
    if (auto stream = workbookStreamOf(workbook)) {
        for (const std::string& problem : streamLayoutProblems(*stream))
            ADD_FAILURE() << workbook.filename() << ": " << problem;
    } else {
        ADD_FAILURE() << workbook << " holds no readable Workbook stream";
    }
    auto report = xlrdReport(workbook);
    EXPECT_TRUE(report.has_value()) << "xlrd cannot load every sheet of " << workbook;
    return report;
}

} // namespace tavorin::test
