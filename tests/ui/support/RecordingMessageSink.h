#pragma once

#include "app/MessageSink.h"

#include <QString>

#include <vector>

namespace tavorin::test {

// Keeps every message instead of showing it, so that no test waits on a modal box.
class RecordingMessageSink final : public MessageSink {
public:
    struct Message {
        QString text;
        QString title;
    };

    void showMessage(const QString& text, const QString& title) override { messages.push_back({text, title}); }

    std::vector<Message> messages;
};

} // namespace tavorin::test
