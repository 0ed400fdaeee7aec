#include "ConsoleRunObserver.h"

#include <string>

namespace tavorin::batch {

ConsoleRunObserver::ConsoleRunObserver(std::ostream& terminal, bool showProgress)
    : terminal_(terminal), showProgress_(showProgress)
{
}

void ConsoleRunObserver::runStarted() { progressChanged(0); }

void ConsoleRunObserver::progressChanged(float value)
{
    int percent = static_cast<int>(value);
    if (!showProgress_ || percent == shown_)
        return;
    shown_ = percent;
    constexpr int width = 40;
    int filled = percent * width / 100;
    terminal_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(width - filled), ' ') << "] " << percent << "%" << std::flush;
}

void ConsoleRunObserver::runFinished()
{
    if (showProgress_)
        terminal_ << '\n' << std::flush;
}

} // namespace tavorin::batch
