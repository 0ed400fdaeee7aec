#pragma once

#include "app/MessageSink.h"

class QWidget;

namespace tavorin {

// The program's messages: a modal box without icon, one OK button and the given title, over
// the main window.
class MessageBoxSink final : public MessageSink {
public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }
    void showMessage(const QString& text, const QString& title) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace tavorin
