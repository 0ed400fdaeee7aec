#include "run/PictureSort.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tavorin {
namespace {

std::vector<PictureRow> rowsNamed(const QStringList& names)
{
    std::vector<PictureRow> rows;
    for (const QString& name : names)
        rows.push_back({QStringLiteral(" ") + name, QStringLiteral("/p/") + name, QStringLiteral("○")});
    return rows;
}

QStringList namesOf(const std::vector<PictureRow>& rows)
{
    QStringList names;
    for (const PictureRow& row : rows)
        names.append(row.name.mid(1));
    return names;
}

TEST(PictureSort, OrdersWithoutRegardToCase)
{
    auto rows = rowsNamed({"b.jpg", "A.jpg", "c.jpg"});
    sortByName(rows);
    EXPECT_EQ(namesOf(rows), (QStringList{"A.jpg", "b.jpg", "c.jpg"}));
}

TEST(PictureSort, OrdersByCharacterCodeNotByNumber)
{
    auto rows = rowsNamed({"img2.jpg", "img10.jpg", "a.png", "a.jpg", "_x.jpg", "1.jpg"});
    sortByName(rows);
    // '1' (0x31) < '_' (0x5F) < 'a' (0x61); "img10" before "img2"; the extension takes part.
    EXPECT_EQ(namesOf(rows), (QStringList{"1.jpg", "_x.jpg", "a.jpg", "a.png", "img10.jpg", "img2.jpg"}));
}

TEST(PictureSort, ExchangesRowsWithEqualKeysAsTheExchangeSortDoes)
{
    // i=0: b > B? no; b > a? yes -> a, B, b. i=1: B > b? equal keys, no swap. So the two
    // rows with the equal key have changed places.
    auto rows = rowsNamed({"b.jpg", "B.jpg", "a.jpg"});
    sortByName(rows);
    EXPECT_EQ(namesOf(rows), (QStringList{"a.jpg", "B.jpg", "b.jpg"}));
}

TEST(PictureSort, PathsAndMarksTravelWithTheirNames)
{
    auto rows = rowsNamed({"c.jpg", "a.jpg", "b.jpg"});
    rows[0].mark = QStringLiteral("→");
    rows[2].mark = QStringLiteral("↓");
    sortByName(rows);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (PictureRow{" a.jpg", "/p/a.jpg", "○"}));
    EXPECT_EQ(rows[1], (PictureRow{" b.jpg", "/p/b.jpg", "↓"}));
    EXPECT_EQ(rows[2], (PictureRow{" c.jpg", "/p/c.jpg", "→"}));
}

TEST(PictureSort, LeavesEmptyAndSingleRowListsAlone)
{
    std::vector<PictureRow> none;
    sortByName(none);
    EXPECT_TRUE(none.empty());
    auto one = rowsNamed({"Z.jpg"});
    sortByName(one);
    EXPECT_EQ(namesOf(one), QStringList{"Z.jpg"});
}

TEST(PictureSort, SortsTheRowLimitIntoAscendingOrder)
{
    QStringList names;
    for (int i = 998; i >= 0; --i)
        names.append(QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    auto rows = rowsNamed(names);
    sortByName(rows);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_LT(rows[i - 1].name, rows[i].name);
}

} // namespace
} // namespace tavorin
