#include "panel/NumberFieldKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace tavorin {

namespace {

// Whether the typed character may enter the field.
bool acceptsCharacter(const QString& fieldText, QChar character)
{
    if (fieldText.isEmpty() && character == QLatin1Char('0'))
        return false;
    return character == QLatin1Char('\b') || (character >= QLatin1Char('0') && character <= QLatin1Char('9'));
}

// Every printable key and every control character (Ctrl+V, Ctrl+A …) counts as a character.
bool typesCharacter(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
        return false;
    return key.key() == Qt::Key_Backspace || !key.text().isEmpty();
}

} // namespace

bool NumberFieldKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr)
        return false;
    if (event->type() == QEvent::InputMethod)
        return true;
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!typesCharacter(*key))
        return false;
    const QChar character = key->key() == Qt::Key_Backspace ? QChar(QLatin1Char('\b')) : key->text().front();
    const bool accepted = acceptsCharacter(field->text(), character) && (key->modifiers() & ~Qt::KeypadModifier & ~Qt::ShiftModifier) == Qt::NoModifier;
    if (event->type() == QEvent::ShortcutOverride) {
        // A refused character must not reach a window shortcut either (Ctrl+V pastes nothing).
        if (!accepted) {
            event->accept();
            return true;
        }
        return false;
    }
    return !accepted;
}

} // namespace tavorin
