#pragma once

#include "run/RunObserver.h"

#include <ostream>

namespace tavorin::batch {

// Shows the run's progress as a bar on a terminal; the final report is printed by the command
// itself from the run's outcome, so messages meant for the window's boxes are not repeated.
class ConsoleRunObserver final : public RunObserver {
public:
    ConsoleRunObserver(std::ostream& terminal, bool showProgress);

    void showMessage(const QString&, const QString&) override {}
    void blankFieldsFilled(const QString&, const QString&) override {}
    void runStarted() override;
    void progressChanged(float value) override;
    void runFinished() override;
    void listSheetsAgain() override {}

private:
    std::ostream& terminal_;
    bool showProgress_;
    int shown_ = -1;
};

} // namespace tavorin::batch
