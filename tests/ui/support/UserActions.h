#pragma once

// What the user does with the mouse and the keyboard, as real events on the real widgets.

#include "support/Files.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>

#include <filesystem>

namespace tavorin::test {

inline void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// Opens a combo box's list and clicks the item at `index`, as the user picks it with the mouse.
inline bool chooseItem(QComboBox* combo, int index)
{
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QModelIndex item = view->model()->index(index, combo->modelColumn(), view->rootIndex());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    return QTest::qWaitFor([view] { return !view->isVisible(); }, 2000);
}

// Keys go where the focus goes: an editable combo box takes them in its edit field.
inline QWidget* focusOn(QWidget* control)
{
    control->setFocus(Qt::OtherFocusReason);
    return QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : control;
}
inline void pressKey(QWidget* control, QKeyCombination key)
{
    QTest::keyClick(focusOn(control), key.key(), key.keyboardModifiers());
}
inline void typeText(QWidget* control, const QString& text) { QTest::keyClicks(focusOn(control), text); }

// Replaces a field's text as its context menu's paste does (its delete, for no text): no key.
inline void pasteOver(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QGuiApplication::clipboard()->setText(text);
    text.isEmpty() ? field->del() : field->paste();
}

// Selects all with the keyboard from the end, then Delete, which types nothing.
inline void eraseWithKeys(QLineEdit* field)
{
    QTest::keyClick(focusOn(field), Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Delete);
}

// Drops data as a file manager does: drag enter, move and drop at the control's middle (a list
// takes drops at its viewport). Returns whether the control accepted the drag.
inline bool dropData(QWidget* target, const QMimeData& data)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        target = area->viewport();
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop})
        QApplication::sendEvent(target, event);
    QCoreApplication::processEvents();
    return enter.isAccepted();
}

inline bool dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    return dropData(target, data);
}

inline QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

inline QPoint rowCentre(const QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }

// A mouse event sent straight to a list's viewport, with the buttons held after it.
inline void sendMouse(QListWidget* list, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(list->viewport()->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
}

inline void clickRow(QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, rowCentre(list, row));
}
inline void doubleClickRow(QListWidget* list, int row, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, row));
}

} // namespace tavorin::test
