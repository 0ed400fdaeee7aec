#pragma once

#include "run/RunObserver.h"
#include "run/RunOptions.h"
#include "run/RunOutcome.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

namespace tavorin::test {

// The insertion run on the native workbook engine, as the window runs it, with a fixed clock:
// every picture reads as created on 2001-03-14 13:30 (the date of the date captions' samples)
// and today is 2026年12月7日. Messages and progress are kept for the test to look at.
class EngineRun final : public RunObserver {
public:
    struct Message {
        QString text, title;
    };

    // Options for a run on `workbook`, template sheet `sheet` out of `sheets`.
    static RunOptions optionsFor(const std::filesystem::path& workbook, const QStringList& sheets, int sheet = 0);
    // A picture row as a drop makes it: a blank and the file name, the full path, the mark.
    static PictureRow pictureRow(const std::filesystem::path& path, const QString& mark);

    RunOutcome run(const RunOptions& options);

    std::vector<Message> messages;
    std::vector<float> progress;
    // Called at every step of the bar, while the run holds the workbook open.
    std::function<void(float)> onProgress;

private:
    void showMessage(const QString& text, const QString& title) override { messages.push_back({text, title}); }
    void blankFieldsFilled(const QString&, const QString&) override {}
    void runStarted() override {}
    void progressChanged(float value) override
    {
        progress.push_back(value);
        if (onProgress)
            onProgress(value);
    }
    void runFinished() override {}
    void listSheetsAgain() override {}
};

} // namespace tavorin::test
