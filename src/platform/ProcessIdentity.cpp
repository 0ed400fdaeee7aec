#include "platform/ProcessIdentity.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tavorin {
namespace {

// The stat line's fields after the command name in parentheses start with field 3 (the state);
// field 22 is the start time.
constexpr int startTimeField = 22;
constexpr int firstFieldAfterName = 3;

} // namespace

ProcessIdentity ProcessIdentity::current()
{
    const pid_t self = ::getpid();
    return ProcessIdentity{self, startTicksOf(self)};
}

std::optional<std::uint64_t> ProcessIdentity::startTicksOf(pid_t id)
{
    std::ifstream in("/proc/" + std::to_string(id) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    // The command name may itself hold spaces and parentheses: the fields resume after the last ')'.
    auto position = line.rfind(')');
    if (position == std::string::npos)
        return std::nullopt;
    ++position;
    for (int field = firstFieldAfterName; field <= startTimeField; ++field) {
        position = line.find_first_not_of(' ', position);
        if (position == std::string::npos)
            return std::nullopt;
        auto end = line.find(' ', position);
        if (field == startTimeField) {
            std::uint64_t ticks = 0;
            const char* first = line.data() + position;
            const char* last = line.data() + (end == std::string::npos ? line.size() : end);
            auto parsed = std::from_chars(first, last, ticks);
            if (parsed.ec != std::errc() || parsed.ptr != last)
                return std::nullopt;
            return ticks;
        }
        position = end;
    }
    return std::nullopt;
}

bool ProcessIdentity::isRunning() const
{
    if (id <= 0)
        return false;
    // EPERM: the process exists but belongs to another user.
    if (::kill(id, 0) != 0 && errno != EPERM)
        return false;
    if (!startTicks)
        return true;
    auto started = startTicksOf(id);
    return !started || *started == *startTicks;
}

} // namespace tavorin
