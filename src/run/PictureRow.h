#pragma once

#include <QString>

namespace tavorin {

// One picture of the list: what the four parallel lists hold for it, apart from its row number.
struct PictureRow {
    QString name; // one blank followed by the file name
    QString path; // full path as the drop delivered it
    QString mark; // rotation mark

    friend bool operator==(const PictureRow&, const PictureRow&) = default;
};

} // namespace tavorin
