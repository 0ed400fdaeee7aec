#include "DrawingFixture.h"

#include "platform/xls/model/WorkbookFile.h"

#include <gtest/gtest.h>

namespace tavorin::test {
namespace {

struct RawRecord {
    std::uint16_t type;
    std::size_t offset; // of the header
    std::size_t length;
};

bool drawingRunRecord(std::uint16_t type)
{
    return type == 0x00EC || type == 0x005D || type == 0x01B6 /* TXO */ || type == 0x003C;
}

} // namespace

DrawingFixture DrawingFixture::load(const std::filesystem::path& workbook)
{
    DrawingFixture fixture;
    auto file = xls::WorkbookFile::open(workbook);
    EXPECT_TRUE(file.ok()) << workbook;
    if (!file)
        return fixture;
    auto stream = file->compoundFile().readStream(file->workbookStream());
    EXPECT_TRUE(stream.ok());
    if (!stream)
        return fixture;
    fixture.stream = std::move(*stream);
    const auto& s = fixture.stream;
    std::vector<RawRecord> records;
    for (std::size_t at = 0; at + 4 <= s.size();) {
        std::size_t length = s[at + 2] | (s[at + 3] << 8);
        records.push_back({static_cast<std::uint16_t>(s[at] | (s[at + 1] << 8)), at, length});
        at += 4 + length;
    }
    auto data = [&](const RawRecord& r) {
        return std::vector<std::uint8_t>(s.begin() + static_cast<std::ptrdiff_t>(r.offset + 4),
                                         s.begin() + static_cast<std::ptrdiff_t>(r.offset + 4 + r.length));
    };
    auto bytesOf = [&](std::size_t from, std::size_t to) {
        return std::vector<std::uint8_t>(s.begin() + static_cast<std::ptrdiff_t>(records[from].offset),
                                         s.begin() + static_cast<std::ptrdiff_t>(records[to - 1].offset + 4 + records[to - 1].length));
    };
    for (std::size_t i = 0; i < records.size();) {
        if (records[i].type == 0x00EB && !fixture.hasGroup) {
            fixture.hasGroup = true;
            std::size_t j = i;
            while (j < records.size() && (j == i || records[j].type == 0x003C || records[j].type == 0x00EB)) {
                auto piece = data(records[j]);
                fixture.groupData.insert(fixture.groupData.end(), piece.begin(), piece.end());
                fixture.groupPieces.push_back({records[j].type, static_cast<std::uint32_t>(records[j].length)});
                ++j;
            }
            fixture.groupStreamBytes = bytesOf(i, j);
            i = j;
            continue;
        }
        if (records[i].type == 0x00EC) {
            Run run;
            std::size_t j = i;
            int depth = 0; // inside an embedded chart substream
            while (j < records.size() && (depth > 0 || drawingRunRecord(records[j].type) || records[j].type == 0x0809)) {
                if (records[j].type == 0x0809)
                    ++depth;
                if (records[j].type == 0x000A)
                    --depth;
                run.records.push_back({records[j].type, data(records[j])});
                ++j;
            }
            run.streamBytes = bytesOf(i, j);
            fixture.sheetDrawings.push_back(std::move(run));
            i = j;
            continue;
        }
        ++i;
    }
    return fixture;
}

} // namespace tavorin::test
