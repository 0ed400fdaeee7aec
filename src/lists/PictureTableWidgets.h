#pragma once

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace tavorin {

// The controls of the picture side that the list operations work on. Form1 owns them; the
// list, drop, sort, clear, drag, mark and preview code gets them through this struct so that
// it can be built and tested on its own.
struct PictureTableWidgets {
    QListWidget* List2 = nullptr;  // display names (one blank + file name)
    QListWidget* List3 = nullptr;  // full paths, hidden
    QListWidget* List4 = nullptr;  // rotation marks
    QListWidget* List5 = nullptr;  // row numbers
    QLabel* DATACount = nullptr;   // count display
    QCheckBox* Check1 = nullptr;   // refuse duplicate names
    QCheckBox* Check3 = nullptr;   // sort after each drop
    QPushButton* LISTClear = nullptr;
    QLabel* Image1 = nullptr;      // preview; child of Frame2
    QLabel* Label7 = nullptr;      // "画 像" placeholder over the preview
    QCheckBox* Check10 = nullptr;  // photos previewed as viewers show them (EXIF orientation)
};

} // namespace tavorin
