#include "panel/OptionComboKeyFilter.h"

#include <QKeyEvent>

namespace tavorin {

namespace {

bool isFocusMove(const QKeyEvent& key)
{
    // Moving the focus belongs to the window, not to the control.
    return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

bool isStepKey(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

bool OptionComboKeyFilter::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Claim every key so that no window shortcut (for instance a paste shortcut) acts on
        // the edit field behind the filter's back; the key press itself is then discarded.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isFocusMove(*key)) {
            event->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return !(isStepKey(*key) || isFocusMove(*key));
    }
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

} // namespace tavorin
