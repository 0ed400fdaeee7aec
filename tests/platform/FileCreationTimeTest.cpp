// When a picture file was made, as the date caption reads it.
#include "platform/FileCreationTime.h"

#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::test;

namespace {

TEST(FileCreationTime, ANewFileWasCreatedNowOnTheLocalClockAndAMissingOneHasNone)
{
    TemporaryFolder folder;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    writeFile(folder / "photo.jpg", {'x'});
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    const auto created = fileCreationTime(folder / "photo.jpg");
    ASSERT_TRUE(created.has_value());
    const QDateTime seen(QDate(created->year, created->month, created->day),
                         QTime(created->hour, created->minute, created->second, created->millisecond));
    EXPECT_TRUE(before <= seen && seen <= after) << seen.toString().toStdString();
    EXPECT_FALSE(fileCreationTime(folder / "gone.jpg").has_value());
}

} // namespace
