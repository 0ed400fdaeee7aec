#pragma once

#include "app/Form1.h"
#include "app/MessageSink.h"
#include "platform/SystemRunningApplicationProbe.h"
#include "platform/AnyFormatApplication.h"
#include "support/Files.h"
#include "support/TemporaryFolder.h"

#include <QTest>

#include <unistd.h>

namespace tavorin::test {

// The main window as the program builds it (the native workbook engines behind "START", the
// program's own probe for workbooks in use) on a settings file and an empty process table of its
// own, so that only lock files beside a workbook make it count as in use. Messages are kept
// instead of shown: no test waits on a modal box.
class Window final : private MessageSink {
public:
    struct Message {
        QString text, title;
    };

    Window() { std::filesystem::create_directories(folder_ / "processes"); }

    // Creates the window from whatever settings file is there (a window made before goes first),
    // shows it and waits until it is active.
    Form1& start()
    {
        form_.reset();
        form_ = std::make_unique<Form1>(Form1Dependencies{*this, probe_, settingsFile_, [this] { ++endProgramCalls; },
                                                          [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); }});
        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get()))
            QTest::qFail("the main window did not become active", __FILE__, __LINE__);
        return *form_;
    }
    Form1& form() { return *form_; }

    const std::filesystem::path& settingsFile() const { return settingsFile_; }
    void writeSettings(const QByteArray& bytes) const
    {
        std::filesystem::create_directories(settingsFile_.parent_path());
        writeFile(settingsFile_, Bytes(bytes.begin(), bytes.end()));
    }
    QByteArray readSettings() const
    {
        const Bytes bytes = fileBytes(settingsFile_);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }
    // A folder of the test's own for workbooks and pictures.
    const TemporaryFolder& folder() const { return folder_; }
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

    std::vector<Message> messages;
    int endProgramCalls = 0;

private:
    void showMessage(const QString& text, const QString& title) override { messages.push_back({text, title}); }

    TemporaryFolder folder_;
    std::filesystem::path settingsFile_ = folder_ / "config" / "settings.dat";
    SystemRunningApplicationProbe probe_{folder_ / "processes", getuid()};
    std::unique_ptr<Form1> form_;
};

} // namespace tavorin::test
