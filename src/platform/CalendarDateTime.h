#pragma once

namespace tavorin {

// A local calendar date and time of day, as a file's creation time reads on the desktop. The
// workbook stores it as a serial number in its own date system; the conversion happens there.
struct CalendarDateTime {
    int year = 1900;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
    int millisecond = 0;

    friend bool operator==(const CalendarDateTime&, const CalendarDateTime&) = default;
};

} // namespace tavorin
