#pragma once

// The window's cases as lines a table can hold, each naming a control of the window.

#include "support/UserActions.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>

namespace tavorin::test {

inline QWidget* controlNamed(QWidget* window, const QString& name)
{
    auto* found = window->findChild<QWidget*>(name);
    if (found == nullptr)
        QTest::qFail(qPrintable("no control named " + name), __FILE__, __LINE__);
    return found;
}

// Actions: "click Check2", "choose Combo6 2" (the item picked with the mouse), "key Combo1 Up" (a
// QKeySequence text), "type Text1 105", "paste Combo3 750" (over the whole text, by the context
// menu; no text deletes it), "erase Text1" (select all and Delete with the keyboard).
inline void perform(QWidget* window, const QStringList& actions)
{
    for (const QString& action : actions) {
        const QString verb = action.section(' ', 0, 0), rest = action.section(' ', 2);
        QWidget* widget = controlNamed(window, action.section(' ', 1, 1));
        auto* combo = qobject_cast<QComboBox*>(widget);
        QLineEdit* field = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget);
        if (widget == nullptr)
            return;
        if (verb == QLatin1String("click"))
            click(widget);
        else if (verb == QLatin1String("choose"))
            QVERIFY2(combo != nullptr && chooseItem(combo, rest.toInt()), qPrintable(action));
        else if (verb == QLatin1String("key"))
            pressKey(widget, QKeySequence::fromString(rest)[0]);
        else if (verb == QLatin1String("type"))
            typeText(widget, rest);
        else if (verb == QLatin1String("paste") && field != nullptr)
            pasteOver(field, rest);
        else if (verb == QLatin1String("erase") && field != nullptr)
            eraseWithKeys(field);
        else
            QFAIL(qPrintable("unknown action: " + action));
    }
}

// The text a control shows; "on"/"off" for a check box or option button; a list's items joined by "|".
inline QString shownValue(QWidget* widget)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        return field->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return itemTexts(list).join('|');
    auto* label = qobject_cast<QLabel*>(widget);
    return label != nullptr ? label->text() : QStringLiteral("(no value)");
}

// States: "Combo1=    E" (the value shown), "Combo14:shown" / ":hidden" / ":enabled" / ":disabled",
// "Text3:light" / "Text3:window" (a background of the system 3D light or window colour).
inline void expectStates(QWidget* window, const QStringList& expectations)
{
    for (const QString& expectation : expectations) {
        const qsizetype equals = expectation.indexOf('='), colon = expectation.indexOf(':');
        const bool isValue = equals >= 0 && (colon < 0 || equals < colon);
        QWidget* widget = controlNamed(window, expectation.left(isValue ? equals : colon));
        if (widget == nullptr)
            return;
        const QString shown = shownValue(widget), state = expectation.mid(colon + 1);
        const QColor background = widget->palette().color(QPalette::Base);
        const QPalette system = QApplication::palette(widget);
        const bool holds = isValue                    ? shown == expectation.mid(equals + 1)
                           : state == "shown"         ? widget->isVisibleTo(window)
                           : state == "hidden"        ? !widget->isVisibleTo(window)
                           : state == "enabled"       ? widget->isEnabled()
                           : state == "disabled"      ? !widget->isEnabled()
                           : state == "light"         ? background == system.color(QPalette::Midlight)
                                                      : state == "window" && background == system.color(QPalette::Base);
        QVERIFY2(holds, qPrintable(expectation + (isValue ? ", but it shows \"" + shown + '"' : QString())));
    }
}

} // namespace tavorin::test
