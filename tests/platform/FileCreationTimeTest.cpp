#include "platform/FileCreationTime.h"

#include "support/TemporaryFolder.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <fstream>

using namespace tavorin;

TEST(FileCreationTime, ANewFileWasCreatedNowOnTheLocalClock)
{
    test::TemporaryFolder folder;
    QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    std::ofstream(folder / "photo.jpg") << "x";
    QDateTime after = QDateTime::currentDateTime().addSecs(2);

    auto created = fileCreationTime(folder / "photo.jpg");
    ASSERT_TRUE(created.has_value());
    QDateTime seen(QDate(created->year, created->month, created->day),
                   QTime(created->hour, created->minute, created->second, created->millisecond));
    EXPECT_LE(before, seen);
    EXPECT_GE(after, seen);
}

TEST(FileCreationTime, AMissingFileHasNone)
{
    test::TemporaryFolder folder;
    EXPECT_FALSE(fileCreationTime(folder / "gone.jpg").has_value());
}
