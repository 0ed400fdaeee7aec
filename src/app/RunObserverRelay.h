#pragma once

#include "run/RunObserver.h"

#include <QObject>

namespace tavorin {

// Carries a run's reports from the thread it works on to an observer on the window's thread.
// Progress goes without waiting, and only when the bar would move; every other report waits
// until the window has acted on it (a message is acknowledged before the run goes on), so the
// window sees the reports in the order the run made them.
class RunObserverRelay final : public RunObserver {
public:
    // `windowSide` lives on the window's thread; the target is called there.
    RunObserverRelay(QObject& windowSide, RunObserver& target);

    void showMessage(const QString& text, const QString& title) override;
    void blankFieldsFilled(const QString& magnification, const QString& firstNumber) override;
    void runStarted() override;
    void progressChanged(float value) override;
    void runFinished() override;
    void listSheetsAgain() override;

private:
    template <typename Call>
    void callAndWait(Call call);

    QObject& windowSide_;
    RunObserver& target_;
    int lastPercent_ = -1;
};

} // namespace tavorin
