#include "platform/TerminationSignalHold.h"

#include <csignal>

namespace tavorin {
namespace {

volatile std::sig_atomic_t noted = 0;

void noteSignal(int number) { noted = number; }

} // namespace

TerminationSignalHold::TerminationSignalHold()
{
    noted = 0;
    struct sigaction action {};
    action.sa_handler = &noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (::sigaction(held[i], nullptr, &previous_[i]) != 0)
            continue;
        bool ignored = (previous_[i].sa_flags & SA_SIGINFO) == 0 && previous_[i].sa_handler == SIG_IGN;
        installed_[i] = !ignored && ::sigaction(held[i], &action, nullptr) == 0;
    }
}

TerminationSignalHold::~TerminationSignalHold() { release(); }

bool TerminationSignalHold::stopRequested() const { return noted != 0; }

void TerminationSignalHold::release()
{
    if (released_)
        return;
    released_ = true;
    for (std::size_t i = 0; i < held.size(); ++i)
        if (installed_[i])
            ::sigaction(held[i], &previous_[i], nullptr);
    const int signal = noted;
    noted = 0;
    if (signal != 0)
        std::raise(signal);
}

} // namespace tavorin
