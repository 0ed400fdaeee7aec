#include "support/WindowScript.h"

#include "support/UserActions.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>

namespace tavorin::test {
namespace {

QWidget* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<QWidget*>(name);
    if (found == nullptr)
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + name), __FILE__, __LINE__);
    return found;
}

QString shownValue(QWidget* widget)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        return field->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return itemTexts(list).join(QLatin1Char('|'));
    auto* label = qobject_cast<QLabel*>(widget);
    return label != nullptr ? label->text() : QStringLiteral("(no value)");
}

bool hasState(QWidget* window, QWidget* widget, const QString& state)
{
    const QColor background = widget->palette().color(QPalette::Base);
    const QPalette system = QApplication::palette(widget);
    if (state == QLatin1String("shown") || state == QLatin1String("hidden"))
        return widget->isVisibleTo(window) == (state == QLatin1String("shown"));
    if (state == QLatin1String("enabled") || state == QLatin1String("disabled"))
        return widget->isEnabled() == (state == QLatin1String("enabled"));
    return background == system.color(state == QLatin1String("light") ? QPalette::Midlight : QPalette::Base);
}

} // namespace

void perform(QWidget* window, const QStringList& actions)
{
    for (const QString& action : actions) {
        const QString verb = action.section(' ', 0, 0), rest = action.section(' ', 2);
        QWidget* widget = control(window, action.section(' ', 1, 1));
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
            QFAIL(qPrintable(QStringLiteral("unknown action: ") + action));
    }
}

void expectStates(QWidget* window, const QStringList& expectations)
{
    for (const QString& expectation : expectations) {
        const qsizetype equals = expectation.indexOf('='), colon = expectation.indexOf(':');
        const bool isValue = equals >= 0 && (colon < 0 || equals < colon);
        QWidget* widget = control(window, expectation.left(isValue ? equals : colon));
        if (widget == nullptr)
            return;
        const QString shown = shownValue(widget);
        if (isValue)
            QVERIFY2(shown == expectation.mid(equals + 1), qPrintable(expectation + ", but it shows \"" + shown + '"'));
        else
            QVERIFY2(hasState(window, widget, expectation.mid(colon + 1)), qPrintable(expectation));
    }
}

} // namespace tavorin::test
