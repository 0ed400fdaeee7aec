// The rules of the picture list: which files are pictures, the names it shows, the keys of its
// duplicate test and its sort, the sort itself, the count display, the rotation marks and the
// preview's place.
#include "run/DuplicateNames.h"
#include "run/PictureCount.h"
#include "run/PictureNames.h"
#include "run/PictureSort.h"
#include "run/PreviewFit.h"
#include "run/RotationMark.h"

#include <QSizeF>

#include <gtest/gtest.h>

#include <optional>

namespace tavorin {
namespace {

// The 23 endings, each compared with the last four characters of the path, in any case.
TEST(PictureExtension, IsOneOfTheTableInTheLastFourCharacters)
{
    for (const char* ending : {".emf", ".wmf", ".jpg", "jpeg", "jfif", ".jpe", ".png", ".bmp", ".dib", ".rle", ".bmz",
                               ".gif", ".gfa", ".emz", ".wmz", ".pcz", ".tif", "tiff", ".cgm", ".eps", ".pct", "pict",
                               ".wpg"}) {
        EXPECT_TRUE(hasPictureExtension(QStringLiteral("/photos/a") + ending)) << ending;
        EXPECT_TRUE(hasPictureExtension(QStringLiteral("/photos/a") + QString(ending).toUpper())) << ending;
    }
    for (const char* path : {"/p/photojpeg", "/p/snapshot_pict", ".jpg"})
        EXPECT_TRUE(hasPictureExtension(path)) << path;
    for (const char* path : {"/p/photojpg", "/p/a.jpg.txt", "/p/a.webp", "/p/a.xls", "/home/me/Pictures", "", "jpg"})
        EXPECT_FALSE(hasPictureExtension(path)) << path;
}

struct TextCase {
    QString (*rule)(const QString&);
    const char *text, *result;
};

class NameText : public ::testing::TestWithParam<TextCase> {};

// displayNameOf: a blank and the file name. nameKey: the name without its last four characters and
// its leading U+0020 blanks. sortKey: the name lower-cased.
TEST_P(NameText, FollowsItsRule)
{
    EXPECT_EQ(GetParam().rule(GetParam().text), QString::fromUtf8(GetParam().result)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(, NameText, ::testing::Values(
    TextCase{displayNameOf, "/home/me/img01.jpg", " img01.jpg"}, TextCase{displayNameOf, "/p/  two.png", "   two.png"},
    TextCase{displayNameOf, "/a/b/name with spaces.jpeg", " name with spaces.jpeg"},
    TextCase{displayNameOf, "loose.png", " loose.png"}, TextCase{nameKey, " img01.jpg", "img01"},
    TextCase{nameKey, " img01.jpeg", "img01."}, TextCase{nameKey, "    a.jpg", "a"}, TextCase{nameKey, " \ta.jpg", "\ta"},
    TextCase{nameKey, " \u3000a.jpg", "\u3000a"}, TextCase{nameKey, " a b.jpg", "a b"}, TextCase{nameKey, " jpeg", ""},
    TextCase{nameKey, "ab", ""}, TextCase{sortKey, " IMG_01.JPG", " img_01.jpg"}, TextCase{sortKey, " ÄBC.png", " äbc.png"}));

// Names collide when their keys are equal, compared with regard to case; names added earlier in the
// same drop take part.
TEST(DuplicateNames, CollideByNameKey)
{
    DuplicateNames names({" a.jpg", " A.bmp", " photo.jpg"});
    for (const char* dropped : {" a.gif", " a.png", " A.tif", "   photo.jpg"})
        EXPECT_TRUE(names.collides(dropped)) << dropped;
    for (const char* dropped : {" a.jpeg", " b.png", " PHOTO.jpg"})
        EXPECT_FALSE(names.collides(dropped)) << dropped;
    names.add(" b.bmp");
    EXPECT_TRUE(names.collides(" b.png"));
}

class PictureSort : public ::testing::TestWithParam<std::pair<QStringList, QStringList>> {};

// An exchange sort on the lower-cased names by character code: "img10" before "img2", "_" (0x5F)
// before "a"; rows with equal keys are never swapped with each other, yet b, B, a ends as a, B, b.
// Paths and marks travel with their names.
TEST_P(PictureSort, OrdersByTheLowerCasedName)
{
    std::vector<PictureRow> rows;
    for (const QString& name : GetParam().first)
        rows.push_back({" " + name, "/p/" + name, QString::number(rows.size())});
    sortByName(rows);
    QStringList names;
    for (const PictureRow& row : rows) {
        names << row.name.mid(1);
        EXPECT_EQ(row.path, "/p/" + names.back());
        EXPECT_EQ(GetParam().first.at(row.mark.toInt()), names.back());
    }
    EXPECT_EQ(names, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(, PictureSort, ::testing::ValuesIn(std::vector<std::pair<QStringList, QStringList>>{
    {{"b.jpg", "C.jpg", "a.jpg"}, {"a.jpg", "b.jpg", "C.jpg"}}, {{"b.jpg", "B.jpg", "a.jpg"}, {"a.jpg", "B.jpg", "b.jpg"}},
    {{"img2.jpg", "img10.jpg", "a.png", "a.jpg", "_x.jpg", "1.jpg"}, {"1.jpg", "_x.jpg", "a.jpg", "a.png", "img10.jpg", "img2.jpg"}},
    {{"Z.jpg"}, {"Z.jpg"}}, {{}, {}}}));

// A blank and three digits; from a thousand on there is no caption.
TEST(PictureCount, ShowsABlankAndThreeDigitsBelowAThousand)
{
    const std::pair<int, std::optional<QString>> shown[] = {
        {0, " 000"}, {7, " 007"}, {42, " 042"}, {100, " 100"}, {999, " 999"}, {1000, {}}, {12345, {}}};
    for (const auto& [rows, text] : shown)
        EXPECT_EQ(countDisplayText(rows), text) << rows;
}

// A double-click steps ○ → ↓ ← and back; each mark stands for a clockwise turn; other texts stay.
TEST(RotationMark, StepsOnAndStandsForItsTurn)
{
    const char* marks[] = {"○", "→", "↓", "←"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(nextRotationMark(marks[i]), marks[(i + 1) % 4]);
        EXPECT_EQ(rotationDegrees(marks[i]), 90 * i);
        EXPECT_EQ(rotationMarkFor(90 * i), marks[i]);
    }
    for (const char* other : {"", "o", "○ "}) {
        EXPECT_EQ(nextRotationMark(other), other);
        EXPECT_FALSE(rotationDegrees(other));
    }
    EXPECT_EQ(rotationMarkFor(45), "○") << "an unknown turn leaves the picture upright";
}

class PreviewFit : public ::testing::TestWithParam<std::pair<QSizeF, std::optional<PreviewGeometry>>> {};

// The preview box is 2450 x 1840 twips at (1365, 1140): a picture takes the largest size that fits
// it with its aspect ratio kept, centred; a picture without area has no place.
TEST_P(PreviewFit, FitsAndCentresThePictureInTheBox)
{
    const auto fit = fitPreview(float(GetParam().first.width()), float(GetParam().first.height()));
    const auto& place = GetParam().second;
    ASSERT_EQ(fit.has_value(), place.has_value());
    if (fit) {
        EXPECT_NEAR(fit->left, place->left, 0.01);
        EXPECT_NEAR(fit->top, place->top, 0.01);
        EXPECT_NEAR(fit->width, place->width, 0.01);
        EXPECT_NEAR(fit->height, place->height, 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(, PreviewFit, ::testing::ValuesIn(std::vector<std::pair<QSizeF, std::optional<PreviewGeometry>>>{
    {{2450, 1000}, PreviewGeometry{1365, 1560, 2450, 1000}},              // wide: centred from top to bottom
    {{1000, 1840}, PreviewGeometry{2090, 1140, 1000, 1840}},              // tall: centred from side to side
    {{4900, 3680}, PreviewGeometry{1365, 1140, 2450, 1840}},              // the box's ratio
    {{245, 100}, PreviewGeometry{1365, 1560, 2450, 1000}},                // enlarged
    {{90000, 60000}, PreviewGeometry{1365, 1243.333f, 2450, 1633.333f}},  // reduced
    {{1, 15}, PreviewGeometry{2528.667f, 1140, 122.667f, 1840}},
    {{0, 100}, std::nullopt}, {{100, 0}, std::nullopt}, {{-5, 100}, std::nullopt}}));

} // namespace
} // namespace tavorin
