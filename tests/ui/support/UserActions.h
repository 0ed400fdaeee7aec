#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace tavorin::test {

// What the user does with the mouse and the keyboard, as real events on the real widgets.

// Clicks a check box, option button or push button in its middle.
inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Opens a combo box's list and clicks the item at `index`, as the user picks it with the mouse.
inline bool chooseItem(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        return false;
    const QModelIndex item = view->model()->index(index, combo->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    const QRect place = view->visualRect(item);
    if (!place.isValid())
        return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
    return QTest::qWaitFor([view] { return !view->isVisible(); }, 2000);
}

// Gives the keyboard focus to a control and presses a key there.
inline void pressKey(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    control->setFocus(Qt::OtherFocusReason);
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : control;
    QTest::keyClick(target, key, modifiers);
}

inline void typeText(QWidget* control, const QString& text)
{
    control->setFocus(Qt::OtherFocusReason);
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : control;
    QTest::keyClicks(target, text);
}

// Puts text on the clipboard and pastes it into a field the way its context menu does.
inline void pasteInto(QLineEdit* field, const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
    field->paste();
}

// Empties a field with the keyboard (select all from the end, then Delete, which types nothing).
inline void eraseWithKeys(QLineEdit* field)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Delete);
}

} // namespace tavorin::test
