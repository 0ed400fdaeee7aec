#pragma once

#include "app/Form1.h"
#include "support/RecordingMessageSink.h"
#include "support/ScriptedRunningApplicationProbe.h"
#include "support/TemporaryFolder.h"

#include <QByteArray>

#include <filesystem>
#include <memory>

namespace tavorin::test {

// A main window on its own settings folder, with a recording message sink, a scripted
// running-application probe and an "end program" that only counts. Each window test makes one.
class Form1Fixture {
public:
    Form1Fixture();
    ~Form1Fixture();

    // Creates the window (start-up runs with whatever settings file is there), shows it and
    // waits until it is active. A window started before is destroyed first.
    Form1& start();
    // The same without showing the window.
    Form1& create();
    Form1& form() { return *form_; }

    // The settings file the window reads and "ＥＮＤ" writes.
    const std::filesystem::path& settingsFile() const { return settingsFile_; }
    void writeSettingsBytes(const QByteArray& bytes) const;
    QByteArray readSettingsBytes() const;

    RecordingMessageSink messages;
    ScriptedRunningApplicationProbe runningApplications;
    int endProgramCalls = 0;
    // The spreadsheet engine that "START" uses; none by default.
    SpreadsheetApplicationFactory createSpreadsheet;

private:
    TemporaryFolder folder_;
    std::filesystem::path settingsFile_;
    std::unique_ptr<Form1> form_;
};

} // namespace tavorin::test
