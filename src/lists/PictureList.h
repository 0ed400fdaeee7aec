#pragma once

#include "lists/PictureTableWidgets.h"
#include "run/PictureRow.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace tavorin {

// The picture list: row i is item i of List2 (display name), List3 (path), List4 (rotation mark)
// and List5 (row number). The lists are the data; this class keeps them in step.
class PictureList {
  public:
    static constexpr std::int16_t pictureLimit = 999;
    static constexpr int workingEntries = 1001;

    explicit PictureList(const PictureTableWidgets& widgets);

    int rowCount() const;
    PictureRow row(int index) const;
    QStringList displayNames() const;
    std::int32_t rowCounter() const { return rowCounter_; }

    // A new row at the end with the mark "○", numbered with the raised row counter.
    void appendRow(const QString& displayName, const QString& path);
    // Moves of whole pictures touch List2, List3 and List4 only: List5 keeps numbering positions.
    void insertRow(int index, const PictureRow& row);
    void removeRow(int index);

    // DATACount: a blank and three digits; left as it is from 1000 rows on.
    void refreshCount();

    // File-name order (exchange sort on the lower-cased names); the lists end with no selection.
    void sortByName();

    // "Clear": every row, the count display and the preview go; numbering starts again at 1.
    void clear();

    // True while rows are being added, moved or removed. Qt reports current-row changes that
    // such edits cause as if the user had chosen a row; the list handlers ignore them then.
    bool isEditing() const { return editDepth_ > 0; }

    // Scratch storage shared by the drop (entries 1 to M) and the sort (0 to N-1).
    std::array<QString, workingEntries> dropNames;
    std::array<QString, workingEntries> dropPaths;

  private:
    class EditScope;

    PictureTableWidgets widgets_;
    std::int32_t rowCounter_ = 0;
    int editDepth_ = 0;
};

} // namespace tavorin
