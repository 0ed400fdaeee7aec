#pragma once

#include "lists/PictureTableWidgets.h"

#include <QObject>
#include <QString>

namespace tavorin {

// showPreview: puts List3, List4 and List5 on the current row of List2 and shows that picture in
// Image1, scaled to the largest size that fits the preview box and centred in it. The picture is
// what the run will place: a photo as viewers show it (its EXIF orientation applied, a HEIC
// decoded upright) while 写真の向きを反映 is on, as stored when it is off.
//
// A picture's natural size counts one pixel as 15 twips (one screen pixel at 96 dpi), whatever
// resolution the file records: only the ratio of its sides reaches the screen, and a file's
// own dots-per-inch (often missing, sometimes different across and down) would distort it.
class PicturePreview : public QObject {
    Q_OBJECT
  public:
    explicit PicturePreview(const PictureTableWidgets& widgets, QObject* parent = nullptr);

    void showPreview();

    // How many pictures were loaded into Image1 so far (a count the benchmarks read).
    int loadCount() const { return loadCount_; }

  private:
    void showPictureOfRow(int row);
    bool loadPicture(const QString& path);

    PictureTableWidgets widgets_;
    bool running_ = false;
    bool requestedAgain_ = false;
    int loadCount_ = 0;
};

} // namespace tavorin
