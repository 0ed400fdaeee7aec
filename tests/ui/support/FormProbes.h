#pragma once

#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

namespace tavorin::test {

// The name of the control that has the keyboard focus (an editable combo box's edit field
// counts as the combo box).
inline QString focusedControlName()
{
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr)
        return {};
    if (auto* combo = qobject_cast<QComboBox*>(focused->parentWidget()))
        return combo->objectName();
    return focused->objectName();
}

inline QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Whether a control is visible within its window (isVisible() is false for every control while
// the window itself is not shown).
inline bool shownInWindow(const QWidget* widget) { return !widget->isHidden(); }

} // namespace tavorin::test
