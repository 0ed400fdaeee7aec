#pragma once

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

namespace tavorin {

// The controls of the workbook selection. Form1 owns them; the workbook drop and the sheet
// listing get them through this struct.
struct WorkbookWidgets {
    QLineEdit* TextA = nullptr;    // full path of the dropped workbook, hidden
    QLabel* Label1 = nullptr;      // one blank + file name, empty when no workbook
    QListWidget* List1 = nullptr;  // worksheet names; the selected one is the target sheet
    // Label20, Label1, Label2, List1, Command1 and Frame2: all accept a workbook drop.
    std::vector<QWidget*> dropTargets;
};

} // namespace tavorin
