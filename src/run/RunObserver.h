#pragma once

#include <QString>

namespace tavorin {

// What the run tells the window (or the command line) while it works. Every call comes from
// the run's own thread, in the order the run reaches the step.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // A modal message with one OK button; returns when it has been acknowledged.
    virtual void showMessage(const QString& text, const QString& title) = 0;
    // The magnification and first-number fields as the run filled them (blank ones get their
    // defaults); the window shows these texts from now on.
    virtual void blankFieldsFilled(const QString& magnification, const QString& firstNumber) = 0;
    // The run holds the workbook from here: the window is disabled, the progress bar shown at 0.
    virtual void runStarted() = 0;
    // The progress bar's value, 0 to 100.
    virtual void progressChanged(float value) = 0;
    // The window is enabled again and the progress bar hidden.
    virtual void runFinished() = 0;
    // After the final message: list the workbook's sheets again.
    virtual void listSheetsAgain() = 0;
};

} // namespace tavorin
