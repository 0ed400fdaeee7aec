#include "platform/FileCreationTime.h"

#include <QDateTime>

#include <fcntl.h>
#include <sys/stat.h>

namespace tavorin {
namespace {

CalendarDateTime localTimeOf(std::int64_t seconds, std::uint32_t nanoseconds)
{
    QDateTime moment = QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanoseconds / 1000000).toLocalTime();
    QDate date = moment.date();
    QTime time = moment.time();
    return CalendarDateTime{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                            time.msec()};
}

} // namespace

std::optional<CalendarDateTime> fileCreationTime(const std::filesystem::path& path)
{
    struct statx status {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &status) != 0)
        return std::nullopt;
    if ((status.stx_mask & STATX_BTIME) != 0 && status.stx_btime.tv_sec != 0)
        return localTimeOf(status.stx_btime.tv_sec, status.stx_btime.tv_nsec);
    if ((status.stx_mask & STATX_MTIME) != 0)
        return localTimeOf(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec);
    return std::nullopt;
}

} // namespace tavorin
