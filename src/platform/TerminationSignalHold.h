#pragma once

#include <signal.h>

#include <array>

namespace tavorin {

// Holds SIGINT and SIGTERM back while a run holds its workbook, so that a run told to end still
// removes its lock and temporary file. The handler only notes the signal; the run asks
// stopRequested() between its steps and stops, and release() (at the latest when the hold goes)
// puts the previous actions back and raises the noted signal again, so that the process ends as
// it would have, with nothing left behind. A signal ignored when the hold starts stays ignored.
// Blocking calls are not restarted after the signal, so a run waiting on a slow file stops too.
// One hold at a time per process.
class TerminationSignalHold {
public:
    TerminationSignalHold();
    ~TerminationSignalHold();
    TerminationSignalHold(const TerminationSignalHold&) = delete;
    TerminationSignalHold& operator=(const TerminationSignalHold&) = delete;

    bool stopRequested() const;
    void release();

private:
    static constexpr std::array<int, 2> held{SIGINT, SIGTERM};
    std::array<struct sigaction, held.size()> previous_{};
    std::array<bool, held.size()> installed_{};
    bool released_ = false;
};

} // namespace tavorin
