#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

namespace tavorin {

// A process on this computer: its id and, where /proc tells it, when it started (clock ticks
// after boot). The start time keeps a process id that the system has given to a later process
// from being taken for the one that wrote a lock.
struct ProcessIdentity {
    pid_t id = 0;
    std::optional<std::uint64_t> startTicks;

    static ProcessIdentity current();
    // The start time of a running process; nothing when it does not run or /proc cannot tell.
    static std::optional<std::uint64_t> startTicksOf(pid_t id);

    // True while this very process runs: the id is in use (by any user) and, when the start
    // time is known, by a process that started then.
    bool isRunning() const;
};

} // namespace tavorin
