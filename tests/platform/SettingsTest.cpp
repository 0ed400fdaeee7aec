// The stored options: the 49-byte record (written out here byte by byte in its field order,
// little-endian), its file, where the file lives, and the one-program-per-user lock.
#include "platform/InstanceLock.h"
#include "platform/SettingsFile.h"
#include "platform/SettingsLocation.h"
#include "platform/SettingsRecord.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

const Bytes handWritten{1, 0, 1, 0, 0, 1, 0, 1, 1,                                        // Check1 … Check9
                        1, 0, 2, 0, 3, 0, 0x2B, 0x01, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10, 0, // Combo1 … Combo10
                        11, 0, 12, 0, 13, 0, 0xFF, 0xFF,                                   // Combo11 … Combo14
                        '8', '5', ' ', ' ', ' ', ' ',                                      // Text1
                        0xFE, 0xFF, 0, 0, 0xFF, 0xFF};                                     // Text3, "No.1", " 1"

SettingsRecord handWrittenRecord()
{
    SettingsRecord record;
    record.checks = {1, 0, 1, 0, 0, 1, 0, 1, 1};
    record.selections = {1, 2, 3, 299, 5, 6, 7, 8, 9, 10, 11, 12, 13, -1};
    record.setMagnificationText("85");
    record.firstNumber = -2;
    record.option1 = 0;  // "No.1" not selected
    record.option2 = -1; // " 1" selected
    return record;
}

TEST(SettingsRecord, IsWrittenAndReadFieldByFieldInOrder)
{
    const auto written = handWrittenRecord().toBytes();
    EXPECT_EQ(Bytes(written.begin(), written.end()), handWritten);
    Bytes longer = handWritten;
    longer.insert(longer.end(), 100, 0xAB);
    EXPECT_EQ(SettingsRecord::fromBytes(longer), handWrittenRecord()) << "bytes after the record are ignored";
    const SettingsRecord shortOne = SettingsRecord::fromBytes(Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0x34});
    EXPECT_EQ(std::tuple(shortOne.checks[0], shortOne.selections[0], shortOne.selections[1]), std::tuple(1, 0x34, 0))
        << "zeros where a short input ends";
    EXPECT_EQ(shortOne.magnificationText(), "") << "a record never written holds no characters";
    SettingsRecord record; // the magnification: six Latin-1 characters, padded with blanks or cut
    for (const auto& [text, kept] : {std::pair("1234567", "123456"), {"", "      "}, {"１０", "??    "}}) {
        record.setMagnificationText(QString::fromUtf8(text));
        EXPECT_EQ(record.magnificationText(), kept) << text;
    }
}

// Created empty with its folder when missing, read as it is, replaced whole with nothing left beside
// it; a place that cannot hold it gives nothing.
TEST(SettingsFile, IsCreatedReadAndReplacedWhole)
{
    TemporaryFolder folder;
    const auto file = folder / "deeper" / "Tavorin" / "settings.dat";
    EXPECT_EQ(readOrCreateSettingsFile(file), SettingsRecord{});
    EXPECT_EQ(fileBytes(file), Bytes{});
    Bytes longer = handWritten;
    longer.insert(longer.end(), {'m', 'o', 'r', 'e'});
    writeFile(file, longer);
    EXPECT_EQ(readOrCreateSettingsFile(file), handWrittenRecord());
    EXPECT_EQ(fileBytes(file), longer);
    ASSERT_TRUE(writeSettingsFile(file, handWrittenRecord()));
    EXPECT_EQ(fileBytes(file), handWritten);
    EXPECT_EQ(namesIn(file.parent_path()), std::vector<std::string>{"settings.dat"});
    EXPECT_FALSE(readOrCreateSettingsFile(file / "settings.dat"));
    EXPECT_FALSE(writeSettingsFile(file / "settings.dat", SettingsRecord{}));
}

// Puts an environment variable back as it was when the test ends.
auto restoredLater(const char* name)
{
    const bool wasSet = qEnvironmentVariableIsSet(name);
    return qScopeGuard([name, wasSet, value = qgetenv(name)] { wasSet ? qputenv(name, value) : qunsetenv(name); });
}

// The settings file lies in the user's configuration folder; one program runs per user (its lock lies in
// the user's runtime folder).
TEST(UserFolders, HoldTheSettingsFileAndTheInstanceLock)
{
    TemporaryFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    const auto home = restoredLater("HOME"), config = restoredLater("XDG_CONFIG_HOME");
    const auto runtime = restoredLater("XDG_RUNTIME_DIR");
    qputenv("HOME", folder.path().c_str());
    qputenv("XDG_CONFIG_HOME", (folder / "config").c_str());
    qputenv("XDG_RUNTIME_DIR", folder.path().c_str());
    EXPECT_EQ(settingsFilePath(), folder / "config" / "Tavorin" / "settings.dat");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), folder / ".config" / "Tavorin" / "settings.dat");
    {
        InstanceLock first;
        ASSERT_TRUE(first.acquire());
        EXPECT_FALSE(InstanceLock().acquire());
    }
    EXPECT_TRUE(InstanceLock().acquire());
}

} // namespace
