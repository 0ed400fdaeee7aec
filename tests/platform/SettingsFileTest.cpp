// The settings file on disk: created empty when missing, read defensively, replaced whole.
#include "platform/InstanceLock.h"
#include "platform/SettingsFile.h"
#include "platform/SettingsLocation.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

using namespace tavorin;
using tavorin::test::TemporaryFolder;

namespace {

std::vector<char> contentOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeContent(const std::filesystem::path& file, const std::string& content)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace

TEST(SettingsFile, MissingFileIsCreatedEmptyWithItsFolderAndReadsAsZeros)
{
    TemporaryFolder folder;
    const auto file = folder / "deeper" / "Tavorin" / "settings.dat";
    const auto record = readOrCreateSettingsFile(file);
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, SettingsRecord{});
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST(SettingsFile, ExistingFileIsReadAndLeftAsItWas)
{
    TemporaryFolder folder;
    const auto file = folder / "settings.dat";
    std::string content(49, '\0');
    content[0] = 1;
    content[9] = 5;
    content.replace(37, 6, "90    ");
    writeContent(file, content + "trailing");
    const auto record = readOrCreateSettingsFile(file);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->checks[0], 1);
    EXPECT_EQ(record->selections[0], 5);
    EXPECT_EQ(record->magnificationText(), "90    ");
    EXPECT_EQ(std::filesystem::file_size(file), 57u);
}

TEST(SettingsFile, PlaceThatCannotHoldTheFileGivesNothing)
{
    TemporaryFolder folder;
    writeContent(folder / "Tavorin", "a plain file where the folder should be");
    EXPECT_FALSE(readOrCreateSettingsFile(folder / "Tavorin" / "settings.dat"));
    SettingsRecord record;
    EXPECT_FALSE(writeSettingsFile(folder / "Tavorin" / "settings.dat", record));
}

TEST(SettingsFile, WriteReplacesTheWholeFileWithTheRecord)
{
    TemporaryFolder folder;
    const auto file = folder / "Tavorin" / "settings.dat";
    writeContent(file, std::string(200, 'x'));
    SettingsRecord record;
    record.checks[6] = 1;
    record.setMagnificationText("100");
    ASSERT_TRUE(writeSettingsFile(file, record));
    const std::vector<char> content = contentOf(file);
    ASSERT_EQ(content.size(), 49u);
    EXPECT_EQ(content[6], 1);
    EXPECT_EQ(std::string(content.begin() + 37, content.begin() + 43), "100   ");
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()), {}), 1);
}

TEST(SettingsLocation, FollowsXdgConfigHome)
{
    TemporaryFolder folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.path().string());
    EXPECT_EQ(settingsFilePath(), folder / "Tavorin" / "settings.dat");
}

TEST(SettingsLocation, FallsBackToDotConfigInHome)
{
    TemporaryFolder folder;
    ScopedEnvironment home("HOME", folder.path().string());
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), folder / ".config" / "Tavorin" / "settings.dat");
}

TEST(InstanceLock, SecondLockOnTheSameRuntimeFolderIsRefusedUntilTheFirstGoes)
{
    TemporaryFolder folder;
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
    ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path().string());
    {
        InstanceLock first;
        ASSERT_TRUE(first.acquire());
        InstanceLock second;
        EXPECT_FALSE(second.acquire());
    }
    InstanceLock afterwards;
    EXPECT_TRUE(afterwards.acquire());
}
