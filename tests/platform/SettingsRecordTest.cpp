// The 49-byte settings record: field order, widths, byte order, and reading short input.
#include "platform/SettingsRecord.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tavorin;

namespace {

std::vector<std::uint8_t> bytesOf(const SettingsRecord& record)
{
    const auto bytes = record.toBytes();
    return {bytes.begin(), bytes.end()};
}

} // namespace

TEST(SettingsRecord, IsFortyNineBytes) { EXPECT_EQ(SettingsRecord::size, 49u); }

TEST(SettingsRecord, WritesFieldsInOrderLittleEndian)
{
    SettingsRecord record;
    record.checks = {1, 0, 1, 0, 0, 1, 0, 1, 1};
    for (std::size_t i = 0; i < 14; ++i)
        record.selections[i] = std::int16_t(i + 1);
    record.selections[3] = 299;  // 0x012B
    record.selections[13] = -1;  // 0xFFFF
    record.setMagnificationText("85");
    record.firstNumber = -2;     // 0xFFFE
    record.option1 = 0;
    record.option2 = -1;
    const std::vector<std::uint8_t> expected{
        1, 0, 1, 0, 0, 1, 0, 1, 1,                                     // checks
        1, 0, 2, 0, 3, 0, 0x2B, 0x01, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0,    // Combo1 … Combo9
        10, 0, 11, 0, 12, 0, 13, 0, 0xFF, 0xFF,                        // Combo10 … Combo14
        '8', '5', ' ', ' ', ' ', ' ',                                  // magnification
        0xFE, 0xFF, 0, 0, 0xFF, 0xFF};                                 // first number, styles
    EXPECT_EQ(bytesOf(record), expected);
}

TEST(SettingsRecord, MagnificationIsPaddedOrCutToSixCharacters)
{
    SettingsRecord record;
    record.setMagnificationText("100");
    EXPECT_EQ(record.magnificationText(), "100   ");
    record.setMagnificationText("1234567");
    EXPECT_EQ(record.magnificationText(), "123456");
    record.setMagnificationText("");
    EXPECT_EQ(record.magnificationText(), "      ");
}

TEST(SettingsRecord, MagnificationOutsideLatin1BecomesQuestionMarks)
{
    SettingsRecord record;
    record.setMagnificationText(QStringLiteral("１０"));
    EXPECT_EQ(record.magnificationText(), "??    ");
}

TEST(SettingsRecord, NeverWrittenRecordHoldsNoMagnificationCharacters)
{
    EXPECT_EQ(SettingsRecord{}.magnificationText(), "");
    const std::vector<std::uint8_t> zeros(49, 0);
    const SettingsRecord record = SettingsRecord::fromBytes(zeros);
    EXPECT_EQ(record, SettingsRecord{});
}

TEST(SettingsRecord, ReadsWhatItWrote)
{
    SettingsRecord record;
    record.checks = {0, 1, 0, 1, 1, 0, 1, 0, 2};
    record.selections = {255, 255, 299, 299, 300, 300, 0, 1, 2, 3, 4, 5, 7, 300};
    record.setMagnificationText("7x");
    record.firstNumber = 32767;
    record.option1 = -1;
    const auto bytes = record.toBytes();
    EXPECT_EQ(SettingsRecord::fromBytes(bytes), record);
}

TEST(SettingsRecord, ShortInputReadsZerosWhereItEnds)
{
    // Check1 on, Combo1 low byte only.
    const std::vector<std::uint8_t> bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0x34};
    const SettingsRecord record = SettingsRecord::fromBytes(bytes);
    EXPECT_EQ(record.checks[0], 1);
    EXPECT_EQ(record.selections[0], 0x34);
    EXPECT_EQ(record.selections[1], 0);
    EXPECT_EQ(record.magnificationText(), "");
    EXPECT_EQ(record.option2, 0);
    EXPECT_EQ(SettingsRecord::fromBytes({}), SettingsRecord{});
}

TEST(SettingsRecord, BytesAfterTheRecordAreIgnored)
{
    SettingsRecord record;
    record.option2 = -1;
    const auto written = record.toBytes();
    std::vector<std::uint8_t> longer(written.begin(), written.end());
    longer.insert(longer.end(), 100, 0xAB);
    EXPECT_EQ(SettingsRecord::fromBytes(longer), record);
}
