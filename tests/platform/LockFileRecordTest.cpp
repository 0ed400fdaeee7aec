// The lock file entry is read as LibreOffice reads it and written as LibreOffice writes it; the
// lines below are written out by hand in LibreOffice's form (the first as LibreOffice 7.4 wrote it).

#include "platform/LockFileRecord.h"

#include <gtest/gtest.h>

using namespace tavorin;

namespace {

struct ParseCase {
    const char* what;
    std::string line;
    std::optional<std::array<const char*, 5>> fields;
};

class LockFileRecordParse : public ::testing::TestWithParam<ParseCase> {};

std::string nameOf(const ::testing::TestParamInfo<ParseCase>& info) { return info.param.what; }

} // namespace

TEST_P(LockFileRecordParse, ReadsFieldsAsLibreOfficeDoes)
{
    const ParseCase& c = GetParam();
    auto record = LockFileRecord::parse(c.line);
    ASSERT_EQ(record.has_value(), c.fields.has_value());
    if (!record)
        return;
    const auto& f = *c.fields;
    EXPECT_EQ(record->formattedName, QString::fromUtf8(f[0]));
    EXPECT_EQ(record->userName, QString::fromUtf8(f[1]));
    EXPECT_EQ(record->hostName, QString::fromUtf8(f[2]));
    EXPECT_EQ(record->time, QString::fromUtf8(f[3]));
    EXPECT_EQ(record->profileUrl, QString::fromUtf8(f[4]));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LockFileRecordParse,
    ::testing::Values(
        ParseCase{"LibreOffice", ",root,vm,07.12.2026 13:11,file:///tmp/lo-7kpcnsoh;",
                  std::array{"", "root", "vm", "07.12.2026 13:11", "file:///tmp/lo-7kpcnsoh"}},
        ParseCase{"Escaped", "Yamada\\, Taro,yamada,pc\\;01,07.12.2026 09:05,file:///C:\\\\Users;",
                  std::array{"Yamada, Taro", "yamada", "pc;01", "07.12.2026 09:05", "file:///C:\\Users"}},
        ParseCase{"Japanese", "山田 太郎,yamada,pc01,07.12.2026 09:05,file:///home/yamada;\n",
                  std::array{"山田 太郎", "yamada", "pc01", "07.12.2026 09:05", "file:///home/yamada"}},
        ParseCase{"FourFields", ",root,vm,07.12.2026 13:11;", std::nullopt},
        ParseCase{"NoEnd", ",root,vm,07.12.2026 13:11,file:///tmp/x", std::nullopt},
        ParseCase{"SemicolonTooEarly", ",root;vm,07.12.2026 13:11,file:///tmp/x;", std::nullopt},
        ParseCase{"LastEndsWithComma", ",root,vm,07.12.2026 13:11,file:///tmp/x,", std::nullopt},
        ParseCase{"EscapeOfOrdinaryCharacter", ",ro\\ot,vm,07.12.2026 13:11,file:///tmp/x;", std::nullopt},
        ParseCase{"EscapeAtEnd", ",root,vm,07.12.2026 13:11,file:///tmp/x\\", std::nullopt},
        ParseCase{"Empty", "", std::nullopt}),
    nameOf);

TEST(LockFileRecord, WritesEscapedFieldsEndingInASemicolon)
{
    LockFileRecord record{QStringLiteral("Tavorin"), QStringLiteral("ya,mada"), QStringLiteral("pc;01"),
                          QStringLiteral("07.12.2026 09:05"), QStringLiteral("tavorin:pid=42\\")};
    EXPECT_EQ(record.serialise(), "Tavorin,ya\\,mada,pc\\;01,07.12.2026 09:05,tavorin:pid=42\\\\;");
}

TEST(LockFileRecord, ThisProgramsLockCarriesItsProcessInTheLastField)
{
    auto withUrl = [](const char* url) {
        return LockFileRecord{QStringLiteral("Tavorin"), {}, {}, {}, QString::fromUtf8(url)}.writerProcess();
    };
    auto full = withUrl("tavorin:pid=4242:start=987654");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->id, 4242);
    EXPECT_EQ(full->startTicks, 987654u);
    auto bare = withUrl("tavorin:pid=17");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->id, 17);
    EXPECT_FALSE(bare->startTicks);
    for (const char* other : {"file:///home/yamada/.config/libreoffice/4", "tavorin:pid=", "tavorin:pid=0",
                              "tavorin:pid=-5", "tavorin:pid=12x", "tavorin:pid=12:start=", "tavorin:pid=12:start=x"})
        EXPECT_FALSE(withUrl(other)) << other;

    // What this process writes: the program's name, and its own id, which reads back as running.
    const QDateTime at(QDate(2026, 12, 7), QTime(9, 5));
    LockFileRecord own = LockFileRecord::forThisProcess(at);
    EXPECT_EQ(own.formattedName, QStringLiteral("Tavorin"));
    EXPECT_EQ(own.time, QStringLiteral("07.12.2026 09:05"));
    auto process = own.writerProcess();
    ASSERT_TRUE(process);
    EXPECT_EQ(process->id, ::getpid());
    EXPECT_TRUE(process->isRunning());
}
