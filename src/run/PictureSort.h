#pragma once

#include "run/PictureRow.h"

#include <vector>

namespace tavorin {

// Puts the rows into file-name order the way the list has always done it: an ascending exchange
// sort on the lower-cased display names compared by code unit. Rows with equal keys are never
// swapped with each other, yet the sort is not stable (b.jpg, B.jpg, a.jpg end as a.jpg, B.jpg,
// b.jpg), and users know the order it gives; so it is kept rather than replaced by std::sort.
void sortByName(std::vector<PictureRow>& rows);

} // namespace tavorin
