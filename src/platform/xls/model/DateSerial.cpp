#include "platform/xls/model/DateSerial.h"

#include <chrono>
#include <string>

namespace tavorin::xls {
namespace {

Error dateError(std::string message)
{
    return Error{std::move(message), "cell value", std::nullopt, std::nullopt};
}

long long daysFromCivil(int year, int month, int day)
{
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)}
                    / std::chrono::day{static_cast<unsigned>(day)}}
        .time_since_epoch()
        .count();
}

} // namespace

Result<double> dateSerial(int year, int month, int day, int hour, int minute, int second, int millisecond,
                          DateSystem system)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0
        || millisecond > 999)
        return dateError("time of day out of range");
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return dateError("date out of range: " + std::to_string(year) + "-" + std::to_string(month) + "-"
                         + std::to_string(day));
    const double dayFraction = (hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0) / 86400.0;
    const bool fictitiousLeapDay = system == DateSystem::Date1900 && year == 1900 && month == 2 && day == 29;
    if (!fictitiousLeapDay) {
        using namespace std::chrono;
        const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                  std::chrono::day{static_cast<unsigned>(day)}};
        if (!date.ok())
            return dateError("no such date: " + std::to_string(year) + "-" + std::to_string(month) + "-"
                             + std::to_string(day));
    }
    long long days = 0;
    if (system == DateSystem::Date1904) {
        days = daysFromCivil(year, month, day) - daysFromCivil(1904, 1, 1);
        if (days < 0)
            return dateError("date before 1904-01-01 in the 1904 date system");
    } else if (fictitiousLeapDay) {
        days = 60;
    } else {
        days = daysFromCivil(year, month, day) - daysFromCivil(1899, 12, 30);
        if (days < 61) // before 1900-03-01: Excel's count has no phantom day yet
            days -= 1;
    }
    return static_cast<double>(days) + dayFraction;
}

} // namespace tavorin::xls
