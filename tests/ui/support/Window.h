#pragma once

#include "app/Form1.h"
#include "app/MessageSink.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "support/TemporaryFolder.h"

#include <memory>
#include <vector>

namespace tavorin::test {

// The main window as the program builds it (the native workbook engine behind "START", the
// program's own probe for workbooks in use) on a settings file and an empty process table of its
// own, so that only lock files beside a workbook make it count as in use. Messages are kept
// instead of shown: no test waits on a modal box.
class Window final : private MessageSink {
public:
    struct Message {
        QString text, title;
    };

    Window();
    // Creates the window from whatever settings file is there (a window made before goes first),
    // shows it and waits until it is active.
    Form1& start();
    Form1& form() { return *form_; }

    const std::filesystem::path& settingsFile() const { return settingsFile_; }
    void writeSettings(const QByteArray& bytes) const;
    QByteArray readSettings() const;
    // A folder of the test's own for workbooks and pictures.
    const TemporaryFolder& folder() const { return folder_; }
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

    std::vector<Message> messages;
    int endProgramCalls = 0;

private:
    void showMessage(const QString& text, const QString& title) override { messages.push_back({text, title}); }

    TemporaryFolder folder_;
    std::filesystem::path settingsFile_;
    SystemRunningApplicationProbe runningApplications_;
    std::unique_ptr<Form1> form_;
};

} // namespace tavorin::test
