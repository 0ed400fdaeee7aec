#include "app/RunObserverRelay.h"

#include <QMetaObject>

namespace tavorin {

RunObserverRelay::RunObserverRelay(QObject& windowSide, RunObserver& target) : windowSide_(windowSide), target_(target)
{
}

template <typename Call>
void RunObserverRelay::callAndWait(Call call)
{
    QMetaObject::invokeMethod(&windowSide_, call, Qt::BlockingQueuedConnection);
}

void RunObserverRelay::showMessage(const QString& text, const QString& title)
{
    callAndWait([&] { target_.showMessage(text, title); });
}

void RunObserverRelay::blankFieldsFilled(const QString& magnification, const QString& firstNumber)
{
    callAndWait([&] { target_.blankFieldsFilled(magnification, firstNumber); });
}

void RunObserverRelay::runStarted()
{
    lastPercent_ = -1;
    callAndWait([&] { target_.runStarted(); });
}

void RunObserverRelay::progressChanged(float value)
{
    // The bar shows whole percents; a report per picture of a large run would only fill the queue.
    const int percent = static_cast<int>(value);
    if (percent == lastPercent_)
        return;
    lastPercent_ = percent;
    QMetaObject::invokeMethod(&windowSide_, [&target = target_, value] { target.progressChanged(value); },
                              Qt::QueuedConnection);
}

void RunObserverRelay::runFinished()
{
    callAndWait([&] { target_.runFinished(); });
}

void RunObserverRelay::listSheetsAgain()
{
    callAndWait([&] { target_.listSheetsAgain(); });
}

} // namespace tavorin
