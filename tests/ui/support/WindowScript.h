#pragma once

// The option panel's cases as lines a table can hold: what the user does, and what the
// controls then show, one control by its name per line.

#include <QStringList>

class QWidget;

namespace tavorin::test {

// Runs user actions, one per line, on the controls of `window` found by name:
//   "click Check2"      a mouse click
//   "choose Combo6 2"   picks item 2 from the open list with the mouse
//   "key Combo1 Up"     a key (QKeySequence text: "PgUp", "Del", "Alt+Down" …) in the control
//   "type Text1 105"    typed characters (everything after the name)
//   "paste Combo3 750"  replaces the text as the context menu's paste does ("" deletes it)
//   "erase Text1"       selects all with the keyboard and deletes
void perform(QWidget* window, const QStringList& actions);

// Checks states, one per line:
//   "Combo1=    E"      the text shown (a check box or option button: "on"/"off"; a list: its
//                       items joined by "|")
//   "Combo14:shown", ":hidden", ":enabled", ":disabled"
//   "Text3:light", "Text3:window"   the field's background: the system 3D light or window colour
void expectStates(QWidget* window, const QStringList& expectations);

} // namespace tavorin::test
