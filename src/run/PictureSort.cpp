#include "run/PictureSort.h"

#include "run/PictureNames.h"

#include <utility>

namespace tavorin {

void sortByName(std::vector<PictureRow>& rows)
{
    // The keys are lower-cased once and swapped along with their rows: the same comparisons as
    // lower-casing at each one, without half a million conversions at the row limit.
    std::vector<QString> keys;
    keys.reserve(rows.size());
    for (const PictureRow& row : rows)
        keys.push_back(sortKey(row.name));

    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            if (QString::compare(keys[i], keys[j], Qt::CaseSensitive) > 0) {
                std::swap(keys[i], keys[j]);
                std::swap(rows[i], rows[j]);
            }
        }
    }
}

} // namespace tavorin
