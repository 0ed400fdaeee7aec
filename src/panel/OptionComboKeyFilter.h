#pragma once

#include <QObject>

namespace tavorin {

// Installed on an option combo box and its edit field: only Up and Down arrow reach the combo
// box (they step through the items); every other key and every typed character is discarded,
// so the edit field never changes from the keyboard and the list never opens from it.
class OptionComboKeyFilter : public QObject {
public:
    explicit OptionComboKeyFilter(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tavorin
