#include "run/RunChecks.h"
#include "run/SheetNaming.h"

#include <gtest/gtest.h>

using namespace tavorin;

namespace {

RunOptions readyOptions()
{
    RunOptions options;
    options.workbookChosen = true;
    options.pictures.push_back(PictureRow{" a.jpg", "/p/a.jpg", QStringLiteral("○")});
    return options;
}

} // namespace

TEST(RunChecks, EveryMissingInputHasItsLineInOrder)
{
    RunOptions nothing;
    nothing.picturesPerSheet = 5;
    EXPECT_EQ(missingInputMessage(nothing),
              QStringLiteral("Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。\r\n"
                             "挿入SHEET名を指定して下さい。"));

    RunOptions noPictures = readyOptions();
    noPictures.pictures.clear();
    EXPECT_EQ(missingInputMessage(noPictures), QStringLiteral("画像ファイルを指定して下さい。"));

    RunOptions noWorkbookAll;
    EXPECT_EQ(missingInputMessage(noWorkbookAll),
              QStringLiteral("Excelファイルを指定して下さい。\r\n画像ファイルを指定して下さい。"));
}

TEST(RunChecks, ASheetNameIsNeededOnlyForCopiesNamedFromTheField)
{
    RunOptions all = readyOptions();
    EXPECT_TRUE(missingInputMessage(all).isEmpty());

    RunOptions copies = readyOptions();
    copies.picturesPerSheet = 5;
    EXPECT_EQ(missingInputMessage(copies), QStringLiteral("挿入SHEET名を指定して下さい。"));
    copies.sheetNameFromDate = true;
    EXPECT_TRUE(missingInputMessage(copies).isEmpty());
    copies.sheetNameFromDate = false;
    copies.sheetNameText = QStringLiteral(" ");
    EXPECT_TRUE(missingInputMessage(copies).isEmpty());
}

TEST(SheetNaming, TheCounterStopsAtTheFirstFreeNumber)
{
    EXPECT_EQ(initialCopyCounter("写真", {"Sheet1"}), 0);
    EXPECT_EQ(initialCopyCounter("写真", {"写真(1)", "Sheet1", "写真(2)"}), 2);
    // Only the first number is looked up: a free 1 starts there even though 2 is taken.
    EXPECT_EQ(initialCopyCounter("写真", {"写真(2)"}), 0);
    // Exact, case-sensitive comparison of the whole name.
    EXPECT_EQ(initialCopyCounter("Photo", {"photo(1)", "Photo(1) "}), 0);
    EXPECT_EQ(sheetCopyName("Photo", 3), QStringLiteral("Photo(3)"));
}

TEST(SheetNaming, TheLongDateHasNoWeekday)
{
    QDate date(2026, 12, 6);
    EXPECT_EQ(longDateWithoutWeekday(date, QLocale(QLocale::Japanese, QLocale::Japan)),
              QStringLiteral("2026年12月6日"));
    QString english = longDateWithoutWeekday(date, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(english.contains(QStringLiteral("December"))) << english.toStdString();
    EXPECT_TRUE(english.contains(QStringLiteral("2026")));
    EXPECT_FALSE(english.contains(QStringLiteral("Sunday"))) << english.toStdString();
}
