#pragma once

#include <QString>

namespace tavorin {

// Where the window's modal messages go. The program shows a QMessageBox with one OK button;
// tests install a recording sink so that no handler ever waits on a real modal box.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Blocks until the user has pressed OK (for the real box).
    virtual void showMessage(const QString& text, const QString& title) = 0;
};

// Titles of the program's message boxes.
inline QString confirmTitle() { return QStringLiteral("確認"); }
inline QString programTitle() { return QStringLiteral("Tavorin"); }

} // namespace tavorin
