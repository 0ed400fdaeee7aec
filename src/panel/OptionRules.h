#pragma once

#include <QObject>

class QComboBox;

namespace tavorin {

struct Form1Controls;

// The rules that tie the option controls together: caption groups enabled with their check
// box, the layout pair with exactly one box on, pictures per sheet showing or hiding the
// spacing chooser and the sheet-name group, start/end columns and rows that never cross, the
// number limits and the keyboard filters. Every rule reacts to its control's change signal,
// so a change made by the program has the same effect as the user's.
class OptionRules : public QObject {
public:
    OptionRules(Form1Controls& controls, QObject* parent);

    // Derives every group state from the values the controls now hold (end of start-up).
    void applyGroupRules();

    // A check box counts as on only when fully checked.
    static bool isOn(int checkState);

private:
    void connectGroupRules();
    void connectLayoutPair();
    void connectPicturesPerSheet();
    void connectColumnPair();
    void connectRowPair();
    void connectNumberFields();
    void installKeyFilters();

    void dateGroupChanged();
    void numberGroupChanged();
    void fileNameGroupChanged();
    void sheetDateChanged();
    void check7Changed();
    void check8Changed();
    void picturesPerSheetChanged();
    void startRowTextChanged();
    void endRowTextChanged();
    void magnificationTextChanged();

    Form1Controls& c_;
};

} // namespace tavorin
