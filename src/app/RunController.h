#pragma once

#include "app/Form1Controls.h"
#include "run/RunObserver.h"
#include "run/RunOptions.h"

#include <QObject>

namespace tavorin {

struct Form1Dependencies;
class WorkbookSelection;

// "START": reads the window's controls into the run's options, runs the insertion with the
// window disabled and the progress bar moving, and gives the window back at the end.
class RunController final : public QObject, private RunObserver {
    Q_OBJECT
public:
    RunController(QWidget& form, const Form1Controls& controls, const Form1Dependencies& dependencies,
                  WorkbookSelection& workbookSelection, QObject* parent = nullptr);

    // The click of "START".
    void Command1_Click();

    // What the run would read from these controls now.
    static RunOptions readOptions(const Form1Controls& controls);

private:
    void showMessage(const QString& text, const QString& title) override;
    void blankFieldsFilled(const QString& magnification, const QString& firstNumber) override;
    void runStarted() override;
    void progressChanged(float value) override;
    void runFinished() override;
    void listSheetsAgain() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget& form_;
    const Form1Controls& controls_;
    const Form1Dependencies& dependencies_;
    WorkbookSelection& workbookSelection_;
};

} // namespace tavorin
